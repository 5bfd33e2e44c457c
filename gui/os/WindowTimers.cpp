#include "gui/os/WindowTimers.h"

#include <QTimer>

#include <algorithm>

namespace s::gui::os {

WindowTimers::WindowTimers(std::function<void(int32_t id)> fired)
    : m_fired(std::move(fired))
{
}

WindowTimers::~WindowTimers()
{
    // A window stops its timers on the GUI thread when it is taken apart. Timers left here could
    // not be: the GUI loop had ended first, and the process is ending. Deleting them now, on
    // another thread, is what Qt forbids; the process's end takes them.
    for (auto& entry : m_timers)
        (void)entry.second.release();
}

void WindowTimers::start(int32_t id, int32_t milliseconds)
{
    stop(id);
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(std::max(0, milliseconds));
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this, id] { m_fired(id); });
    timer->start();
    m_timers[id] = std::move(timer);
}

void WindowTimers::stop(int32_t id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    // A listener may stop the very timer whose tick it is hearing: the timer goes once the tick
    // is over.
    it->second->stop();
    it->second.release()->deleteLater();
    m_timers.erase(it);
}

void WindowTimers::stopAll()
{
    while (!m_timers.empty())
        stop(m_timers.begin()->first);
}

bool WindowTimers::isRunning(int32_t id) const
{
    return m_timers.count(id) != 0;
}

}
