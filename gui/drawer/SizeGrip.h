#pragma once

#include "gui/draw/ICanvas.h"

namespace s::gui::drawer {

// The size grip in a window's bottom-right corner: six 2 x 2 dots in a triangle, each with a
// lighter 2 x 2 square one pixel down and right. With w and h the area's size the dark dots stand
// at (w-4, h-12), (w-4, h-8), (w-8, h-8), (w-4, h-4), (w-8, h-4) and (w-12, h-4).
struct SizeGrip {
    static constexpr draw::Colour Dark = draw::rgb(184, 181, 161);
    static constexpr draw::Colour Light = draw::White;
    static constexpr int32_t Extent = 12;

    // An unset light colour leaves the highlights out.
    static void paint(draw::ICanvas& canvas, const draw::Rect& area, draw::Colour dark = Dark, draw::Colour light = Light)
    {
        if (area.isEmpty())
            return;
        static constexpr int32_t dots[6][2] = { { 4, 12 }, { 4, 8 }, { 8, 8 }, { 4, 4 }, { 8, 4 }, { 12, 4 } };
        for (const auto& d : dots) {
            const int32_t x = area.right - d[0], y = area.bottom - d[1];
            canvas.fill(draw::Rect { x + 1, y + 1, x + 3, y + 3 }.intersected(area), light);
        }
        for (const auto& d : dots) {
            const int32_t x = area.right - d[0], y = area.bottom - d[1];
            canvas.fill(draw::Rect { x, y, x + 2, y + 2 }.intersected(area), dark);
        }
    }
};

}
