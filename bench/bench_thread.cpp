#include "foundation/thread/os/Thread.h"

#include <benchmark/benchmark.h>

#include <atomic>

using s::thread::ITask;
using s::thread::Pooled;
using s::thread::os::Thread;

namespace {

struct Nothing final : ITask {
    std::atomic<int> runs { 0 };
    void run() override { runs.fetch_add(1, std::memory_order_relaxed); }
};

// One hand-over to an idle thread and the wait until it is idle again: the cost of starting a
// job's worker once its thread exists.
void HandOverAndWaitIdle(benchmark::State& state)
{
    Pooled<Thread> thread;
    Nothing task;
    for (auto _ : state) {
        thread->runOnce(&task);
        thread->waitIdle();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HandOverAndWaitIdle);

// Taking a thread from the pool and giving it back: a job's worker after its first start.
void PooledThreadGetAndRelease(benchmark::State& state)
{
    Pooled<Thread> warm;
    warm.replace();
    for (auto _ : state) {
        Pooled<Thread> thread;
        benchmark::DoNotOptimize(thread.get());
    }
}
BENCHMARK(PooledThreadGetAndRelease);

// A thread made and ended each time: what the pool saves.
void ThreadCreateAndEnd(benchmark::State& state)
{
    for (auto _ : state) {
        Thread thread;
        benchmark::DoNotOptimize(thread.threadId());
    }
}
BENCHMARK(ThreadCreateAndEnd);

}
