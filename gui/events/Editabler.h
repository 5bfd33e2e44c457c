#pragma once

#include "gui/events/Binder.h"
#include "foundation/thread/Pool.h"

namespace s::gui::events {

// Calls setEditable(true) on every target when its source fires.
class Editabler final : public Binder {
    S_POOLED_CLASS(Editabler, "s_gui_events_Editabler")
protected:
    void apply(IComponent* target) override;
};

}
