#pragma once

namespace s::gui {
struct TextStyle;
}

namespace s::gui::drawer {
class IDrawer;
class GlyphPainter;
struct SizeGrip;
class Skinner;
namespace border {
class Thin;
class UnderWindowMenu;
}
namespace button {
class Thin;
}
namespace text {
class Basic;
}
namespace scrollbar {
class Thin;
}
namespace statusbar {
class Basic;
class BasicResizer;
class Thin;
}
namespace menu {
class Basic;
}
namespace counter {
class Basic;
}
namespace listbox {
struct Cell;
class Basic;
class Thin;
}
namespace image {
class Basic;
}
namespace window {
class Thin;
}
namespace checkbox {
class Thin;
}
namespace radiobutton {
class Thin;
}
namespace slider {
class Thin;
}
namespace listheader {
class Thin;
}
namespace combo {
class Thin;
}
namespace groupbox {
class Thin;
class Basic;
}
namespace tabbox {
class Thin;
}
namespace skin {
class SkinBase;
class Thin;
class ThinWindow;
}
}
