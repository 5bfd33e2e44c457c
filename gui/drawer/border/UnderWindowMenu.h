#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::border {

// The separator under a window's menu bar: a row in RGB(172, 168, 153) over a white row, across the
// top of the rectangle.
class UnderWindowMenu final : public IDrawer {
    S_POOLED_CLASS(UnderWindowMenu, "s_gui_drawer_border_UnderWindowMenu")
public:
    static constexpr draw::Colour LineColour = draw::rgb(172, 168, 153);

    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom) const
    {
        const draw::Rect area { left, top, right, bottom };
        if (area.isEmpty())
            return;
        canvas.fill(draw::Rect { left, top, right, top + 1 }.intersected(area), LineColour);
        canvas.fill(draw::Rect { left, top + 1, right, top + 2 }.intersected(area), draw::White);
    }

    void reset() override { }
};

}
