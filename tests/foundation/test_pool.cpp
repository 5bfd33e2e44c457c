#include "foundation/base/IComparator.h"
#include "foundation/thread/Factory.h"
#include "foundation/thread/Pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_created { 0 };
std::atomic<int> g_destroyed { 0 };

class Widget final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Widget, "s_test_Widget")
public:
    Widget() { ++g_created; }
    ~Widget() override { ++g_destroyed; }
    void reset() override { value = 0; }
    int value { 0 };
};

class Throwaway final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Throwaway, "s_test_Throwaway")
public:
    static constexpr uint32_t poolMaxFree = 0;
    Throwaway() { ++g_created; }
    ~Throwaway() override { ++g_destroyed; }
    void reset() override { }
};

struct Counts {
    int created;
    int destroyed;
};

Counts since(Counts start) { return { g_created - start.created, g_destroyed - start.destroyed }; }
Counts now() { return { g_created.load(), g_destroyed.load() }; }

}

TEST(Pool, GivesBackTheMostRecentlyReleasedObjectInItsResetState)
{
    Widget* a = Widget::get();
    Widget* b = Widget::get();
    a->value = 1;
    b->value = 2;
    a->release();
    b->release();
    Widget* again = Widget::get();
    EXPECT_EQ(again, b);
    EXPECT_EQ(again->value, 0);
    Widget* next = Widget::get();
    EXPECT_EQ(next, a);
    again->release();
    next->release();
}

TEST(Pool, MaximumZeroDestroysEveryReleasedObject)
{
    auto start = now();
    Throwaway* t = Throwaway::get();
    t->release();
    Throwaway* u = Throwaway::get();
    u->release();
    EXPECT_EQ(since(start).created, 2);
    EXPECT_EQ(since(start).destroyed, 2);
    EXPECT_EQ(s::thread::poolOf<Throwaway>().freeCount(), 0u);
}

TEST(Pool, KeepsAtMostItsMaximumAndDestroysTheRest)
{
    s::thread::EasyPooler& pool = s::thread::poolOf<Widget>();
    // Drain what earlier tests left, so the count below is exact.
    std::vector<Widget*> held;
    while (pool.freeCount() > 0)
        held.push_back(Widget::get());
    for (int i = 0; held.size() < 1001; ++i)
        held.push_back(Widget::get());
    auto start = now();
    for (Widget* w : held)
        w->release();
    EXPECT_EQ(pool.freeCount(), 1000u);
    EXPECT_EQ(since(start).destroyed, 1);
}

TEST(Pool, PooledHolderReleasesAndHandsOn)
{
    Widget* raw = nullptr;
    {
        s::thread::Pooled<Widget> w;
        w->value = 7;
        raw = w.get();
    }
    s::thread::Pooled<Widget> again;
    EXPECT_EQ(again.get(), raw) << "the holder released its object to the pool";
    EXPECT_EQ(again->value, 0);
    Widget* taken = again.take();
    EXPECT_FALSE(again);
    s::thread::Pooled<Widget> adopted = s::thread::Pooled<Widget>::adopt(taken);
    EXPECT_EQ(adopted.get(), raw);
}

TEST(Pool, SurvivesManyThreadsGettingAndReleasing)
{
    constexpr int threads = 4;
    constexpr int rounds = 20000;
    std::vector<std::thread> workers;
    std::atomic<int> mismatches { 0 };
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < rounds; ++i) {
                Widget* a = Widget::get();
                Widget* b = Widget::get();
                if (a == b || a->value != 0 || b->value != 0)
                    ++mismatches;
                a->value = t + 1;
                b->value = t + 1;
                b->release();
                a->release();
            }
        });
    }
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_LE(s::thread::poolOf<Widget>().freeCount(), 1000u);
}

TEST(ObjectModel, ComparesPlainObjectsByAddress)
{
    Widget* objects[2] = { Widget::get(), Widget::get() };
    Widget* low = objects[0] < objects[1] ? objects[0] : objects[1];
    Widget* high = objects[0] < objects[1] ? objects[1] : objects[0];
    EXPECT_EQ(low->compare(high), -1);
    EXPECT_EQ(high->compare(low), 1);
    EXPECT_EQ(low->compare(low), 0);
    EXPECT_TRUE(low->equals(low));
    EXPECT_FALSE(low->equals(high));
    EXPECT_EQ(low->hash(), high->hash()) << "the hash of a plain object is its class's";
    EXPECT_EQ(low->hashIgnoreCase(), low->hash());
    EXPECT_STREQ(low->className(), "s_test_Widget");
    low->release();
    high->release();
}

TEST(ObjectModel, UsesTheComparatorWhenGiven)
{
    struct ByValue final : s::base::IComparator {
        int compare(const void* a, const void* b) const override
        {
            int x = static_cast<const Widget*>(static_cast<const s::base::IComparable*>(a))->value;
            int y = static_cast<const Widget*>(static_cast<const s::base::IComparable*>(b))->value;
            return x < y ? -1 : x > y ? 1 : 0;
        }
        const char* className() const override { return "s_test_ByValue"; }
    } byValue;
    s::thread::Pooled<Widget> a, b;
    a->value = 5;
    b->value = 5;
    EXPECT_EQ(a->compare(b.get(), &byValue), 0);
    EXPECT_TRUE(a->equalsIgnoreCase(b.get(), &byValue));
    b->value = 9;
    EXPECT_EQ(a->compare(b.get(), &byValue), -1);
}

TEST(Factory, AccountingRejectsLargeRecordsAndStopsAtTheTotal)
{
    struct Accounting final : s::thread::Factory {
        Accounting() : Factory(16, true) { }
    } factory;
    void* big = factory.get();
    factory.put(big, 2000);
    EXPECT_EQ(factory.freeCount(), 0u) << "a 2000-byte record is destroyed at once";

    // 100 records of 1024 bytes fill the 102400 bytes; the 101st is destroyed.
    std::vector<void*> records;
    for (int i = 0; i < 101; ++i)
        records.push_back(factory.get());
    for (void* r : records)
        factory.put(r, 1024);
    EXPECT_EQ(factory.freeCount(), 100u);
    EXPECT_EQ(factory.totalSize(), 102400);
    void* r = factory.get();
    EXPECT_EQ(factory.totalSize(), 102400 - 16) << "a record leaving takes its recordSize with it";
    factory.put(r);
}

namespace {

// Records that own a record of another pool and give it back when they are reset, the way an
// XML attribute record frees its texts.
struct LinkedRecord {
    void* owned;
    s::thread::Factory* ownedPool;
};

struct LinkedFactory final : s::thread::Factory {
    explicit LinkedFactory(bool accounting)
        : Factory(sizeof(LinkedRecord), accounting)
    {
    }
    void resetRecord(void* record) override
    {
        auto* linked = static_cast<LinkedRecord*>(record);
        // A reset that takes a moment widens the window in which two threads reset at once.
        for (int i = 0; i < 200; ++i)
            spins.fetch_add(1, std::memory_order_relaxed);
        if (linked->owned)
            linked->ownedPool->put(linked->owned);
        Factory::resetRecord(record);
    }
    std::atomic<int> spins { 0 };
    void destroyRecord(void* record) override
    {
        auto* linked = static_cast<LinkedRecord*>(record);
        if (linked->owned)
            linked->ownedPool->put(linked->owned);
        Factory::destroyRecord(record);
    }
};

}

TEST(Factory, ResettingARecordMayUseOtherPoolsFromManyThreads)
{
    // Records of A own records of B and the other way round. Were a record reset under its pool's
    // lock, a put into A from one thread and a put into B from another would each hold one lock
    // and wait for the other. Accounting or not, the puts must all come back.
    for (bool accounting : { false, true }) {
        SCOPED_TRACE(accounting ? "accounting" : "plain");
        LinkedFactory a(accounting), b(accounting);
        auto run = [](LinkedFactory& outer, LinkedFactory& inner, LinkedFactory& same) {
            for (int i = 0; i < 20000; ++i) {
                auto* record = static_cast<LinkedRecord*>(outer.get());
                if (i % 3 == 2) {
                    // Also one that owns a record of its own pool.
                    record->owned = same.get();
                    record->ownedPool = &same;
                } else {
                    record->owned = inner.get();
                    record->ownedPool = &inner;
                }
                outer.put(record);
            }
        };
        std::vector<std::future<void>> workers;
        std::atomic<int> ready { 0 };
        for (int t = 0; t < 4; ++t) {
            bool forward = t % 2 == 0;
            workers.push_back(std::async(std::launch::async, [&, forward] {
                // All start together, so the puts overlap.
                ++ready;
                while (ready < 4)
                    std::this_thread::yield();
                forward ? run(a, b, a) : run(b, a, b);
            }));
        }
        for (auto& worker : workers) {
            if (worker.wait_for(std::chrono::seconds(120)) != std::future_status::ready) {
                ADD_FAILURE() << "the pools deadlocked";
                std::_Exit(1);
            }
        }
        EXPECT_LE(a.freeCount(), 1000u);
        EXPECT_LE(b.freeCount(), 1000u);
        if (accounting) {
            EXPECT_LE(a.totalSize(), 102400);
            EXPECT_GE(a.totalSize(), 0);
        }
        // A kept record is in its reset state: it owns nothing.
        auto* again = static_cast<LinkedRecord*>(a.get());
        EXPECT_EQ(again->owned, nullptr);
        a.put(again);
    }
}

TEST(ObjLocker, IsReentrantAndDisposesOfItsObject)
{
    static int disposed = 0;
    {
        s::thread::ObjLocker locker(new int(5), [](void* p) {
            delete static_cast<int*>(p);
            ++disposed;
        });
        std::scoped_lock outer(locker);
        std::scoped_lock inner(locker);
        EXPECT_EQ(*locker.guardedAs<int>(), 5);
        EXPECT_STREQ(locker.className(), "s_thread_ObjLocker");
    }
    EXPECT_EQ(disposed, 1);
}
