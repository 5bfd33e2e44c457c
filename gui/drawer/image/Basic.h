#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::image {

// Pictures: optionally a one-pixel black frame, then the picture scaled into the rectangle (inset by
// one when framed), mixed by its alpha channel when it has one and blending is on.
class Basic final : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_image_Basic")
public:
    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, const draw::Picture* picture) const
    {
        draw::Rect area { left, top, right, bottom };
        if (area.isEmpty())
            return;
        if (m_framed) {
            canvas.fill(draw::Rect { left, top, right, top + 1 }, draw::Black);
            canvas.fill(draw::Rect { left, bottom - 1, right, bottom }, draw::Black);
            canvas.fill(draw::Rect { left, top, left + 1, bottom }, draw::Black);
            canvas.fill(draw::Rect { right - 1, top, right, bottom }, draw::Black);
            area = area.inset(1);
        }
        if (picture && !picture->isEmpty() && !area.isEmpty())
            canvas.drawPicture(area, *picture, m_blend && picture->hasAlpha);
    }

    void setFramed(bool on) { m_framed = on; }
    bool isFramed() const { return m_framed; }
    void setBlend(bool on) { m_blend = on; }
    bool isBlend() const { return m_blend; }

    void reset() override
    {
        m_framed = false;
        m_blend = true;
    }

private:
    bool m_framed { false };
    bool m_blend { true };
};

}
