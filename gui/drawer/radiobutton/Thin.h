#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/Colour.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::radiobutton {

// Carries the colours of radio buttons in a skin: the mark, the text and the disabled text colours. This toolkit
// paints no such component in a skinned window, so nothing is drawn from it; skins fill it so a component of
// that kind can take it.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_radiobutton_Thin")
public:
    void setMarkColour(draw::Colour c) { m_mark = c; }
    draw::Colour getMarkColour() const { return m_mark; }
    void setTextColour(draw::Colour c) { m_text = c; }
    draw::Colour getTextColour() const { return m_text; }
    void setDisabledTextColour(draw::Colour c) { m_disabledText = c; }
    draw::Colour getDisabledTextColour() const { return m_disabledText; }

    void reset() override
    {
        m_mark = m_text = m_disabledText = draw::UnsetColour;
    }

private:
    draw::Colour m_mark { draw::UnsetColour };
    draw::Colour m_text { draw::UnsetColour };
    draw::Colour m_disabledText { draw::UnsetColour };
};

}
