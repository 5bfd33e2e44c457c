#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

class QObject;

namespace s::gui::os {

// The process's one GUI thread. Every platform window of every top-level window lives on it and
// every listener runs on it. When the program has made its Qt application already, the thread of
// that application is the GUI thread; otherwise the first use starts a thread that makes the
// application and runs its event loop until the process ends.
//
// call(f) runs f on the GUI thread and waits for it; on the GUI thread it runs at once. The GUI
// thread serves its queue in nested loops too (message boxes, waits), so a call made while one
// runs is not held up by it. Once the GUI loop has ended (the application quits, the process
// ends), queued and later calls are dropped at once: nothing runs, and the caller gets a
// value-initialised result instead of waiting for ever.
class UIThread {
public:
    static UIThread& instance();

    bool isCurrent() const;
    bool hasEnded() const { return m_ended.load(); }

    template<class F>
    auto call(F&& f) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        if (isCurrent())
            return f();
        if constexpr (std::is_void_v<R>) {
            runAndWait([&] { f(); });
        } else {
            R result {};
            runAndWait([&] { result = f(); });
            return result;
        }
    }

    // Runs f on the GUI thread later, without waiting (dropped once the loop has ended).
    void post(std::function<void()> f);

    // Runs the GUI thread's queued work until nothing is left (GUI thread only); tests and
    // modal waits use it.
    static void processEvents();

    // An object living on the GUI thread, for timers and queued calls.
    QObject* context() const { return m_context; }

    UIThread(const UIThread&) = delete;
    UIThread& operator=(const UIThread&) = delete;

private:
    UIThread();
    ~UIThread() = default;
    // At exit: the GUI loop ends and its thread is joined, so Qt is idle while the process's
    // globals go.
    void shutDown();
    friend class UIContext;
    // run is false when the work is dropped: it must then only release whoever waits for it.
    using Work = std::function<void(bool run)>;
    void runAndWait(const std::function<void()>& f);
    void enqueue(Work work);
    // Runs the queued work (GUI thread).
    void drain();
    // The GUI loop ends: everything queued is dropped, and so is everything queued later.
    void end();

    std::thread m_thread;
    std::atomic<std::thread::id> m_id;
    QObject* m_context { nullptr };
    bool m_ownsApplication { false };
    int m_wakeFd { -1 };
    std::atomic<bool> m_ended { false };
    // Work for the GUI thread, guarded by our own lock; an event counter (m_wakeFd) wakes the
    // GUI thread's loop.
    std::mutex m_queueLock;
    std::deque<Work> m_queue;
};

// Shorthand for UIThread::instance().call(f).
template<class F>
auto onUiThread(F&& f)
{
    return UIThread::instance().call(std::forward<F>(f));
}

}
