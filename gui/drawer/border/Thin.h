#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::border {

// One-pixel borders shaded from one base colour. Styles: 0 hot, 1 raised, 2 sunken, 3 tab (no
// bottom edge). Corner kinds: 0 square, 1 the four corner pixels left out, 2 two pixels left out at
// each corner with one pixel set at each inner corner.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_border_Thin")
public:
    enum Style : int32_t { Hot = 0, Raised = 1, Sunken = 2, Tab = 3 };

    // Each channel times factor, cut toward zero and capped at 255 (computed in double, so
    // 200 x 1.15 gives 229).
    static draw::Colour shade(draw::Colour base, double factor);

    // Nothing for an empty rectangle, an unknown style or an unknown corner kind; every pixel stays
    // inside the rectangle, however small it is.
    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t style, int32_t cornerKind,
        uint8_t red, uint8_t green, uint8_t blue) const;

    // Off: all four edges in the base colour.
    void setShaded(bool on) { m_shaded = on; }
    bool isShaded() const { return m_shaded; }

    void reset() override { m_shaded = true; }

private:
    bool m_shaded { true };
};

}
