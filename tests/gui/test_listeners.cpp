// Listener lists: changes during a walk, from the walking listener itself or from other threads.

#include "gui/events/ListenerList.h"

#include "foundation/base/IObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

using s::gui::events::IEventListener;
using s::gui::events::ListenerList;

namespace {

// Notes its name in a shared log and runs an action when it hears an event.
struct Named : IEventListener {
    std::string name;
    std::vector<std::string>* log = nullptr;
    std::function<void()> action;
    void handle(s::base::IObject*, int32_t) override
    {
        log->push_back(name);
        if (action)
            action();
    }
};

struct WalkCase {
    std::string name;
    // What listener A does while it runs; B and C follow it.
    std::function<void(ListenerList&, Named& a, Named& b, Named& c, Named& d)> duringA;
    std::vector<std::string> firstWalk;
    std::vector<std::string> secondWalk;
};

void PrintTo(const WalkCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChangeDuringWalk : public ::testing::TestWithParam<WalkCase> { };

}

TEST_P(ChangeDuringWalk, EveryRemainingListenerHearsAndNoRemovedOneDoes)
{
    const WalkCase& c = GetParam();
    std::vector<std::string> log;
    Named a, b, cc, d;
    a.name = "A";
    b.name = "B";
    cc.name = "C";
    d.name = "D";
    for (Named* n : { &a, &b, &cc, &d })
        n->log = &log;
    ListenerList list;
    list.add(&a);
    list.add(&b);
    list.add(&cc);
    bool once = true;
    a.action = [&] {
        if (once) {
            once = false;
            c.duringA(list, a, b, cc, d);
        }
    };
    list.fire(nullptr, 1);
    EXPECT_EQ(log, c.firstWalk);
    log.clear();
    list.fire(nullptr, 1);
    EXPECT_EQ(log, c.secondWalk);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangeDuringWalk,
    ::testing::Values(
        WalkCase { "RemovesItself", [](ListenerList& l, Named& a, Named&, Named&, Named&) { l.remove(&a); },
            { "A", "B", "C" }, { "B", "C" } },
        WalkCase { "RemovesTheNext", [](ListenerList& l, Named&, Named& b, Named&, Named&) { l.remove(&b); },
            { "A", "C" }, { "A", "C" } },
        WalkCase { "RemovesTheLast", [](ListenerList& l, Named&, Named&, Named& c, Named&) { l.remove(&c); },
            { "A", "B" }, { "A", "B" } },
        WalkCase { "RemovesEveryone", [](ListenerList& l, Named&, Named&, Named&, Named&) { l.clear(); },
            { "A" }, {} },
        WalkCase { "AddsOne", [](ListenerList& l, Named&, Named&, Named&, Named& d) { l.add(&d); },
            { "A", "B", "C" }, { "A", "B", "C", "D" } },
        WalkCase { "RemovesAndAddsTheNextAgain",
            [](ListenerList& l, Named&, Named& b, Named&, Named&) {
                l.remove(&b);
                l.add(&b);
            },
            { "A", "C" }, { "A", "C", "B" } },
        WalkCase { "FiresAgainFromInside", [](ListenerList& l, Named&, Named&, Named&, Named&) { l.fire(nullptr, 2); },
            { "A", "A", "B", "C", "B", "C" }, { "A", "B", "C" } }),
    [](const ::testing::TestParamInfo<WalkCase>& info) { return info.param.name; });

TEST(ListenerList, ChangesFromOtherThreadsDuringWalksAreSafe)
{
    // Walks on one thread while others add and remove listeners of their own: every walk calls
    // the listeners that stay registered throughout, and none that is not registered.
    struct Counter : IEventListener {
        std::atomic<int> heard { 0 };
        std::atomic<bool> registered { false };
        std::atomic<int> heardWhileOut { 0 };
        void handle(s::base::IObject*, int32_t) override { ++heard; }
    };
    ListenerList list;
    Counter steady;
    list.add(&steady);
    constexpr int changers = 4;
    constexpr int rounds = 2000;
    std::vector<Counter> churn(changers);
    std::latch start(changers + 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < changers; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < rounds; ++i) {
                list.add(&churn[t]);
                list.remove(&churn[t]);
            }
        });
    }
    start.arrive_and_wait();
    constexpr int walks = 2000;
    for (int i = 0; i < walks; ++i)
        list.fire(nullptr, 1);
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(steady.heard.load(), walks);
    EXPECT_EQ(list.count(), 1u);
    // Once removed for good, nobody of the churn is called any more.
    int before = 0;
    for (Counter& c : churn)
        before += c.heard.load();
    list.fire(nullptr, 1);
    int after = 0;
    for (Counter& c : churn)
        after += c.heard.load();
    EXPECT_EQ(after, before);
}
