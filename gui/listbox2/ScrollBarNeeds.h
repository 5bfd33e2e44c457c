#pragma once

#include <cstdint>

namespace s::gui::listbox2 {

// Which of a list's two scroll bars must show. The two decide each other: a horizontal bar takes
// height from the rows, which may then need a vertical bar, which takes width from the columns.
struct ScrollBarNeeds {
    bool vertical { false };
    bool horizontal { false };

    // Content and area in pixels; barWidth is the vertical bar's width, barHeight the horizontal
    // bar's height.
    static ScrollBarNeeds compute(int32_t contentWidth, int32_t contentHeight, int32_t areaWidth, int32_t areaHeight,
        int32_t barWidth, int32_t barHeight)
    {
        ScrollBarNeeds needs;
        needs.vertical = contentHeight > areaHeight;
        needs.horizontal = contentWidth > areaWidth - (needs.vertical ? barWidth : 0);
        if (needs.horizontal && !needs.vertical) {
            needs.vertical = contentHeight > areaHeight - barHeight;
            needs.horizontal = contentWidth > areaWidth - (needs.vertical ? barWidth : 0);
        }
        return needs;
    }

    bool operator==(const ScrollBarNeeds&) const = default;
};

}
