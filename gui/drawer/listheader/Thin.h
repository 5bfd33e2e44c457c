#pragma once

#include "foundation/thread/Pool.h"
#include "gui/TextStyle.h"
#include "gui/draw/Colour.h"
#include "gui/drawer/IDrawer.h"

#include <array>

namespace s::gui::drawer::listheader {

// Carries the colours of list headers in a skin: the line and fill colours, a text style and whether sections
// are framed. This toolkit paints no such component in a skinned window, so nothing is drawn from it; skins fill
// it so a component of that kind can take it.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_listheader_Thin")
public:
    void setFirstColour(draw::Colour c) { m_first = c; }
    draw::Colour getFirstColour() const { return m_first; }
    void setSecondColour(draw::Colour c) { m_second = c; }
    draw::Colour getSecondColour() const { return m_second; }
    void setFramed(bool on) { m_framed = on; }
    bool isFramed() const { return m_framed; }
    static constexpr size_t StyleCount = 1;
    TextStyle& style(size_t index) { return m_styles.at(index); }
    const TextStyle& getStyle(size_t index) const { return m_styles.at(index); }

    void reset() override
    {
        m_first = m_second = draw::UnsetColour;
        m_framed = false;
        for (TextStyle& s : m_styles)
            s.clear();
    }

private:
    draw::Colour m_first { draw::UnsetColour };
    draw::Colour m_second { draw::UnsetColour };
    bool m_framed { false };
    std::array<TextStyle, StyleCount> m_styles {};
};

}
