#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/ITask.h"
#include "foundation/thread/IThread.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <memory>
#include <thread>

namespace s::thread::os {

// The library's reusable thread on std::thread. The OS thread is made with the object and waits
// on a condition variable while idle, so handing over a task wakes it exactly once, also when
// the hand-over falls on the moment the thread is going idle.
//
// Everything the OS thread touches lives in a shared run block that the thread routine holds
// itself. A thread abandoned by waitIdleOrReplace keeps only its own (old) block and is
// detached; the object goes on with a fresh block and a fresh OS thread.
//
// One owner drives a thread object at a time. isIdle, hasTurned and isExited may be read from
// any thread, except while the owner swaps the OS thread (waitIdleOrReplace, reset, or a raised
// priority on an idle thread).
//
// Priorities map to nice values of the one OS thread (idle +19, -2 → +10, -1 → +5, 0 → the
// process's own, 1 → -5, 2 → -10, 15 → -20). A user may lower a thread but not raise it again,
// so an idle thread that is to be raised is replaced by a fresh OS thread at the creator's nice.
class Thread final : public IThread
    , public base::IObject
    , public IPoolable
    , public ITask {
    S_POOLED_CLASS(Thread, "s_thread_os_Thread")
public:
    Thread();
    ~Thread() override;

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void runOnce(ITask* task) override;
    void runTimes(ITask* task, int32_t count) override;
    void runTimesWithPause(ITask* task, int32_t count, int32_t interval) override;
    void runTimesAtRate(ITask* task, int32_t count, int32_t interval) override;
    void runForever(ITask* task) override;
    void runForeverWithPause(ITask* task, int32_t interval) override;
    void runForeverAtRate(ITask* task, int32_t interval) override;

    bool isIdle() const override;
    void waitIdle() override;
    bool waitIdleOrReplace(int32_t ms) override;

    void stopRepeating() override;
    void stopRepeatingAndWait() override;
    void waitExited() override;
    void requestExit() override;
    void exitAndWait() override;
    void delayNext(int32_t ms) override;

    void resume() override;
    void suspend() override;

    int32_t getPriority() override { return m_priority; }
    bool setPriority(int32_t priority) override;
    void setFunction(Function function) override { m_function = function; }

    // Runs the function set with setFunction, so a thread can be handed to another as a task.
    void run() override;

    // Back to a new thread's state: waits for the current run, normal priority, no function,
    // no pending delay, and a live OS thread (a thread that was ended gets a fresh one).
    void reset() override;

    // False when the OS thread could not be made; every operation is then a no-op.
    bool hasThread() const { return m_block != nullptr; }
    // The kernel's id of the OS thread (0 without one).
    uint32_t threadId() const;
    // Set by the thread at the start of every turn; clearTurned lets a watcher see progress.
    bool hasTurned() const;
    void clearTurned();
    bool isExited() const;

    // The nice value a priority stands for, relative to the process's own.
    static int niceOffsetOf(int32_t priority);

private:
    struct RunBlock;

    static void routine(std::shared_ptr<RunBlock> block);

    bool spawn();
    // Ends an idle (or already ended) OS thread and starts a fresh one.
    bool respawn();
    bool applyPriority();
    void handOver(ITask* task, int32_t runs, int32_t pauseMode, int32_t interval);
    bool isOwnThread() const;

    std::shared_ptr<RunBlock> m_block;
    std::thread m_thread;
    int32_t m_priority { 0 };
    Function m_function { nullptr };
};

}
