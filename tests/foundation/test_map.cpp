#include "foundation/cleaner/CleanerPooledIObject.h"
#include "foundation/map/Map.h"
#include "foundation/map/MapTable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

using s::map::HashTableBase;
using s::map::Map;
using s::map::MapTable;
using s::thread::Pooled;

namespace {

// A small text key with value equality; ASCII letters pair up when case is ignored.
class Key final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Key, "s_test_Key")
public:
    static Key* of(const std::string& text)
    {
        Key* key = get();
        key->text = text;
        return key;
    }

    void reset() override
    {
        text.clear();
        collide = false;
    }

    int compare(const s::base::IComparable* other, const s::base::IComparator* = nullptr) const override
    {
        return text.compare(static_cast<const Key*>(other)->text);
    }
    int compareIgnoreCase(const s::base::IComparable* other, const s::base::IComparator* = nullptr) const override
    {
        return lower(text).compare(lower(static_cast<const Key*>(other)->text));
    }
    uint32_t hash() const override { return collide ? 7 : fnv(text); }
    uint32_t hashIgnoreCase() const override { return collide ? 7 : fnv(lower(text)); }

    std::string text;
    bool collide { false }; // every colliding key lands in one chain

private:
    static std::string lower(std::string t)
    {
        for (char& c : t) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return t;
    }
    static uint32_t fnv(const std::string& t)
    {
        uint32_t h = 2166136261u;
        for (unsigned char c : t)
            h = (h ^ c) * 16777619u;
        return h;
    }
};

std::string textOf(const s::base::IObject* object) { return object ? static_cast<const Key*>(object)->text : "<none>"; }

// A table that owns its keys and values (both Keys), returning them to their pool.
template<class Table = MapTable>
Pooled<Table> owningTable()
{
    Pooled<Table> table;
    auto& cleaner = s::cleaner::CleanerPooledIObject::instance();
    table->setCleaners(&cleaner, &cleaner);
    return table;
}

std::string lookUp(const HashTableBase& table, const std::string& text)
{
    Pooled<Key> probe = Pooled<Key>::adopt(Key::of(text));
    Pooled<Key> fallback = Pooled<Key>::adopt(Key::of("<default>"));
    return textOf(table.get(probe.get(), fallback.get()));
}

// Empties the Key pool for the holder's life, so that counts of returned keys are exact.
std::vector<Pooled<Key>> drainKeyPool()
{
    std::vector<Pooled<Key>> held;
    while (s::thread::poolOf<Key>().freeCount() > 0)
        held.emplace_back();
    return held;
}

// The rules both maps share; they differ only in where their nodes come from.
template<class Table>
class HashTables : public testing::Test { };
using Tables = testing::Types<MapTable, Map>;
TYPED_TEST_SUITE(HashTables, Tables);

}

TYPED_TEST(HashTables, StartsWithoutBucketsAndMovesTo431BucketsAtThe106thInsert)
{
    TypeParam table; // a fresh table: pooled ones keep their bucket array
    EXPECT_EQ(table.bucketCount(), 0u);
    auto& cleaner = s::cleaner::CleanerPooledIObject::instance();
    table.setCleaners(&cleaner, &cleaner);

    struct Case {
        uint32_t entries;
        uint32_t buckets;
    };
    const Case cases[] = { { 1, 211 }, { 105, 211 }, { 106, 431 }, { 215, 431 }, { 216, 863 }, { 432, 1733 } };
    uint32_t inserted = 0;
    for (const Case& c : cases) {
        while (inserted < c.entries) {
            std::string text = "key" + std::to_string(inserted++);
            ASSERT_TRUE(table.insert(Key::of(text), Key::of("value of " + text)));
        }
        EXPECT_EQ(table.count(), c.entries);
        EXPECT_EQ(table.bucketCount(), c.buckets) << c.entries << " entries";
    }
    // Every entry is still found after the moves.
    for (uint32_t i = 0; i < inserted; ++i)
        ASSERT_EQ(lookUp(table, "key" + std::to_string(i)), "value of key" + std::to_string(i));
}

TYPED_TEST(HashTables, InsertFailsOnADuplicateAndKeepsTheOldValue)
{
    Pooled<TypeParam> table = owningTable<TypeParam>();
    ASSERT_TRUE(table->insert(Key::of("a"), Key::of("first")));
    Pooled<Key> again = Pooled<Key>::adopt(Key::of("a"));
    Pooled<Key> second = Pooled<Key>::adopt(Key::of("second"));
    EXPECT_FALSE(table->insert(again.get(), second.get())); // the caller keeps both
    EXPECT_EQ(table->count(), 1u);
    EXPECT_EQ(lookUp(*table, "a"), "first");
    EXPECT_NE(table->storedKey(again.get()), again.get());
}

TYPED_TEST(HashTables, LookUpsRemovalsAndTakes)
{
    Pooled<TypeParam> table = owningTable<TypeParam>();
    for (const char* text : { "alpha", "beta", "gamma" })
        ASSERT_TRUE(table->insert(Key::of(text), Key::of(std::string(text) + "!")));

    struct Case {
        const char* key;
        std::string expected;
    };
    const Case cases[] = { { "alpha", "alpha!" }, { "gamma", "gamma!" }, { "delta", "<default>" }, { "Alpha", "<default>" }, { "", "<default>" } };
    for (const Case& c : cases)
        EXPECT_EQ(lookUp(*table, c.key), c.expected) << c.key;

    Pooled<Key> beta = Pooled<Key>::adopt(Key::of("beta"));
    s::base::IObject* storedKey = nullptr;
    s::base::IObject* storedValue = nullptr;
    ASSERT_TRUE(table->take(beta.get(), storedKey, storedValue));
    EXPECT_EQ(textOf(storedKey), "beta");
    EXPECT_EQ(textOf(storedValue), "beta!");
    static_cast<Key*>(storedKey)->release();
    static_cast<Key*>(storedValue)->release();
    EXPECT_FALSE(table->take(beta.get(), storedKey, storedValue));
    EXPECT_FALSE(table->contains(beta.get()));

    Pooled<Key> alpha = Pooled<Key>::adopt(Key::of("alpha"));
    EXPECT_TRUE(table->remove(alpha.get()));
    EXPECT_FALSE(table->remove(alpha.get()));
    EXPECT_EQ(table->count(), 1u);
    EXPECT_EQ(lookUp(*table, "gamma"), "gamma!");
}

TYPED_TEST(HashTables, IgnoreCaseKeysMatchAcrossCase)
{
    struct Case {
        bool ignoreCase;
        bool secondInsertSucceeds;
        std::string lookUpUpper;
    };
    const Case cases[] = { { true, false, "one" }, { false, true, "ONE" } };
    for (const Case& c : cases) {
        Pooled<TypeParam> table = owningTable<TypeParam>();
        table->setIgnoreCase(c.ignoreCase);
        ASSERT_TRUE(table->insert(Key::of("Content-Type"), Key::of("one")));
        Key* upper = Key::of("CONTENT-TYPE");
        Key* value = Key::of("ONE");
        bool inserted = table->insert(upper, value);
        EXPECT_EQ(inserted, c.secondInsertSucceeds) << c.ignoreCase;
        if (!inserted) {
            upper->release();
            value->release();
        }
        EXPECT_EQ(lookUp(*table, "CONTENT-TYPE"), c.lookUpUpper) << c.ignoreCase;
        EXPECT_EQ(lookUp(*table, "content-type"), c.ignoreCase ? "one" : "<default>");
    }
}

TYPED_TEST(HashTables, ChainsKeepInsertionOrderAndSurviveRemovalsInTheirMiddle)
{
    Pooled<TypeParam> table = owningTable<TypeParam>();
    std::vector<std::string> texts;
    for (int i = 0; i < 150; ++i) { // crosses a level change with one long chain
        texts.push_back("c" + std::to_string(i));
        Key* key = Key::of(texts.back());
        key->collide = true;
        ASSERT_TRUE(table->insert(key, Key::of(texts.back())));
    }
    EXPECT_EQ(table->bucketCount(), 431u);
    auto removeText = [&](const std::string& text) {
        Pooled<Key> probe = Pooled<Key>::adopt(Key::of(text));
        probe->collide = true;
        return table->remove(probe.get());
    };
    EXPECT_TRUE(removeText("c0"));
    EXPECT_TRUE(removeText("c75"));
    EXPECT_TRUE(removeText("c149"));
    EXPECT_FALSE(removeText("c75"));

    std::vector<std::string> seen;
    for (auto entry : *table)
        seen.push_back(textOf(entry.key));
    std::vector<std::string> expected;
    for (const std::string& t : texts) {
        if (t != "c0" && t != "c75" && t != "c149")
            expected.push_back(t);
    }
    EXPECT_EQ(seen, expected);
}

TYPED_TEST(HashTables, AgreesWithStdUnorderedMapUnderRandomChanges)
{
    Pooled<TypeParam> table = owningTable<TypeParam>();
    std::unordered_map<std::string, std::string> model;
    std::mt19937 random(42);
    std::uniform_int_distribution<int> keyOf(0, 3000);
    std::uniform_int_distribution<int> action(0, 9);
    for (int step = 0; step < 20000; ++step) {
        std::string text = "k" + std::to_string(keyOf(random));
        int a = action(random);
        if (a < 6) {
            Key* key = Key::of(text);
            Key* value = Key::of(std::to_string(step));
            bool inserted = table->insert(key, value);
            ASSERT_EQ(inserted, model.emplace(text, value->text).second) << step;
            if (!inserted) {
                key->release();
                value->release();
            }
        } else if (a < 9) {
            Pooled<Key> probe = Pooled<Key>::adopt(Key::of(text));
            ASSERT_EQ(table->remove(probe.get()), model.erase(text) == 1) << step;
        } else {
            auto it = model.find(text);
            ASSERT_EQ(lookUp(*table, text), it == model.end() ? "<default>" : it->second) << step;
        }
        ASSERT_EQ(table->count(), model.size());
    }
    std::set<std::string> visited;
    table->forEach([&](s::base::IObject* key, s::base::IObject* value) {
        EXPECT_EQ(model.at(textOf(key)), textOf(value));
        EXPECT_TRUE(visited.insert(textOf(key)).second);
    });
    EXPECT_EQ(visited.size(), model.size());
}

TEST(MapTable, ClearAndReleaseReturnKeysValuesAndNodesToTheirPools)
{
    std::vector<Pooled<Key>> held = drainKeyPool();
    uint32_t nodesBefore = s::thread::poolOf<s::map::MapNode>().freeCount();
    MapTable* table = MapTable::get();
    EXPECT_STREQ(table->className(), "s_map_MapTable");
    auto& cleaner = s::cleaner::CleanerPooledIObject::instance();
    table->setCleaners(&cleaner, &cleaner);
    table->setIgnoreCase(true);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(table->insert(Key::of("k" + std::to_string(i)), Key::of("v")));
    uint32_t buckets = table->bucketCount();
    uint32_t nodesWhileFull = s::thread::poolOf<s::map::MapNode>().freeCount();
    table->clear();
    EXPECT_EQ(table->count(), 0u);
    EXPECT_EQ(table->bucketCount(), buckets); // the bucket array is kept
    EXPECT_EQ(s::thread::poolOf<Key>().freeCount(), 600u);
    EXPECT_EQ(s::thread::poolOf<s::map::MapNode>().freeCount(), nodesWhileFull + 300);
    EXPECT_GE(s::thread::poolOf<s::map::MapNode>().freeCount(), nodesBefore);

    ASSERT_TRUE(table->insert(Key::of("last"), Key::of("v")));
    table->release();
    EXPECT_EQ(s::thread::poolOf<Key>().freeCount(), 600u); // 598 kept + 2 gets, then 2 back

    MapTable* again = MapTable::get();
    EXPECT_EQ(again, table);
    EXPECT_EQ(again->count(), 0u);
    EXPECT_EQ(again->keyCleaner(), nullptr);
    EXPECT_FALSE(again->ignoreCase());
    EXPECT_EQ(again->bucketCount(), buckets);
    again->release();
    held.clear(); // after the pool's count was checked
}

TEST(MapTable, NodePoolKeepsUpTo10000FreeNodes)
{
    EXPECT_EQ(s::thread::poolOf<s::map::MapNode>().maxFree(), 10000u);
    MapTable table;
    std::vector<Pooled<Key>> keys;
    for (int i = 0; i < 10050; ++i) {
        keys.push_back(Pooled<Key>::adopt(Key::of(std::to_string(i))));
        ASSERT_TRUE(table.insert(keys.back().get(), nullptr)); // no cleaners: the vector owns the keys
    }
    table.clear();
    EXPECT_EQ(s::thread::poolOf<s::map::MapNode>().freeCount(), 10000u);
}

TEST(Map, KeepsItsNodesOnTheHeapAndLeavesTheNodePoolAlone)
{
    Pooled<Map> map = owningTable<Map>();
    EXPECT_STREQ(map->className(), "s_map_Map");
    uint32_t poolBefore = s::thread::poolOf<s::map::MapNode>().freeCount();
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(map->insert(Key::of(std::to_string(i)), Key::of("v")));
    map->clear();
    EXPECT_EQ(s::thread::poolOf<s::map::MapNode>().freeCount(), poolBefore);
}

TEST(MapTable, TablesOnSeveralThreadsShareTheNodePoolAndOneSharedTableItsLock)
{
    Pooled<MapTable> shared = owningTable();
    constexpr int threads = 4;
    constexpr int perThread = 2000;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&shared, t] {
            // A table of this thread's own: its nodes come from and go back to the shared pool.
            Pooled<MapTable> own = owningTable();
            for (int round = 0; round < 3; ++round) {
                for (int i = 0; i < perThread; ++i)
                    own->insert(Key::of(std::to_string(i)), Key::of("v"));
                own->clear();
            }
            for (int i = 0; i < perThread; ++i) {
                std::string text = std::to_string(t) + ":" + std::to_string(i);
                std::scoped_lock lock(shared->locker());
                EXPECT_TRUE(shared->insert(Key::of(text), Key::of(text)));
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(shared->count(), static_cast<uint32_t>(threads * perThread));
    EXPECT_EQ(lookUp(*shared, "3:1999"), "3:1999");
}
