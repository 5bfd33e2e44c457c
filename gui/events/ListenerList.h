#pragma once

#include "foundation/col/ArrayP.h"
#include "gui/events/IEventListener.h"

namespace s::gui::events {

// The listeners of one event kind, in registration order. Listeners are not owned.
class ListenerList {
public:
    void add(IEventListener* listener)
    {
        if (listener)
            m_listeners.push(listener);
    }
    // Removes the first registration of that listener.
    void remove(IEventListener* listener)
    {
        int64_t index = m_listeners.find(listener);
        if (index >= 0)
            m_listeners.removeAt(static_cast<uint32_t>(index));
    }
    void clear() { m_listeners.clear(); }
    uint32_t count() const { return m_listeners.count(); }
    bool empty() const { return m_listeners.count() == 0; }

    // Calls every listener in order. A listener may add or remove listeners of this list while
    // it runs: the walk reads the count afresh on every step.
    void fire(base::IObject* sender, int32_t code)
    {
        for (uint32_t i = 0; i < m_listeners.count(); ++i)
            static_cast<IEventListener*>(m_listeners.at(i))->handle(sender, code);
    }

private:
    col::_array::ArrayP m_listeners;
};

}
