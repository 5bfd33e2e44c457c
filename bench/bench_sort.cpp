#include "foundation/col/ArrayS32.h"
#include "foundation/col/Sort.h"
#include "foundation/comp/CompS32.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Record {
    int32_t key;
    int32_t seq;
};

int recordOrder(const void* a, const void* b, void*)
{
    int32_t x = static_cast<const Record*>(a)->key;
    int32_t y = static_cast<const Record*>(b)->key;
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::vector<Record> records(size_t n, bool ordered)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> key(0, static_cast<int32_t>(n / 4 + 1)); // plenty of ties
    std::vector<Record> r(n);
    for (size_t i = 0; i < n; ++i)
        r[i] = { ordered ? static_cast<int32_t>(i) : key(random), static_cast<int32_t>(i) };
    return r;
}

// Records of 8 bytes by a 32-bit key with ties: the library's merge sort through its compare
// function against std::stable_sort with an inlined comparison and with the same function.
void MergeSortRecords(benchmark::State& state)
{
    const auto input = records(state.range(0), state.range(1));
    std::vector<Record> work;
    for (auto _ : state) {
        work = input;
        s::col::mergeSort(work.data(), static_cast<uint32_t>(work.size()), sizeof(Record), recordOrder, nullptr);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StdStableSortRecords(benchmark::State& state)
{
    const auto input = records(state.range(0), state.range(1));
    std::vector<Record> work;
    for (auto _ : state) {
        work = input;
        std::stable_sort(work.begin(), work.end(), [](const Record& a, const Record& b) { return a.key < b.key; });
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StdStableSortRecordsThroughFunction(benchmark::State& state)
{
    const auto input = records(state.range(0), state.range(1));
    std::vector<Record> work;
    int (*volatile order)(const void*, const void*, void*) = recordOrder; // not inlined, as for the merge sort
    for (auto _ : state) {
        work = input;
        std::stable_sort(work.begin(), work.end(), [order](const Record& a, const Record& b) { return order(&a, &b, nullptr) < 0; });
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// An ArrayS32 sorted by its default comparator (a virtual compare per step).
void ArrayS32SortDefaultComparator(benchmark::State& state)
{
    std::mt19937 random(7);
    std::vector<int32_t> input(state.range(0));
    for (auto& v : input)
        v = static_cast<int32_t>(random());
    s::thread::Pooled<s::col::_array::ArrayS32> array;
    for (auto _ : state) {
        array->clear();
        array->append(input.data(), static_cast<uint32_t>(input.size()));
        array->sort();
        benchmark::DoNotOptimize(array->data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StdStableSortS32(benchmark::State& state)
{
    std::mt19937 random(7);
    std::vector<int32_t> input(state.range(0));
    for (auto& v : input)
        v = static_cast<int32_t>(random());
    std::vector<int32_t> work;
    for (auto _ : state) {
        work = input;
        std::stable_sort(work.begin(), work.end());
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

#define SORT_ARGS ArgNames({ "n", "ordered" })->Args({ 1000, 0 })->Args({ 100000, 0 })->Args({ 1000000, 0 })->Args({ 100000, 1 })
BENCHMARK(MergeSortRecords)->SORT_ARGS;
BENCHMARK(StdStableSortRecords)->SORT_ARGS;
BENCHMARK(StdStableSortRecordsThroughFunction)->SORT_ARGS;
BENCHMARK(ArrayS32SortDefaultComparator)->Arg(100000);
BENCHMARK(StdStableSortS32)->Arg(100000);

}
