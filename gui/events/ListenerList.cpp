#include "gui/events/ListenerList.h"

#include <algorithm>

namespace s::gui::events {

void ListenerList::add(IEventListener* listener)
{
    if (!listener)
        return;
    std::lock_guard lock(m_lock);
    m_entries.push_back({ listener, m_nextSerial++ });
}

void ListenerList::remove(IEventListener* listener)
{
    std::lock_guard lock(m_lock);
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.listener == listener; });
    if (it != m_entries.end())
        m_entries.erase(it);
}

void ListenerList::clear()
{
    std::lock_guard lock(m_lock);
    m_entries.clear();
}

uint32_t ListenerList::count() const
{
    std::lock_guard lock(m_lock);
    return static_cast<uint32_t>(m_entries.size());
}

bool ListenerList::contains(IEventListener* listener) const
{
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.listener == listener; });
}

bool ListenerList::stillRegistered(const Entry& entry) const
{
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.serial == entry.serial; });
}

void ListenerList::fire(base::IObject* sender, int32_t code)
{
    // The walk goes over a copy, so changes to the list while a listener runs cannot shift it;
    // each entry is checked again just before its call, so a removed listener is never called.
    std::vector<Entry> walk;
    {
        std::lock_guard lock(m_lock);
        if (m_entries.empty())
            return;
        walk = m_entries;
    }
    for (const Entry& entry : walk) {
        if (stillRegistered(entry))
            entry.listener->handle(sender, code);
    }
}

}
