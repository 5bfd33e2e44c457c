#include "foundation/thread/os/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using s::thread::ITask;
using s::thread::Pooled;
using s::thread::os::Thread;

namespace {

struct Counter final : ITask {
    std::atomic<int> runs { 0 };
    void run() override { ++runs; }
};

}

TEST(Thread, NewThreadIsIdleAndRunsTasksHandedToIt)
{
    Pooled<Thread> thread;
    EXPECT_TRUE(thread->hasThread());
    EXPECT_TRUE(thread->isIdle());
    thread->waitIdle();
    Counter counter;
    thread->runTimes(&counter, 3);
    thread->waitIdle();
    EXPECT_EQ(counter.runs, 3);
    thread->runOnce(&counter);
    thread->waitIdle();
    EXPECT_EQ(counter.runs, 4);
}
