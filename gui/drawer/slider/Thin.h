#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/Colour.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::slider {

// Carries the colours of sliders in a skin: the line, the track and the disabled colours. This toolkit paints no
// such component in a skinned window, so nothing is drawn from it; skins fill it so a component of that kind can
// take it.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_slider_Thin")
public:
    void setFirstColour(draw::Colour c) { m_first = c; }
    draw::Colour getFirstColour() const { return m_first; }
    void setSecondColour(draw::Colour c) { m_second = c; }
    draw::Colour getSecondColour() const { return m_second; }
    void setThirdColour(draw::Colour c) { m_third = c; }
    draw::Colour getThirdColour() const { return m_third; }

    void reset() override
    {
        m_first = m_second = m_third = draw::UnsetColour;
    }

private:
    draw::Colour m_first { draw::UnsetColour };
    draw::Colour m_second { draw::UnsetColour };
    draw::Colour m_third { draw::UnsetColour };
};

}
