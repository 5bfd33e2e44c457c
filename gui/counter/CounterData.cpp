#include "gui/counter/CounterData.h"

#include "gui/counter/ICounterView.h"

#include <algorithm>
#include <limits>

namespace s::gui::counter {

namespace {

int64_t saturatingAdd(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return sum;
}

}

void CounterData::reset()
{
    {
        std::lock_guard guard(m_lock);
        m_autoScale = false;
        m_floor = 0;
        m_top = 100;
        m_bottom = 0;
        m_samplesPerPoint = 1;
        m_samplesInPoint = 0;
        m_points.clear();
        m_writePosition = 0;
        m_dots = false;
        m_colourOverride = false;
        m_red = m_green = m_blue = 0;
    }
    std::lock_guard views(m_viewLock);
    m_views.clear();
}

void CounterData::setAutoScale(bool on)
{
    std::lock_guard guard(m_lock);
    m_autoScale = on;
}

void CounterData::setScaleFloor(int64_t floor)
{
    std::lock_guard guard(m_lock);
    m_floor = floor;
}

void CounterData::setScale(int64_t bottom, int64_t top)
{
    std::lock_guard guard(m_lock);
    m_bottom = bottom;
    m_top = top;
}

void CounterData::setTop(int64_t top)
{
    std::lock_guard guard(m_lock);
    m_top = top;
}

void CounterData::setBottom(int64_t bottom)
{
    std::lock_guard guard(m_lock);
    m_bottom = bottom;
}

void CounterData::setSamplesPerPoint(int32_t samples)
{
    std::lock_guard guard(m_lock);
    m_samplesPerPoint = std::max(1, samples);
}

void CounterData::setPointCount(uint32_t points)
{
    std::lock_guard guard(m_lock);
    m_points.assign(points, m_bottom);
    m_writePosition = 0;
    m_samplesInPoint = 0;
}

void CounterData::setDots(bool on)
{
    std::lock_guard guard(m_lock);
    m_dots = on;
}

void CounterData::setColourOverride(bool on, uint8_t red, uint8_t green, uint8_t blue)
{
    std::lock_guard guard(m_lock);
    m_colourOverride = on;
    m_red = red;
    m_green = green;
    m_blue = blue;
}

void CounterData::addSample(int64_t sample)
{
    bool completed = false;
    {
        std::lock_guard guard(m_lock);
        if (m_points.empty())
            return;
        // Step 1: count the sample into the current point, or start the next one.
        if (m_samplesInPoint < m_samplesPerPoint) {
            ++m_samplesInPoint;
        } else {
            m_writePosition = (m_writePosition + 1) % static_cast<uint32_t>(m_points.size());
            m_points[m_writePosition] = m_bottom;
            m_samplesInPoint = 1;
            completed = true;
        }
        // Step 2: add it.
        int64_t& point = m_points[m_writePosition];
        point = saturatingAdd(point, sample);
        // Step 3: a fixed scale caps the point.
        if (!m_autoScale)
            point = std::min(point, m_top);
    }
    // Step 4: announce the completed point outside the data lock.
    if (completed) {
        std::lock_guard views(m_viewLock);
        for (ICounterView* view : m_views)
            view->pointCompleted(this);
    }
}

CounterData::Snapshot CounterData::snapshot() const
{
    std::lock_guard guard(m_lock);
    Snapshot s;
    s.autoScale = m_autoScale;
    s.floor = m_floor;
    s.top = m_top;
    s.bottom = m_bottom;
    s.samplesPerPoint = m_samplesPerPoint;
    s.samplesInPoint = m_samplesInPoint;
    s.points = m_points;
    s.writePosition = m_writePosition;
    s.dots = m_dots;
    s.colourOverride = m_colourOverride;
    s.red = m_red;
    s.green = m_green;
    s.blue = m_blue;
    return s;
}

uint32_t CounterData::pointCount() const
{
    std::lock_guard guard(m_lock);
    return static_cast<uint32_t>(m_points.size());
}

int64_t CounterData::total() const
{
    std::lock_guard guard(m_lock);
    int64_t sum = 0;
    for (int64_t p : m_points)
        sum = saturatingAdd(sum, p);
    return sum;
}

void CounterData::addView(ICounterView* view)
{
    if (!view)
        return;
    std::lock_guard views(m_viewLock);
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CounterData::removeView(ICounterView* view)
{
    std::lock_guard views(m_viewLock);
    std::erase(m_views, view);
}

}
