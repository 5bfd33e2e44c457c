#pragma once

#include "gui/events/IEventListener.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace s::gui::events {

// The listeners of one event kind, in registration order. Listeners are not owned.
//
// A walk (fire) calls the listeners registered when it started, in order, and skips every one
// that was removed before its turn came, whether it removed itself, another listener removed it
// or another thread did. A listener added during a walk hears the next event, not this one. The
// list has its own lock, so it may be changed from any thread, but no lock is held while a
// listener runs: a listener may add, remove or fire again.
//
// Removing a listener does not wait for a call to it that another thread has already begun.
class ListenerList {
public:
    ListenerList() = default;
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    void add(IEventListener* listener);
    // Removes the first registration of that listener.
    void remove(IEventListener* listener);
    void clear();
    uint32_t count() const;
    bool empty() const { return count() == 0; }
    bool contains(IEventListener* listener) const;

    void fire(base::IObject* sender, int32_t code);

private:
    struct Entry {
        IEventListener* listener;
        // Unique per registration, so a listener removed and added again during a walk is not
        // taken for the registration the walk started with.
        uint64_t serial;
    };
    bool stillRegistered(const Entry& entry) const;

    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
    uint64_t m_nextSerial { 1 };
};

}
