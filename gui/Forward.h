#pragma once

namespace s::gui {
class IComponent;
class IContainer;
class IWindow;
class ILayoutManager;
class IWindowSettings;
class Component;
class BoxBase;
class SpacerBase;
class FontSetting;
struct FontDescription;
namespace events {
class IEventListener;
class ListenerList;
class Binder;
class Enabler;
class Disabler;
class Editabler;
class UnEditabler;
}
namespace layout {
struct Extents;
class Horizontal;
class Vertical;
class FlowH;
class Pile;
}
namespace os {
class UIThread;
class Box;
class Spacer;
class Label;
class Image;
class Button;
class CheckBox;
class TextField;
class TextEdit;
class ScrollBar;
class Window;
class FrameWidget;
class MessageBoxW;
class PopupMenu;
class MenuEx;
class UrlDropTarget;
}
}
