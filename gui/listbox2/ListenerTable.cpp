#include "gui/listbox2/ListenerTable.h"

#include <algorithm>

namespace s::gui::listbox2 {

namespace {
bool validCode(int32_t code)
{
    return code >= 0 && code < ListEvent::CodeLimit;
}
}

void ListenerTable::add(int32_t code, events::IEventListener* listener)
{
    if (!validCode(code) || !listener)
        return;
    std::lock_guard lock(m_lock);
    m_listeners[static_cast<size_t>(code)].push_back(listener);
}

void ListenerTable::remove(int32_t code, events::IEventListener* listener)
{
    if (!validCode(code))
        return;
    std::lock_guard lock(m_lock);
    auto& list = m_listeners[static_cast<size_t>(code)];
    auto found = std::find(list.begin(), list.end(), listener);
    if (found != list.end())
        list.erase(found);
}

bool ListenerTable::registered(int32_t code, events::IEventListener* listener) const
{
    std::lock_guard lock(m_lock);
    const auto& list = m_listeners[static_cast<size_t>(code)];
    return std::find(list.begin(), list.end(), listener) != list.end();
}

void ListenerTable::fire(base::IObject* sender, int32_t code)
{
    if (!validCode(code))
        return;
    std::vector<events::IEventListener*> walk;
    {
        std::lock_guard lock(m_lock);
        walk = m_listeners[static_cast<size_t>(code)];
    }
    for (events::IEventListener* listener : walk) {
        if (registered(code, listener))
            listener->handle(sender, code);
    }
}

}
