#pragma once

#include "gui/events/Binder.h"
#include "foundation/thread/Pool.h"

namespace s::gui::events {

// Calls setEnabled(false) on every target when its source fires.
class Disabler final : public Binder {
    S_POOLED_CLASS(Disabler, "s_gui_events_Disabler")
protected:
    void apply(IComponent* target) override;
};

}
