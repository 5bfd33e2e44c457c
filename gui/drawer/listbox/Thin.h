#pragma once

#include "foundation/thread/Pool.h"
#include "gui/drawer/listbox/Basic.h"

namespace s::gui::drawer::listbox {

// List cells in a skin: the same painting with the skin's colours.
class Thin final : public Basic {
    S_POOLED_CLASS(Thin, "s_gui_drawer_listbox_Thin")
public:
    Thin() = default;
};

}
