#pragma once

namespace s::gui::menuitem {
class MenuItem;
}

namespace s::gui::menu {
class IPopupMenu;
class IMenuEx;
class IMenuBarPainter;
struct MenuBarTitle;
}
