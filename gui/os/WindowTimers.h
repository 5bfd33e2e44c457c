#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace s::gui::os {

// The application timers of one window, by id. The timers live on the GUI thread and every
// operation runs there; stopAll() must run before the owner goes, so no timer outlives its thread.
class WindowTimers {
public:
    explicit WindowTimers(std::function<void(int32_t id)> fired);
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    // Stops the timer of that id first, then starts it anew.
    void start(int32_t id, int32_t milliseconds);
    void stop(int32_t id);
    void stopAll();
    bool isRunning(int32_t id) const;
    size_t count() const { return m_timers.size(); }

private:
    std::function<void(int32_t)> m_fired;
    std::map<int32_t, std::unique_ptr<QTimer>> m_timers;
};

}
