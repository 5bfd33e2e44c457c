#pragma once

#include "foundation/thread/Pool.h"
#include "gui/os/Box.h"

namespace s::gui::os {

// The strip at the bottom of a window (Window::setStatusBar): a row of fields with a line along
// its top edge.
class StatusBar : public Box {
    S_POOLED_CLASS(StatusBar, "s_gui_os_StatusBar")
public:
    StatusBar();
    void reset() override;

protected:
    void afterCreate() override;
};

}
