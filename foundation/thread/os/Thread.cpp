#include "foundation/thread/os/Thread.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace s::thread::os {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Everything the OS thread and its owners share. The routine holds its own reference, so an
// abandoned routine keeps its block alive and never sees the object's later blocks.
struct Thread::RunBlock {
    std::mutex mutex;
    // The routine waits on `wake`; owners wait on `changed` for idle, exited and started.
    std::condition_variable wake;
    std::condition_variable changed;

    // Guarded by mutex.
    int32_t delay { 0 };
    ITask* task { nullptr };
    int32_t remaining { 0 };
    int32_t pauseMode { 0 };
    int32_t interval { 0 };
    bool exitRequested { false };
    bool suspended { false };
    bool started { false };
    // Counted so that a sleeping routine notices a new task or a stop even when the values
    // it would compare have come back to where they were.
    uint64_t handOvers { 0 };
    uint64_t stops { 0 };

    // Written under the lock, read without it.
    std::atomic<bool> turned { false };
    std::atomic<bool> idle { true };
    std::atomic<bool> exited { false };
    std::atomic<uint32_t> tid { 0 };
};

namespace {

enum PauseMode : int32_t {
    NoPause = 0,
    PauseAfterRun = 1,
    FixedRate = 2,
};

int processNice()
{
    static const int nice = [] {
        errno = 0;
        int value = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
        return errno == 0 ? value : 0;
    }();
    return nice;
}

}

Thread::Thread()
{
    spawn();
}

Thread::~Thread()
{
    assert(!isOwnThread() && "a thread cannot destroy itself");
    if (m_block)
        exitAndWait();
    if (m_thread.joinable())
        m_thread.join();
}

void Thread::routine(std::shared_ptr<RunBlock> block)
{
    RunBlock& b = *block;
    std::unique_lock lock(b.mutex);
    b.tid = static_cast<uint32_t>(gettid());
    b.started = true;
    b.changed.notify_all();

    b.turned = true;
    while (!b.exitRequested) {
        if (b.suspended) {
            b.wake.wait(lock);
        } else if (b.delay > 0 && b.remaining != 0) {
            // A delay waits for something to run, and is then cut short only by an exit or a
            // stop, not by a new task: it is meant for whatever runs next.
            auto until = Clock::now() + Millis(std::exchange(b.delay, 0));
            uint64_t stops = b.stops;
            b.wake.wait_until(lock, until, [&] { return b.exitRequested || b.stops != stops; });
        } else if (b.remaining != 0) {
            if (b.remaining > 0)
                --b.remaining;
            ITask* task = b.task;
            int32_t left = b.remaining;
            int32_t pauseMode = b.pauseMode;
            int32_t interval = b.interval;
            uint64_t handOvers = b.handOvers;
            uint64_t stops = b.stops;
            lock.unlock();

            auto started = Clock::now();
            if (task)
                task->run();

            lock.lock();
            if (pauseMode != NoPause && left != 0) {
                auto until = (pauseMode == FixedRate ? started : Clock::now()) + Millis(interval);
                // A new task, a stop or an exit ends the pause at once.
                b.wake.wait_until(lock, until, [&] {
                    return b.exitRequested || b.handOvers != handOvers || b.stops != stops;
                });
            }
        } else {
            // Going idle and waiting happen under one lock, so a hand-over either comes
            // before (and is seen above) or after (and its notification reaches the wait).
            if (!b.idle) {
                b.idle = true;
                b.changed.notify_all();
            }
            b.wake.wait(lock);
        }
        b.turned = true;
    }
    b.exited = true;
    b.changed.notify_all();
}

bool Thread::spawn()
{
    assert(!m_thread.joinable());
    auto block = std::make_shared<RunBlock>();
    try {
        m_thread = std::thread(routine, block);
    } catch (const std::system_error&) {
        m_block.reset();
        return false;
    }
    m_block = std::move(block);
    {
        // The id is needed at once for priorities and threadId().
        std::unique_lock lock(m_block->mutex);
        m_block->changed.wait(lock, [&] { return m_block->started; });
    }
    applyPriority();
    return true;
}

bool Thread::respawn()
{
    int32_t delay = 0;
    bool suspended = false;
    if (m_block) {
        {
            std::lock_guard lock(m_block->mutex);
            delay = m_block->delay;
            suspended = m_block->suspended;
            m_block->exitRequested = true;
            m_block->wake.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
        m_block.reset();
    }
    if (!spawn())
        return false;
    std::lock_guard lock(m_block->mutex);
    m_block->delay = delay;
    m_block->suspended = suspended;
    return true;
}

int Thread::niceOffsetOf(int32_t priority)
{
    if (priority <= -3)
        return 19;
    if (priority >= 3)
        return -20;
    static constexpr int offsets[] = { 10, 5, 0, -5, -10 };
    return offsets[priority + 2];
}

bool Thread::applyPriority()
{
    if (!m_block)
        return false;
    int nice = std::clamp(processNice() + niceOffsetOf(m_priority), -20, 19);
    return setpriority(PRIO_PROCESS, static_cast<id_t>(m_block->tid.load()), nice) == 0;
}

bool Thread::setPriority(int32_t priority)
{
    if (priority == m_priority)
        return true;
    m_priority = priority;
    if (!m_block)
        return false;
    if (applyPriority())
        return true;
    // Raising a lowered thread needs a privilege a desktop user lacks; an idle thread can be
    // swapped for a fresh one that starts from its creator's nice value instead.
    if (errno != EACCES && errno != EPERM)
        return false;
    if (!isIdle() || isOwnThread() || !respawn())
        return false;
    return applyPriority();
}

bool Thread::isOwnThread() const
{
    return m_block && m_block->tid.load() == static_cast<uint32_t>(gettid());
}

void Thread::handOver(ITask* task, int32_t runs, int32_t pauseMode, int32_t interval)
{
    for (;;) {
        if (!m_block)
            return;
        std::unique_lock lock(m_block->mutex);
        if (m_block->exited) {
            // An ended thread is made anew, so a thread object can always be handed a task.
            lock.unlock();
            if (!respawn())
                return;
            continue;
        }
        RunBlock& b = *m_block;
        b.task = task;
        b.remaining = runs;
        b.pauseMode = pauseMode;
        b.interval = interval;
        // A hand-over wins over an exit that has not happened yet.
        b.exitRequested = false;
        b.suspended = false;
        b.turned = false;
        b.idle = false;
        ++b.handOvers;
        b.wake.notify_all();
        return;
    }
}

void Thread::runOnce(ITask* task) { handOver(task, 1, NoPause, 0); }
void Thread::runTimes(ITask* task, int32_t count) { handOver(task, count, NoPause, 0); }
void Thread::runTimesWithPause(ITask* task, int32_t count, int32_t interval) { handOver(task, count, PauseAfterRun, interval); }
void Thread::runTimesAtRate(ITask* task, int32_t count, int32_t interval) { handOver(task, count, FixedRate, interval); }
void Thread::runForever(ITask* task) { handOver(task, -1, NoPause, 0); }
void Thread::runForeverWithPause(ITask* task, int32_t interval) { handOver(task, -1, PauseAfterRun, interval); }
void Thread::runForeverAtRate(ITask* task, int32_t interval) { handOver(task, -1, FixedRate, interval); }

bool Thread::isIdle() const
{
    return !m_block || m_block->idle.load();
}

void Thread::waitIdle()
{
    if (!m_block)
        return;
    assert(!isOwnThread() && "a thread waiting for itself never wakes");
    RunBlock& b = *m_block;
    std::unique_lock lock(b.mutex);
    b.changed.wait(lock, [&] { return b.idle.load() || b.exited.load(); });
}

bool Thread::waitIdleOrReplace(int32_t ms)
{
    if (!m_block)
        return true;
    assert(!isOwnThread() && "a thread cannot replace itself");
    {
        RunBlock& b = *m_block;
        std::unique_lock lock(b.mutex);
        if (b.changed.wait_for(lock, Millis(std::max(ms, 0)), [&] { return b.idle.load() || b.exited.load(); }))
            return true;
        // Abandon: the routine ends after its current run and keeps only this old block.
        b.exitRequested = true;
        b.task = nullptr;
        b.remaining = 0;
        b.wake.notify_all();
    }
    m_thread.detach();
    m_block.reset();
    spawn();
    return false;
}

void Thread::stopRepeating()
{
    if (!m_block)
        return;
    std::lock_guard lock(m_block->mutex);
    m_block->remaining = 0;
    ++m_block->stops;
    m_block->suspended = false;
    m_block->wake.notify_all();
}

void Thread::stopRepeatingAndWait()
{
    stopRepeating();
    waitIdle();
}

void Thread::waitExited()
{
    if (!m_block)
        return;
    assert(!isOwnThread() && "a thread waiting for its own end never wakes");
    {
        RunBlock& b = *m_block;
        std::unique_lock lock(b.mutex);
        b.suspended = false;
        b.wake.notify_all();
        b.changed.wait(lock, [&] { return b.exited.load(); });
    }
    if (m_thread.joinable())
        m_thread.join();
}

void Thread::requestExit()
{
    if (!m_block)
        return;
    std::lock_guard lock(m_block->mutex);
    m_block->exitRequested = true;
    m_block->suspended = false;
    m_block->wake.notify_all();
}

void Thread::exitAndWait()
{
    requestExit();
    waitExited();
}

void Thread::delayNext(int32_t ms)
{
    if (!m_block)
        return;
    std::lock_guard lock(m_block->mutex);
    m_block->delay = ms;
}

void Thread::resume()
{
    if (!m_block)
        return;
    std::lock_guard lock(m_block->mutex);
    m_block->suspended = false;
    m_block->wake.notify_all();
}

void Thread::suspend()
{
    if (!m_block)
        return;
    std::lock_guard lock(m_block->mutex);
    m_block->suspended = true;
}

void Thread::run()
{
    if (m_function)
        m_function();
}

void Thread::reset()
{
    // Step 1: a live OS thread with nothing to run.
    if (!m_block || m_block->exited)
        respawn();
    if (!isIdle())
        stopRepeatingAndWait();
    // Step 2: a new thread's settings.
    setPriority(0);
    suspend();
    if (m_block) {
        std::lock_guard lock(m_block->mutex);
        m_block->delay = 0;
        m_block->task = nullptr;
    }
    m_function = nullptr;
}

uint32_t Thread::threadId() const
{
    return m_block ? m_block->tid.load() : 0;
}

bool Thread::hasTurned() const
{
    return m_block && m_block->turned.load();
}

void Thread::clearTurned()
{
    if (m_block)
        m_block->turned = false;
}

bool Thread::isExited() const
{
    return !m_block || m_block->exited.load();
}

}
