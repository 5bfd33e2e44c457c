#pragma once

#include "gui/events/Binder.h"
#include "foundation/thread/Pool.h"

namespace s::gui::events {

// Calls setEnabled(true) on every target when its source fires.
class Enabler final : public Binder {
    S_POOLED_CLASS(Enabler, "s_gui_events_Enabler")
protected:
    void apply(IComponent* target) override;
};

}
