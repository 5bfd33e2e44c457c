#pragma once

#include "gui/draw/Rect.h"

#include <vector>

namespace s::gui::draw {

// An outline made of rectangles that do not overlap (a window's shape).
struct Region {
    std::vector<Rect> rects;

    bool contains(int32_t x, int32_t y) const
    {
        for (const Rect& r : rects) {
            if (r.contains(x, y))
                return true;
        }
        return false;
    }
};

}
