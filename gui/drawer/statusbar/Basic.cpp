#include "gui/drawer/statusbar/Basic.h"

#include "gui/draw/PlatformLook.h"
#include "gui/drawer/SizeGrip.h"

namespace s::gui::drawer::statusbar {

using draw::Rect;

void Basic::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, bool gripAllowed) const
{
    const Rect area { left, top, right, bottom };
    if (area.isEmpty())
        return;
    if (m_gradient && !draw::isVistaOrLater())
        paintGradient(canvas, area);
    if (m_grip && gripAllowed)
        SizeGrip::paint(canvas, area);
}

void Basic::paintGradient(draw::ICanvas& canvas, const Rect& area) const
{
    static constexpr draw::Colour topRows[5] = { draw::rgb(149, 147, 133), draw::rgb(191, 189, 176), draw::rgb(215, 212, 197),
        draw::rgb(232, 229, 212), draw::rgb(238, 235, 217) };
    static constexpr draw::Colour bottomRows[9] = { draw::rgb(235, 232, 212), draw::rgb(233, 230, 210), draw::rgb(231, 228, 207),
        draw::rgb(229, 226, 204), draw::rgb(226, 223, 200), draw::rgb(223, 220, 197), draw::rgb(220, 217, 194), draw::rgb(217, 214, 192),
        draw::rgb(223, 220, 202) };
    canvas.fill(area, draw::rgb(236, 233, 216));
    for (int32_t i = 0; i < 9; ++i)
        canvas.fill(Rect { area.left, area.bottom - 9 + i, area.right, area.bottom - 8 + i }.intersected(area), bottomRows[i]);
    for (int32_t i = 0; i < 5; ++i)
        canvas.fill(Rect { area.left, area.top + i, area.right, area.top + i + 1 }.intersected(area), topRows[i]);
    // Rounded top corners.
    canvas.fill(Rect { area.left, area.top, area.left + 1, area.top + 1 }, topRows[2]);
    canvas.fill(Rect { area.right - 1, area.top, area.right, area.top + 1 }, topRows[2]);
}

}
