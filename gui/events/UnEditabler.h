#pragma once

#include "gui/events/Binder.h"
#include "foundation/thread/Pool.h"

namespace s::gui::events {

// Calls setEditable(false) on every target when its source fires.
class UnEditabler final : public Binder {
    S_POOLED_CLASS(UnEditabler, "s_gui_events_UnEditabler")
protected:
    void apply(IComponent* target) override;
};

}
