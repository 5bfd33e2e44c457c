#include "foundation/thread/Pool.h"

#include <benchmark/benchmark.h>

namespace {

// A typical small pooled object: a few fields and an inline buffer, like an array or a node.
class Payload final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Payload, "s_bench_Payload")
public:
    void reset() override { used = 0; }
    uint32_t used { 0 };
    char bytes[96] {};
};

// The pool's hot path: get, touch, release. With two threads both hammer the same pool and its lock.
void PoolGetRelease(benchmark::State& state)
{
    for (auto _ : state) {
        Payload* p = Payload::get();
        p->used = 1;
        benchmark::DoNotOptimize(p);
        p->release();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PoolGetRelease)->Threads(1)->Threads(2)->UseRealTime();

void NewDelete(benchmark::State& state)
{
    for (auto _ : state) {
        auto* p = new Payload();
        p->used = 1;
        benchmark::DoNotOptimize(p);
        delete p;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(NewDelete)->Threads(1)->Threads(2)->UseRealTime();

// Bursts: 64 objects out at once, then all back, as a parse that builds a small tree does.
void PoolBurstOf64(benchmark::State& state)
{
    Payload* held[64];
    for (auto _ : state) {
        for (auto& p : held)
            p = Payload::get();
        benchmark::DoNotOptimize(held);
        for (auto* p : held)
            p->release();
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(PoolBurstOf64)->Threads(1)->Threads(2)->UseRealTime();

void NewDeleteBurstOf64(benchmark::State& state)
{
    Payload* held[64];
    for (auto _ : state) {
        for (auto& p : held)
            p = new Payload();
        benchmark::DoNotOptimize(held);
        for (auto* p : held)
            delete p;
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(NewDeleteBurstOf64)->Threads(1)->Threads(2)->UseRealTime();

}
