#include "gui/drawer/counter/Basic.h"

#include <algorithm>
#include <cmath>

namespace s::gui::drawer::counter {

using draw::Colour;
using draw::Rect;
using Snapshot = gui::counter::CounterData::Snapshot;

namespace {

// (value - bottom) x extent / span without overflow, as a double.
double scaled(int64_t value, int64_t bottom, int64_t extent, int64_t span)
{
    const long double difference = static_cast<long double>(static_cast<__int128>(value) - bottom);
    return static_cast<double>(difference * static_cast<long double>(extent) / static_cast<long double>(span));
}

uint32_t backwards(uint32_t position, uint32_t steps, uint32_t size)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(position) + size - steps % size) % size);
}

}

int64_t Basic::raisedTop(const Snapshot& s, uint32_t from, uint32_t count)
{
    int64_t top = std::max(s.top, s.floor);
    const uint32_t size = static_cast<uint32_t>(s.points.size());
    if (size == 0)
        return top;
    count = std::min(count, size);
    for (uint32_t i = 0; i < count; ++i)
        top = std::max(top, s.points[backwards(from, i, size)]);
    return top;
}

void Basic::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
    const gui::counter::CounterData& main, const gui::counter::CounterData* second, bool swapped) const
{
    const Rect area { left, top, right, bottom };
    if (area.isEmpty())
        return;
    Snapshot mainData = main.snapshot();
    if (second) {
        Snapshot secondData = second->snapshot();
        paintSnapshots(canvas, area, kind, mainData, &secondData, swapped);
    } else {
        paintSnapshots(canvas, area, kind, mainData, nullptr, swapped);
    }
}

void Basic::paintSnapshots(draw::ICanvas& canvas, const Rect& area, int32_t kind, const Snapshot& main, const Snapshot* second,
    bool swapped) const
{
    if (area.isEmpty())
        return;
    if (!m_transparent)
        canvas.fill(area, m_background);

    const int32_t width = area.width(), height = area.height();
    const Colour firstColour = draw::orIfUnset(m_first, FallbackMain);
    const Colour secondColour = draw::orIfUnset(m_second, FallbackSecond);
    auto colourOf = [&](const Snapshot& s, bool isMain) {
        if (s.colourOverride)
            return draw::rgb(s.red, s.green, s.blue);
        return (isMain != swapped) ? firstColour : secondColour;
    };

    // The main series' top, raised by autoScale; a shown second series uses it too.
    auto topOf = [&](const Snapshot& s) {
        const uint32_t n = static_cast<uint32_t>(s.points.size());
        if (!s.autoScale || n == 0)
            return s.top;
        if (kind == Bar)
            return n > 1 ? raisedTop(s, backwards(s.writePosition, 1, n), n - 1) : std::max(s.top, s.floor);
        return raisedTop(s, s.writePosition, n >= 2 ? n - 1 : 1);
    };
    const int64_t mainTop = topOf(main);

    auto drawSeries = [&](const Snapshot& s, bool isMain) {
        const uint32_t n = static_cast<uint32_t>(s.points.size());
        if (n == 0)
            return;
        const int64_t bottom = s.bottom;
        const int64_t top = isMain || main.autoScale ? mainTop : topOf(s);
        const int64_t span = top - bottom;
        // A scale without room draws nothing.
        if (span <= 0)
            return;
        const Colour colour = colourOf(s, isMain);

        if (kind == Bar) {
            const int64_t barWidth = static_cast<int64_t>(scaled(s.points[s.writePosition], bottom, width, span));
            if (barWidth > 0)
                canvas.fill(Rect { area.left, area.top, area.left + static_cast<int32_t>(std::min<int64_t>(barWidth, width)), area.bottom }, colour);
            return;
        }

        // The point still collecting samples is not shown: at most n - 1 points, newest first.
        const uint32_t shown = std::min<uint32_t>(n - 1, static_cast<uint32_t>(width));
        for (uint32_t j = 0; j < shown; ++j) {
            const uint32_t index = backwards(s.writePosition, j + 1, n);
            const int64_t value = s.points[index];
            const double exact = scaled(value, bottom, height, span);
            int64_t h = kind == CentredColumns ? static_cast<int64_t>(std::llround(exact)) : static_cast<int64_t>(exact);
            if (h < 0)
                continue;
            if (h == 0) {
                bool lift = value > bottom;
                // A second-series point under the main one would hide nothing worth showing.
                if (!isMain && lift && index < main.points.size())
                    lift = value >= main.points[index];
                if (!lift)
                    continue;
                h = 1;
            }
            h = std::min<int64_t>(h, height);
            const int32_t x = area.right - 1 - static_cast<int32_t>(j);
            const int32_t columnHeight = static_cast<int32_t>(h);
            if (kind == CentredColumns) {
                const int32_t y = area.top + (height - columnHeight) / 2;
                if (s.dots) {
                    canvas.fill(Rect { x, y, x + 1, std::min(y + DotHeight, area.bottom) }, colour);
                    canvas.fill(Rect { x, std::max(y + columnHeight - DotHeight, area.top), x + 1, y + columnHeight }, colour);
                } else {
                    canvas.fill(Rect { x, y, x + 1, y + columnHeight }, colour);
                }
            } else {
                const int32_t y = area.bottom - columnHeight;
                canvas.fill(Rect { x, y, x + 1, s.dots ? std::min(y + DotHeight, area.bottom) : area.bottom }, colour);
            }
        }
    };

    drawSeries(main, true);
    if (second)
        drawSeries(*second, false);
}

}
