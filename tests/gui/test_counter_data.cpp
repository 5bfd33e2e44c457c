// The counter graph's data series and its drawer: points, the ring, autoscale, and what a paint
// shows for them (recorded, so every column is countable).

#include "gui/counter/CounterData.h"
#include "gui/counter/ICounterView.h"
#include "gui/draw/RecordingCanvas.h"
#include "gui/drawer/counter/Basic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

using namespace s::gui;
using counter::CounterData;
using draw::Rect;
using draw::RecordingCanvas;
using s::thread::Pooled;

namespace {

// The columns a paint drew: x -> height (fills standing on the bottom edge).
std::vector<std::pair<int32_t, int32_t>> columns(const RecordingCanvas& c)
{
    std::vector<std::pair<int32_t, int32_t>> result;
    for (const auto& op : c.fills())
        result.push_back({ op.rect.left, op.rect.height() });
    return result;
}

struct CountingView : counter::ICounterView {
    std::atomic<int> completed { 0 };
    void pointCompleted(CounterData*) override { ++completed; }
};

}

TEST(CounterData, SamplesFillPointsAndTheRingWraps)
{
    Pooled<CounterData> data;
    data->setScale(0, 1000);
    data->setPointCount(3);
    data->setSamplesPerPoint(2);
    CountingView view;
    data->addView(&view);
    for (int64_t v : { 1, 2, 3, 4, 5 })
        data->addSample(v);
    auto s = data->snapshot();
    EXPECT_EQ(s.points, (std::vector<int64_t> { 3, 7, 5 }));
    EXPECT_EQ(s.writePosition, 2u);
    EXPECT_EQ(s.samplesInPoint, 1);
    EXPECT_EQ(view.completed.load(), 2);
    data->addSample(1);
    data->addSample(10);
    s = data->snapshot();
    // Wrapped: the new point starts at the bottom.
    EXPECT_EQ(s.writePosition, 0u);
    EXPECT_EQ(s.points[0], 10);
    data->removeView(&view);
    for (int i = 0; i < 10; ++i)
        data->addSample(1);
    EXPECT_EQ(view.completed.load(), 3);
}

TEST(CounterData, FixedScaleCapsAndSumsSaturate)
{
    Pooled<CounterData> data;
    data->setScale(0, 100);
    data->setPointCount(4);
    data->setSamplesPerPoint(3);
    data->addSample(60);
    data->addSample(60);
    EXPECT_EQ(data->snapshot().points[0], 100);

    data->setAutoScale(true);
    data->setPointCount(4);
    data->addSample(std::numeric_limits<int64_t>::max());
    data->addSample(5);
    EXPECT_EQ(data->snapshot().points[0], std::numeric_limits<int64_t>::max());
    data->setPointCount(4);
    data->addSample(std::numeric_limits<int64_t>::min());
    data->addSample(-5);
    EXPECT_EQ(data->snapshot().points[0], std::numeric_limits<int64_t>::min());
}

TEST(CounterData, OddRingsAndSampleCounts)
{
    Pooled<CounterData> data;
    data->setScale(0, 100);
    // No ring: samples are dropped, nothing breaks.
    data->addSample(5);
    EXPECT_EQ(data->pointCount(), 0u);
    EXPECT_EQ(data->total(), 0);
    data->setSamplesPerPoint(0);
    EXPECT_EQ(data->snapshot().samplesPerPoint, 1);
    data->setSamplesPerPoint(-3);
    EXPECT_EQ(data->snapshot().samplesPerPoint, 1);

    Pooled<drawer::counter::Basic> drawer;
    for (uint32_t n : { 0u, 1u, 2u }) {
        data->setPointCount(n);
        for (int i = 0; i < 5; ++i)
            data->addSample(50);
        RecordingCanvas c;
        drawer->paint(c, 0, 0, 10, 10, 0, *data, nullptr, false);
        // One ring point is still collecting; n - 1 can show.
        EXPECT_EQ(c.fills().size(), n >= 2 ? n - 1 : 0u) << n;
        RecordingCanvas bar;
        drawer->paint(bar, 0, 0, 10, 10, 1, *data, nullptr, false);
        EXPECT_EQ(bar.fills().size(), n >= 1 ? 1u : 0u) << n;
    }
}

TEST(CounterDrawer, ColumnsOfOneSamplePerPoint)
{
    Pooled<CounterData> data;
    data->setScale(0, 100);
    data->setPointCount(150);
    for (int i = 0; i < 400; ++i)
        data->addSample(50);
    Pooled<drawer::counter::Basic> drawer;
    {
        RecordingCanvas c;
        drawer->paint(c, 0, 0, 300, 40, 0, *data, nullptr, false);
        auto cols = columns(c);
        EXPECT_EQ(cols.size(), 149u);
        EXPECT_EQ(cols.front(), (std::pair<int32_t, int32_t> { 299, 20 }));
        EXPECT_EQ(cols.back().first, 299 - 148);
    }
    {
        // A narrow area shows only as many columns as it is wide.
        RecordingCanvas c;
        drawer->paint(c, 0, 0, 30, 40, 0, *data, nullptr, false);
        EXPECT_EQ(c.fills().size(), 30u);
    }
}

TEST(CounterDrawer, ValuesAtAndJustAboveTheBottom)
{
    Pooled<CounterData> data;
    data->setScale(0, 1000);
    data->setPointCount(5);
    for (int64_t v : { 0, 1, -1, 1000 })
        data->addSample(v);
    data->addSample(0);
    Pooled<drawer::counter::Basic> drawer;
    RecordingCanvas c;
    drawer->paint(c, 0, 0, 10, 20, 0, *data, nullptr, false);
    // Newest first at the right: 1000 full height, -1 below the bottom nothing, 1 one pixel, 0 at
    // the bottom nothing.
    EXPECT_EQ(columns(c), (std::vector<std::pair<int32_t, int32_t>> { { 9, 20 }, { 7, 1 } }));

    // Kind 2 centres the columns on the middle line, heights rounded.
    RecordingCanvas centred;
    drawer->paint(centred, 0, 0, 10, 20, 2, *data, nullptr, false);
    auto fills = centred.fills();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (Rect { 9, 0, 10, 20 }));
    EXPECT_EQ(fills[1].rect, (Rect { 7, 9, 8, 10 }));
}

TEST(CounterDrawer, AutoScaleFloorAndPeaksLeavingTheRing)
{
    Pooled<CounterData> data;
    data->setScale(0, 100);
    data->setAutoScale(true);
    data->setScaleFloor(1024);
    data->setPointCount(5);
    Pooled<drawer::counter::Basic> drawer;
    auto tallest = [&] {
        RecordingCanvas c;
        drawer->paint(c, 0, 0, 10, 64, 0, *data, nullptr, false);
        int32_t best = 0;
        for (auto [x, h] : columns(c))
            best = std::max(best, h);
        return best;
    };
    data->addSample(512);
    data->addSample(0);
    // 512 against the floor 1024: half the height.
    EXPECT_EQ(tallest(), 32);
    data->addSample(4096);
    data->addSample(0);
    // The peak is the top now.
    EXPECT_EQ(tallest(), 64);
    auto snap = data->snapshot();
    EXPECT_EQ(drawer::counter::Basic::raisedTop(snap, snap.writePosition, 4), 4096);
    // Once the peak has left the ring the scale comes down to the floor again.
    for (int i = 0; i < 5; ++i)
        data->addSample(256);
    EXPECT_EQ(tallest(), 16);
}

TEST(CounterDrawer, EmptySpanBarSecondSeriesAndColours)
{
    Pooled<drawer::counter::Basic> drawer;
    Pooled<CounterData> main;
    main->setScale(50, 50);
    main->setPointCount(4);
    for (int i = 0; i < 4; ++i)
        main->addSample(60);
    RecordingCanvas none;
    drawer->paint(none, 0, 0, 10, 10, 0, *main, nullptr, false);
    EXPECT_TRUE(none.fills().empty());
    main->setScale(60, 40);
    drawer->paint(none, 0, 0, 10, 10, 1, *main, nullptr, false);
    EXPECT_TRUE(none.fills().empty());

    main->setScale(0, 100);
    main->setPointCount(4);
    for (int64_t v : { 50, 50, 50, 25 })
        main->addSample(v);
    Pooled<CounterData> second;
    second->setScale(0, 100);
    second->setPointCount(4);
    for (int64_t v : { 1, 80, 0, 30 })
        second->addSample(v);

    // Unset colours: the main series green, the second orange; swapping exchanges them.
    RecordingCanvas c;
    drawer->paint(c, 0, 0, 10, 10, 0, *main, second.get(), false);
    auto fills = c.fills();
    ASSERT_EQ(fills.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(fills[i].colour, drawer::counter::Basic::FallbackMain);
    // Second series: 0 draws nothing, 80 eight pixels, and 1 comes out 0 pixels high under the
    // main series' 50 at the same ring position, so it is not lifted to one pixel.
    EXPECT_EQ(fills[3].colour, drawer::counter::Basic::FallbackSecond);
    EXPECT_EQ(fills[3].rect.height(), 8);
    second->setPointCount(4);
    for (int64_t v : { 60, 80, 0, 30 })
        second->addSample(v);
    main->setPointCount(4);
    for (int64_t v : { 1, 50, 50, 25 })
        main->addSample(v);
    // Now the small value stands on the main series' spot at or above it: 60 -> 6, and main's 1
    // lifts to 1 pixel.
    RecordingCanvas lifted;
    drawer->paint(lifted, 0, 0, 10, 10, 0, *main, second.get(), false);
    EXPECT_EQ(lifted.fills().size(), 5u);
    main->setPointCount(4);
    for (int64_t v : { 50, 50, 50, 25 })
        main->addSample(v);
    second->setPointCount(4);
    for (int64_t v : { 1, 80, 0, 30 })
        second->addSample(v);

    drawer->setFirstColour(1, 1, 1);
    drawer->setSecondColour(2, 2, 2);
    RecordingCanvas swapped;
    drawer->paint(swapped, 0, 0, 10, 10, 0, *main, second.get(), true);
    EXPECT_EQ(swapped.fills().front().colour, draw::rgb(2, 2, 2));
    EXPECT_EQ(swapped.fills().back().colour, draw::rgb(1, 1, 1));
    main->setColourOverride(true, 9, 8, 7);
    RecordingCanvas over;
    drawer->paint(over, 0, 0, 10, 10, 0, *main, nullptr, false);
    EXPECT_EQ(over.fills().front().colour, draw::rgb(9, 8, 7));

    // Kind 1: a bar for the point still collecting, 25 of 100 of the width.
    RecordingCanvas bar;
    drawer->paint(bar, 0, 0, 40, 10, 1, *main, nullptr, false);
    ASSERT_EQ(bar.fills().size(), 1u);
    EXPECT_EQ(bar.fills()[0].rect, (Rect { 0, 0, 10, 10 }));

    // An opaque drawer fills its background; an unset background fills nothing.
    drawer->setTransparent(false);
    RecordingCanvas unset;
    drawer->paint(unset, 0, 0, 10, 10, 0, *main, nullptr, false);
    EXPECT_EQ(unset.colourAt(0, 0), draw::UnsetColour);
    drawer->setBackgroundColour(3, 3, 3);
    RecordingCanvas filled;
    drawer->paint(filled, 0, 0, 10, 10, 0, *main, nullptr, false);
    EXPECT_EQ(filled.colourAt(0, 0), draw::rgb(3, 3, 3));
}

TEST(CounterDrawer, DotsMarkTheColumnTops)
{
    Pooled<CounterData> data;
    data->setScale(0, 100);
    data->setPointCount(3);
    data->setDots(true);
    data->addSample(50);
    data->addSample(0);
    Pooled<drawer::counter::Basic> drawer;
    RecordingCanvas c;
    drawer->paint(c, 0, 0, 10, 40, 0, *data, nullptr, false);
    ASSERT_EQ(c.fills().size(), 1u);
    EXPECT_EQ(c.fills()[0].rect, (Rect { 9, 20, 10, 25 }));
}

TEST(CounterData, EightThreadsLoseNoSample)
{
    Pooled<CounterData> data;
    data->setAutoScale(true);
    data->setScale(0, 100);
    data->setPointCount(200);
    data->setSamplesPerPoint(1000);
    CountingView view;
    data->addView(&view);
    constexpr int Threads = 8, Samples = 10000;
    std::vector<std::thread> threads;
    std::atomic<bool> go { false };
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < Samples; ++i)
                data->addSample(t + 1);
        });
    }
    std::thread painter([&] {
        Pooled<drawer::counter::Basic> drawer;
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < 200; ++i) {
            RecordingCanvas c;
            drawer->paint(c, 0, 0, 100, 30, 0, *data, nullptr, false);
        }
    });
    go = true;
    for (auto& t : threads)
        t.join();
    painter.join();
    data->removeView(&view);
    // 80,000 samples of 1000 per point: 80 points, 79 of them completed.
    EXPECT_EQ(data->total(), int64_t { Samples } * (1 + 2 + 3 + 4 + 5 + 6 + 7 + 8));
    EXPECT_EQ(view.completed.load(), 79);
}
