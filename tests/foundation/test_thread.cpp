#include "foundation/thread/os/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using s::thread::ITask;
using s::thread::Pooled;
using s::thread::os::Thread;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

struct Counter final : ITask {
    std::atomic<int> runs { 0 };
    void run() override { ++runs; }
};

// A task that records when each run started and takes a given time.
struct Stamps final : ITask {
    explicit Stamps(std::chrono::milliseconds duration = 0ms)
        : duration(duration)
    {
    }
    void run() override
    {
        {
            std::lock_guard lock(mutex);
            starts.push_back(Clock::now());
        }
        std::this_thread::sleep_for(duration);
    }
    std::vector<Clock::time_point> copy()
    {
        std::lock_guard lock(mutex);
        return starts;
    }
    std::chrono::milliseconds duration;
    std::mutex mutex;
    std::vector<Clock::time_point> starts;
};

// A task whose runs wait until the test opens the gate.
struct Gate final : ITask {
    void run() override
    {
        std::unique_lock lock(mutex);
        ++entered;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        ++finished;
        changed.notify_all();
    }
    bool waitEntered(int count, std::chrono::milliseconds limit = 10s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, [&] { return entered >= count; });
    }
    bool waitFinished(int count, std::chrono::milliseconds limit = 10s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, [&] { return finished >= count; });
    }
    void release()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    int enteredCount()
    {
        std::lock_guard lock(mutex);
        return entered;
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool open { false };
    int entered { 0 };
    int finished { 0 };
};

template<class Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds limit = 10s)
{
    auto until = Clock::now() + limit;
    while (!predicate()) {
        if (Clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

long long ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

int niceOf(uint32_t tid)
{
    errno = 0;
    return getpriority(PRIO_PROCESS, tid);
}

int processNice()
{
    return getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
}

int expectedNice(int32_t priority)
{
    return std::clamp(processNice() + Thread::niceOffsetOf(priority), -20, 19);
}

}

TEST(Thread, NewThreadIsIdleAndWaitIdleReturnsAtOnce)
{
    Pooled<Thread> thread;
    EXPECT_TRUE(thread->hasThread());
    EXPECT_NE(thread->threadId(), 0u);
    EXPECT_STREQ(thread->className(), "s_thread_os_Thread");
    EXPECT_TRUE(thread->isIdle());
    EXPECT_FALSE(thread->isExited());
    thread->waitIdle();
    EXPECT_TRUE(thread->waitIdleOrReplace(0));
}

TEST(Thread, FiniteRunModesRunTheTaskTheGivenNumberOfTimesThenGoIdle)
{
    enum Mode { Once, Times, WithPause, AtRate };
    struct Case {
        Mode mode;
        int32_t count;
        int expectedRuns;
    };
    const Case cases[] = {
        { Once, 0, 1 },
        { Times, 3, 3 },
        { Times, 0, 0 },
        { Times, 1, 1 },
        { WithPause, 3, 3 },
        { WithPause, 0, 0 },
        { AtRate, 3, 3 },
        { AtRate, 0, 0 },
    };
    Pooled<Thread> thread;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " count " << c.count);
        Counter counter;
        switch (c.mode) {
        case Once: thread->runOnce(&counter); break;
        case Times: thread->runTimes(&counter, c.count); break;
        case WithPause: thread->runTimesWithPause(&counter, c.count, 5); break;
        case AtRate: thread->runTimesAtRate(&counter, c.count, 5); break;
        }
        thread->waitIdle();
        EXPECT_EQ(counter.runs, c.expectedRuns);
        EXPECT_TRUE(thread->isIdle());
        // Nothing runs after the thread went idle.
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(counter.runs, c.expectedRuns);
    }
}

TEST(Thread, ForeverModesRunUntilStoppedAndThenStartNoFurtherRun)
{
    enum Mode { Forever, ForeverWithPause, ForeverAtRate };
    for (Mode mode : { Forever, ForeverWithPause, ForeverAtRate }) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        Pooled<Thread> thread;
        Counter counter;
        switch (mode) {
        case Forever: thread->runForever(&counter); break;
        case ForeverWithPause: thread->runForeverWithPause(&counter, 1); break;
        case ForeverAtRate: thread->runForeverAtRate(&counter, 1); break;
        }
        EXPECT_TRUE(eventually([&] { return counter.runs >= 20; }));
        EXPECT_FALSE(thread->isIdle());
        thread->stopRepeatingAndWait();
        EXPECT_TRUE(thread->isIdle());
        int runs = counter.runs;
        std::this_thread::sleep_for(30ms);
        EXPECT_EQ(counter.runs, runs);
    }
}

TEST(Thread, AtRateRunsStartOnePeriodApartWhileWithPauseAddsThePauseToEachRun)
{
    // Runs of 80 ms with an interval of 250 ms: at a rate they start about 250 ms apart, with a
    // pause about 330 ms apart. Bounds are lower ones and an order, never an upper speed limit.
    const auto task = 80ms;
    const int32_t interval = 250;
    Stamps atRate(task), withPause(task);
    Pooled<Thread> a, b;
    a->runTimesAtRate(&atRate, 4, interval);
    b->runTimesWithPause(&withPause, 4, interval);
    a->waitIdle();
    auto rateEnd = Clock::now();
    b->waitIdle();
    auto rate = atRate.copy(), pause = withPause.copy();
    ASSERT_EQ(rate.size(), 4u);
    ASSERT_EQ(pause.size(), 4u);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_GE(ms(rate[i] - rate[i - 1]), interval - 5) << i;
        EXPECT_GE(ms(pause[i] - pause[i - 1]), interval + 80 - 5) << i;
    }
    EXPECT_LT(ms(rate.back() - rate.front()), ms(pause.back() - pause.front()));
    // No pause after the last run.
    EXPECT_LT(ms(rateEnd - rate.back()), interval);
}

TEST(Thread, StopRepeatingLetsTheCurrentRunFinishAndStartsNoOther)
{
    Pooled<Thread> thread;
    Gate gate;
    thread->runForever(&gate);
    ASSERT_TRUE(gate.waitEntered(1));
    thread->stopRepeating();
    EXPECT_FALSE(thread->isIdle());
    gate.release();
    thread->waitIdle();
    EXPECT_EQ(gate.enteredCount(), 1);
}

TEST(Thread, StopRepeatingEndsAPauseAtOnce)
{
    Pooled<Thread> thread;
    Counter counter;
    thread->runForeverWithPause(&counter, 60000);
    ASSERT_TRUE(eventually([&] { return counter.runs == 1; }));
    auto start = Clock::now();
    thread->stopRepeatingAndWait();
    EXPECT_LT(ms(Clock::now() - start), 30000);
    EXPECT_EQ(counter.runs, 1);
}

TEST(Thread, DelayNextDelaysOnlyTheNextRun)
{
    Pooled<Thread> thread;
    Stamps stamps;
    thread->delayNext(300);
    auto handedOver = Clock::now();
    thread->runOnce(&stamps);
    EXPECT_FALSE(thread->isIdle());
    thread->waitIdle();
    auto again = Clock::now();
    thread->runOnce(&stamps);
    thread->waitIdle();
    auto starts = stamps.copy();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_GE(ms(starts[0] - handedOver), 295);
    EXPECT_LT(ms(starts[1] - again), 295);
}

TEST(Thread, ATaskHandedOverWhileAnotherRunsFollowsTheCurrentRun)
{
    Pooled<Thread> thread;
    Gate first;
    Counter second;
    thread->runForever(&first);
    ASSERT_TRUE(first.waitEntered(1));
    thread->runTimes(&second, 2);
    EXPECT_EQ(second.runs, 0);
    first.release();
    thread->waitIdle();
    EXPECT_EQ(first.enteredCount(), 1);
    EXPECT_EQ(second.runs, 2);
}

TEST(Thread, ExitEndsTheThreadAfterTheCurrentRunAndAHandOverStartsAFreshOne)
{
    Pooled<Thread> thread;
    Gate gate;
    thread->runForever(&gate);
    ASSERT_TRUE(gate.waitEntered(1));
    thread->requestExit();
    EXPECT_FALSE(thread->isExited());
    gate.release();
    thread->waitExited();
    EXPECT_TRUE(thread->isExited());
    EXPECT_EQ(gate.enteredCount(), 1);

    Counter counter;
    thread->runTimes(&counter, 2);
    thread->waitIdle();
    EXPECT_EQ(counter.runs, 2);
    EXPECT_FALSE(thread->isExited());
}

TEST(Thread, DestroyingAThreadWaitsForTheCurrentRunOnly)
{
    Counter counter;
    {
        Thread thread;
        thread.runForever(&counter);
        ASSERT_TRUE(eventually([&] { return counter.runs > 5; }));
    }
    int runs = counter.runs;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.runs, runs);
}

TEST(Thread, SuspendHoldsTheThreadAtItsNextTurnUntilResumed)
{
    Pooled<Thread> thread;
    Counter counter;
    thread->runForeverWithPause(&counter, 1);
    ASSERT_TRUE(eventually([&] { return counter.runs > 2; }));
    thread->suspend();
    std::this_thread::sleep_for(30ms);
    int held = counter.runs;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(counter.runs, held);
    thread->resume();
    EXPECT_TRUE(eventually([&] { return counter.runs > held; }));
    thread->stopRepeatingAndWait();
}

namespace {
std::atomic<uint32_t> g_functionRanOn { 0 };
void recordThread() { g_functionRanOn = static_cast<uint32_t>(gettid()); }
}

TEST(Thread, AThreadIsATaskThatRunsItsFunction)
{
    Pooled<Thread> worker, runner;
    worker->run();
    EXPECT_EQ(g_functionRanOn, 0u);
    worker->setFunction(recordThread);
    runner->runOnce(worker.get());
    runner->waitIdle();
    EXPECT_EQ(g_functionRanOn, runner->threadId());
}

TEST(Thread, PrioritiesBecomeNiceValuesOfTheOneThread)
{
    struct Case {
        int32_t priority;
        int offset;
    };
    const Case cases[] = { { -15, 19 }, { -2, 10 }, { -1, 5 }, { 0, 0 }, { 1, -5 }, { 2, -10 }, { 15, -20 } };
    for (const Case& c : cases)
        EXPECT_EQ(Thread::niceOffsetOf(c.priority), c.offset) << c.priority;

    Pooled<Thread> thread;
    EXPECT_EQ(niceOf(thread->threadId()), processNice());
    EXPECT_TRUE(thread->setPriority(-1));
    EXPECT_EQ(thread->getPriority(), -1);
    EXPECT_EQ(niceOf(thread->threadId()), expectedNice(-1));
    EXPECT_EQ(niceOf(gettid()), processNice()) << "only the one thread changes";
    // Back to normal, also where raising is a privilege (see the unprivileged test below).
    EXPECT_TRUE(thread->setPriority(0));
    EXPECT_EQ(niceOf(thread->threadId()), expectedNice(0));
}

namespace {

// Runs in a child process: drops to an unprivileged user who may not raise a nice value.
[[noreturn]] void lowerAndRaiseAsAnUnprivilegedUser()
{
    if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(2);
    struct rlimit limit = { 0, 0 };
    setrlimit(RLIMIT_NICE, &limit);
    bool ok = true;
    {
        Thread thread;
        Counter counter;
        ok &= thread.setPriority(-2);
        ok &= niceOf(thread.threadId()) == expectedNice(-2);
        ok &= thread.setPriority(0);
        ok &= niceOf(thread.threadId()) == expectedNice(0);
        thread.runOnce(&counter);
        thread.waitIdle();
        ok &= counter.runs == 1;
    }
    std::_Exit(ok ? 0 : 1);
}

}

TEST(ThreadDeathTest, AnUnprivilegedUserGetsALoweredIdleThreadBackToNormal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(lowerAndRaiseAsAnUnprivilegedUser(), testing::ExitedWithCode(0), "");
}

TEST(Thread, TenThousandHandOversRacingTheIdleTransitionAllRun)
{
    Pooled<Thread> thread;
    Counter counter;
    // Each hand-over comes as soon as the previous run has counted, which is while the thread
    // is on its way to idle: a lost wake-up would leave a run that never happens.
    for (int i = 0; i < 10000; ++i) {
        thread->runOnce(&counter);
        auto until = Clock::now() + 10s;
        while (counter.runs.load() != i + 1) {
            if (Clock::now() > until)
                FAIL() << "hand-over " << i << " never ran";
            std::this_thread::yield();
        }
    }
    thread->waitIdle();
    EXPECT_EQ(counter.runs, 10000);

    // waitIdle never returns before the handed-over run is done.
    for (int i = 0; i < 2000; ++i) {
        thread->runOnce(&counter);
        thread->waitIdle();
        ASSERT_EQ(counter.runs, 10000 + i + 1);
    }
}

TEST(Thread, WaitIdleOrReplaceAbandonsATaskThatNeverReturns)
{
    // Kept to the end of the process: the abandoned run goes on after the thread object has
    // moved on (one gate per run of the test, so repeated runs start closed).
    static std::vector<std::unique_ptr<Gate>> gates;
    Gate& stuck = *gates.emplace_back(std::make_unique<Gate>());
    Pooled<Thread> thread;
    ASSERT_TRUE(thread->setPriority(-1));
    thread->runForever(&stuck);
    ASSERT_TRUE(stuck.waitEntered(1));
    uint32_t abandonedId = thread->threadId();

    auto start = Clock::now();
    EXPECT_FALSE(thread->waitIdleOrReplace(100));
    EXPECT_GE(ms(Clock::now() - start), 95);

    // The replacement is idle at once, keeps the priority and works.
    EXPECT_TRUE(thread->isIdle());
    EXPECT_NE(thread->threadId(), abandonedId);
    EXPECT_EQ(thread->getPriority(), -1);
    EXPECT_EQ(niceOf(thread->threadId()), expectedNice(-1));
    Counter counter;
    thread->runTimes(&counter, 3);
    thread->waitIdle();
    EXPECT_EQ(counter.runs, 3);

    // When the abandoned run finally returns it neither runs again nor touches the new thread.
    thread->runForever(&counter);
    ASSERT_TRUE(eventually([&] { return counter.runs > 10; }));
    stuck.release();
    ASSERT_TRUE(stuck.waitFinished(1));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(stuck.enteredCount(), 1);
    EXPECT_FALSE(thread->isIdle());
    int runs = counter.runs;
    EXPECT_TRUE(eventually([&] { return counter.runs > runs; }));
    thread->stopRepeatingAndWait();
}

TEST(Thread, WaitIdleOrReplaceKeepsAThreadThatFinishesInTime)
{
    Pooled<Thread> thread;
    Stamps slow(50ms);
    uint32_t id = thread->threadId();
    thread->runOnce(&slow);
    EXPECT_TRUE(thread->waitIdleOrReplace(20000));
    EXPECT_EQ(thread->threadId(), id);
    EXPECT_EQ(slow.copy().size(), 1u);
}

TEST(Thread, AThreadBackFromThePoolIsIdleNormalWithoutFunctionOrDelay)
{
    Thread* used = Thread::get();
    Gate gate;
    used->setPriority(-2);
    used->setFunction(recordThread);
    used->runForever(&gate);
    ASSERT_TRUE(gate.waitEntered(1));
    used->delayNext(60000);
    // Releasing waits for the current run; open the gate from elsewhere meanwhile.
    std::thread opener([&] {
        std::this_thread::sleep_for(30ms);
        gate.release();
    });
    used->release();
    opener.join();
    EXPECT_EQ(gate.enteredCount(), 1);

    Pooled<Thread> again;
    ASSERT_EQ(again.get(), used) << "the pool hands back the most recent thread";
    EXPECT_TRUE(again->isIdle());
    EXPECT_EQ(again->getPriority(), 0);
    EXPECT_EQ(niceOf(again->threadId()), expectedNice(0));
    g_functionRanOn = 0;
    again->run();
    EXPECT_EQ(g_functionRanOn, 0u) << "the function must not carry over";
    Counter counter;
    again->runOnce(&counter);
    EXPECT_TRUE(again->waitIdleOrReplace(30000)) << "the old delay must not carry over";
    EXPECT_EQ(counter.runs, 1);
}

TEST(Thread, AnEndedThreadReleasedToThePoolComesBackAlive)
{
    Thread* ended = Thread::get();
    ended->exitAndWait();
    EXPECT_TRUE(ended->isExited());
    ended->release();
    Pooled<Thread> again;
    ASSERT_EQ(again.get(), ended);
    EXPECT_FALSE(again->isExited());
    Counter counter;
    again->runOnce(&counter);
    again->waitIdle();
    EXPECT_EQ(counter.runs, 1);
}
