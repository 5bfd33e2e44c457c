#include "engine/runner/LaunchGate.h"

#include <algorithm>
#include <thread>

namespace s::video::gui::dialogs::videodl {

using Clock = std::chrono::steady_clock;

LaunchGate::LaunchGate(std::chrono::milliseconds spacing)
    : m_spacing(spacing)
{
}

LaunchGate& LaunchGate::shared()
{
    static LaunchGate gate;
    return gate;
}

bool LaunchGate::waitForSlot(const std::atomic<bool>& stopRequested, Clock::time_point* taken)
{
    if (stopRequested)
        return false;
    for (;;) {
        Clock::duration wait;
        {
            // Test and update form one step for all workers.
            std::scoped_lock guard(m_lock);
            Clock::time_point now = Clock::now();
            if (now >= m_nextSlot) {
                m_nextSlot = now + m_spacing;
                if (taken)
                    *taken = now;
                return true;
            }
            wait = std::min<Clock::duration>(m_nextSlot - now, StopCheckInterval);
        }
        std::this_thread::sleep_for(wait);
        if (stopRequested)
            return false;
    }
}

}
