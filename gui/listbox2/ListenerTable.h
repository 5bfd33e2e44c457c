#pragma once

#include "gui/events/IEventListener.h"
#include "gui/listbox2/ListEvent.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace s::gui::listbox2 {

// A list's listeners, one registration list per event code, not owned. Kept here rather than in
// the toolkit's Qt library so the model links without Qt.
//
// A walk calls the listeners registered when it started and skips those removed before their
// turn; a listener may add, remove or fire while it runs (no lock is held during a call).
class ListenerTable {
public:
    void add(int32_t code, events::IEventListener* listener);
    // Removes the first registration of that listener under the code.
    void remove(int32_t code, events::IEventListener* listener);
    void fire(base::IObject* sender, int32_t code);

private:
    bool registered(int32_t code, events::IEventListener* listener) const;

    mutable std::mutex m_lock;
    std::array<std::vector<events::IEventListener*>, ListEvent::CodeLimit> m_listeners;
};

}
