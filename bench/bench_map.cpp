#include "foundation/map/MapTable.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace {

// A text key hashed and compared through the object interface, as text buffers are.
class BenchKey final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(BenchKey, "s_bench_BenchKey")
public:
    void reset() override { text.clear(); }
    int compare(const s::base::IComparable* other, const s::base::IComparator* = nullptr) const override
    {
        return text.compare(static_cast<const BenchKey*>(other)->text);
    }
    bool equals(const s::base::IComparable* other, const s::base::IComparator* = nullptr) const override
    {
        return text == static_cast<const BenchKey*>(other)->text;
    }
    uint32_t hash() const override
    {
        uint32_t h = 2166136261u;
        for (unsigned char c : text)
            h = (h ^ c) * 16777619u;
        return h;
    }
    std::string text;
};

struct KeyHash {
    size_t operator()(const s::base::IObject* key) const { return key->hash(); }
};
struct KeyEquals {
    bool operator()(const s::base::IObject* a, const s::base::IObject* b) const { return a->equals(b); }
};
using StdTable = std::unordered_map<const s::base::IObject*, s::base::IObject*, KeyHash, KeyEquals>;

struct Keys {
    explicit Keys(size_t n, const char* prefix = "/home/user/Videos/clip-")
    {
        for (size_t i = 0; i < n; ++i) {
            keys.emplace_back();
            keys.back()->text = prefix + std::to_string(i * 7919) + ".mp4";
        }
    }
    std::vector<s::thread::Pooled<BenchKey>> keys;
};

void MapTableInsert(benchmark::State& state)
{
    Keys k(state.range(0));
    s::map::MapTable table; // no cleaners: the keys are owned by k
    for (auto _ : state) {
        for (auto& key : k.keys)
            table.insert(key.get(), key.get());
        benchmark::DoNotOptimize(table.count());
        table.clear();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StdUnorderedMapInsert(benchmark::State& state)
{
    Keys k(state.range(0));
    StdTable table;
    for (auto _ : state) {
        for (auto& key : k.keys)
            table.emplace(key.get(), key.get());
        benchmark::DoNotOptimize(table.size());
        table.clear();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StdUnorderedMapStringInsert(benchmark::State& state)
{
    Keys k(state.range(0));
    std::unordered_map<std::string, int> table;
    for (auto _ : state) {
        for (auto& key : k.keys)
            table.emplace(key->text, 1);
        benchmark::DoNotOptimize(table.size());
        table.clear();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Looks up every stored key, then as many absent ones.
void MapTableLookUp(benchmark::State& state)
{
    Keys k(state.range(0));
    Keys absent(state.range(0), "/home/user/Music/track-");
    s::map::MapTable table;
    for (auto& key : k.keys)
        table.insert(key.get(), key.get());
    for (auto _ : state) {
        size_t found = 0;
        for (auto& key : k.keys)
            found += table.get(key.get()) != nullptr;
        for (auto& key : absent.keys)
            found += table.get(key.get()) != nullptr;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}

void StdUnorderedMapLookUp(benchmark::State& state)
{
    Keys k(state.range(0));
    Keys absent(state.range(0), "/home/user/Music/track-");
    StdTable table;
    for (auto& key : k.keys)
        table.emplace(key.get(), key.get());
    for (auto _ : state) {
        size_t found = 0;
        for (auto& key : k.keys)
            found += table.find(key.get()) != table.end();
        for (auto& key : absent.keys)
            found += table.find(key.get()) != table.end();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}

BENCHMARK(MapTableInsert)->Arg(100)->Arg(5000)->Arg(100000);
BENCHMARK(StdUnorderedMapInsert)->Arg(100)->Arg(5000)->Arg(100000);
BENCHMARK(StdUnorderedMapStringInsert)->Arg(100)->Arg(5000)->Arg(100000);
BENCHMARK(MapTableLookUp)->Arg(100)->Arg(5000)->Arg(100000);
BENCHMARK(StdUnorderedMapLookUp)->Arg(100)->Arg(5000)->Arg(100000);

}
