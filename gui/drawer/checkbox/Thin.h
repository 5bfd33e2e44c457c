#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/Colour.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::checkbox {

// Carries the colours of check boxes in a skin: the box, the text and the disabled text colours. This toolkit
// paints no such component in a skinned window, so nothing is drawn from it; skins fill it so a component of
// that kind can take it.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_checkbox_Thin")
public:
    void setBoxColour(draw::Colour c) { m_box = c; }
    draw::Colour getBoxColour() const { return m_box; }
    void setTextColour(draw::Colour c) { m_text = c; }
    draw::Colour getTextColour() const { return m_text; }
    void setDisabledTextColour(draw::Colour c) { m_disabledText = c; }
    draw::Colour getDisabledTextColour() const { return m_disabledText; }

    void reset() override
    {
        m_box = m_text = m_disabledText = draw::UnsetColour;
    }

private:
    draw::Colour m_box { draw::UnsetColour };
    draw::Colour m_text { draw::UnsetColour };
    draw::Colour m_disabledText { draw::UnsetColour };
};

}
