#include "gui/drawer/statusbar/Thin.h"

#include "gui/drawer/SizeGrip.h"

namespace s::gui::drawer::statusbar {

void Thin::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, bool gripAllowed) const
{
    const draw::Rect area { left, top, right, bottom };
    if (area.isEmpty())
        return;
    canvas.fill(draw::Rect { left, top, right, top + 1 }, m_colour);
    if (m_grip && gripAllowed)
        SizeGrip::paint(canvas, area, m_colour, draw::UnsetColour);
}

}
