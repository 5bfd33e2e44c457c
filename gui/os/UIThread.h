#pragma once

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
// call(f) runs f on the GUI thread and waits for it; on the GUI thread it runs at once. A caller
// that blocks the GUI thread while it waits for another thread that is inside call() deadlocks,
// as with any synchronous request.
class UIThread {
public:
    static UIThread& instance();

    bool isCurrent() const;

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

    // Runs f on the GUI thread later, without waiting.
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
    ~UIThread();
    friend class UIContext;
    void runAndWait(const std::function<void()>& f);
    void enqueue(std::function<void()> f);
    // Runs the queued work (GUI thread).
    void drain();

    std::thread m_thread;
    std::thread::id m_id;
    QObject* m_context { nullptr };
    QObject* m_application { nullptr };
    bool m_ownsApplication { false };
    int m_wakeFd { -1 };
    // Work for the GUI thread, guarded by our own lock; an event counter (m_wakeFd) wakes the
    // GUI thread's loop.
    std::mutex m_queueLock;
    std::deque<std::function<void()>> m_queue;
};

// Shorthand for UIThread::instance().call(f).
template<class F>
auto onUiThread(F&& f)
{
    return UIThread::instance().call(std::forward<F>(f));
}

}
