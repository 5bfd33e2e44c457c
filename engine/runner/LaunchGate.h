#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace s::video::gui::dialogs::videodl {

// Spaces the starts of tools: every tool starts only after its worker took a launch slot, and the
// slots taken from one gate lie at least `spacing` apart, whatever the workers' scheduling.
//
// The program's workers share one gate (shared()); a test makes a gate of its own, so no test
// waits for the launches of another. Times are on the steady clock: a change of the system time
// must neither hold every download back nor let two tools start at once.
class LaunchGate {
public:
    static constexpr std::chrono::milliseconds DefaultSpacing { 1000 };
    // A waiting worker looks at its stop request at least this often.
    static constexpr std::chrono::milliseconds StopCheckInterval { 100 };

    explicit LaunchGate(std::chrono::milliseconds spacing = DefaultSpacing);
    LaunchGate(const LaunchGate&) = delete;
    LaunchGate& operator=(const LaunchGate&) = delete;

    // The gate of all the program's workers.
    static LaunchGate& shared();

    std::chrono::milliseconds spacing() const { return m_spacing; }

    // Waits for the next free slot and takes it. False, with no slot taken, when a stop is asked
    // for before or meanwhile. `taken` receives the slot's time.
    bool waitForSlot(const std::atomic<bool>& stopRequested, std::chrono::steady_clock::time_point* taken = nullptr);

private:
    std::mutex m_lock;
    std::chrono::steady_clock::time_point m_nextSlot {};
    const std::chrono::milliseconds m_spacing;
};

}
