#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/draw/Region.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::window {

// The frame and background of a skinned top-level window. Corner kinds per side (top, bottom):
// 0 square, 1 slightly rounded, 2 a stepped quarter circle of radius 5. The window's outline
// (makeRegion) and the frame painted follow the same steps, so no pixel of the frame falls outside.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_window_Thin")
public:
    static constexpr int32_t ResizeBorder = 5;

    Thin() { Thin::reset(); }

    void paint(draw::ICanvas& canvas, const draw::Rect& window) const;
    draw::Region makeRegion(const draw::Rect& window) const;
    // How many pixels of row `row` (counted from the top or bottom edge) a corner of that kind
    // leaves out at each end.
    static int32_t cornerInset(int32_t kind, int32_t row);

    void setTransparent(bool on) { m_transparent = on; }
    bool isTransparent() const { return m_transparent; }
    void setCornerKinds(int32_t top, int32_t bottom)
    {
        m_topCorner = top;
        m_bottomCorner = bottom;
    }
    int32_t getTopCorner() const { return m_topCorner; }
    int32_t getBottomCorner() const { return m_bottomCorner; }
    void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b) { m_background = draw::rgb(r, g, b); }
    void setFrameColour(uint8_t r, uint8_t g, uint8_t b) { m_frame = draw::rgb(r, g, b); }
    draw::Colour getBackgroundColour() const { return m_background; }
    draw::Colour getFrameColour() const { return m_frame; }

    void reset() override
    {
        m_transparent = false;
        m_topCorner = m_bottomCorner = 0;
        m_background = draw::rgb(240, 240, 240);
        m_frame = draw::rgb(120, 120, 120);
    }

private:
    bool m_transparent { false };
    int32_t m_topCorner { 0 };
    int32_t m_bottomCorner { 0 };
    draw::Colour m_background { 0 };
    draw::Colour m_frame { 0 };
};

}
