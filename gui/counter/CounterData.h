#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace s::gui::counter {

class ICounterView;

// The data behind a counter graph: a ring of 64-bit points into which any thread adds samples.
// A point collects samplesPerPoint samples (their sum), then the next point starts at the bottom of
// the scale. Without autoScale a point is capped at the top; with it the top follows the data when
// painted and never drops below the scale floor.
//
// All fields are guarded by one lock; a completed point is announced to the registered views after
// the lock is let go, under a second lock that removeView also takes, so a view that has been
// removed hears nothing more.
class CounterData final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(CounterData, "s_gui_counter_CounterData")
public:
    // What a painter reads, taken in one go under the lock.
    struct Snapshot {
        bool autoScale { false };
        int64_t floor { 0 };
        int64_t top { 0 };
        int64_t bottom { 0 };
        int32_t samplesPerPoint { 1 };
        int32_t samplesInPoint { 0 };
        std::vector<int64_t> points;
        uint32_t writePosition { 0 };
        bool dots { false };
        bool colourOverride { false };
        uint8_t red { 0 };
        uint8_t green { 0 };
        uint8_t blue { 0 };
    };

    CounterData() { CounterData::reset(); }

    void setAutoScale(bool on);
    void setScaleFloor(int64_t floor);
    // The scale's bottom and top.
    void setScale(int64_t bottom, int64_t top);
    void setTop(int64_t top);
    void setBottom(int64_t bottom);
    // Values of 0 or less count as 1.
    void setSamplesPerPoint(int32_t samples);
    // Empties the ring and makes it that long (every point at the bottom).
    void setPointCount(uint32_t points);
    void setDots(bool on);
    void setColourOverride(bool on, uint8_t red = 0, uint8_t green = 0, uint8_t blue = 0);

    // Any thread. A ring of no points keeps nothing. Point sums saturate at the limits of 64 bits.
    void addSample(int64_t sample);

    Snapshot snapshot() const;
    uint32_t pointCount() const;
    // The sum of all points, for tests and totals.
    int64_t total() const;

    void addView(ICounterView* view);
    // Once this returns the view is never called again by this series.
    void removeView(ICounterView* view);

    void reset() override;

private:
    mutable std::mutex m_lock;
    bool m_autoScale { false };
    int64_t m_floor { 0 };
    int64_t m_top { 100 };
    int64_t m_bottom { 0 };
    int32_t m_samplesPerPoint { 1 };
    int32_t m_samplesInPoint { 0 };
    std::vector<int64_t> m_points;
    uint32_t m_writePosition { 0 };
    bool m_dots { false };
    bool m_colourOverride { false };
    uint8_t m_red { 0 };
    uint8_t m_green { 0 };
    uint8_t m_blue { 0 };

    std::mutex m_viewLock;
    std::vector<ICounterView*> m_views;
};

}
