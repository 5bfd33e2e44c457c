#pragma once

#include "foundation/thread/Pool.h"
#include "gui/drawer/statusbar/Basic.h"

namespace s::gui::drawer::statusbar {

// The status bar drawer with its size grip switched on.
class BasicResizer final : public Basic {
    S_POOLED_CLASS(BasicResizer, "s_gui_drawer_statusbar_BasicResizer")
public:
    BasicResizer() { BasicResizer::reset(); }

    void reset() override
    {
        Basic::reset();
        m_grip = true;
    }
};

}
