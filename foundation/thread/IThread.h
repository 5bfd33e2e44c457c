#pragma once

#include <cstdint>

namespace s::thread {

class ITask;

// A reusable thread: it runs the task it is handed (once, a number of times or without end,
// with a pause between runs or at a fixed rate) and then waits, idle, for the next task.
//
// Handing a task to a thread that is still running another one replaces what is to be run at
// once: the running task finishes its current run and the new task's runs follow. Counts of -1
// mean "without end"; intervals and delays are milliseconds.
class IThread {
public:
    // What the thread's own run() calls when the thread itself is used as a task.
    using Function = void (*)();

    virtual ~IThread() = default;

    virtual void runOnce(ITask* task) = 0;
    virtual void runTimes(ITask* task, int32_t count) = 0;
    // A pause of interval after each run but the last.
    virtual void runTimesWithPause(ITask* task, int32_t count, int32_t interval) = 0;
    // Runs start interval apart (or at once when a run took longer).
    virtual void runTimesAtRate(ITask* task, int32_t count, int32_t interval) = 0;
    virtual void runForever(ITask* task) = 0;
    virtual void runForeverWithPause(ITask* task, int32_t interval) = 0;
    virtual void runForeverAtRate(ITask* task, int32_t interval) = 0;

    virtual bool isIdle() const = 0;
    // Returns once the thread has nothing left to run (at once for a thread that never ran).
    virtual void waitIdle() = 0;
    // Waits like waitIdle for at most ms. A thread still busy then is abandoned: its task may
    // go on running but can no longer reach this thread's state, and a fresh idle thread with
    // the same priority takes its place. True when the thread went idle by itself.
    virtual bool waitIdleOrReplace(int32_t ms) = 0;

    // The current run finishes; no further run starts.
    virtual void stopRepeating() = 0;
    virtual void stopRepeatingAndWait() = 0;
    virtual void waitExited() = 0;
    // The thread ends after the current run, if any.
    virtual void requestExit() = 0;
    virtual void exitAndWait() = 0;
    // A one-time sleep before the next turn: before the next run of a task handed over later,
    // or before the next run of the current one.
    virtual void delayNext(int32_t ms) = 0;

    // Suspension holds the thread at its next turn: a run in progress is never cut short.
    virtual void resume() = 0;
    virtual void suspend() = 0;

    // Priorities use the platform-neutral scale -15 (idle), -2, -1, 0 (normal), 1, 2, 15 (time critical).
    virtual int32_t getPriority() = 0;
    // False when the platform refused the value; it is remembered either way.
    virtual bool setPriority(int32_t priority) = 0;
    virtual void setFunction(Function function) = 0;
};

}
