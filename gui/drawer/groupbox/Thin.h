#pragma once

#include "foundation/thread/Pool.h"
#include "gui/TextStyle.h"
#include "gui/draw/Colour.h"
#include "gui/drawer/IDrawer.h"

#include <array>

namespace s::gui::drawer::groupbox {

// Carries the colours of group boxes in a skin: the frame colour and the title's two text styles. This toolkit
// paints no such component in a skinned window, so nothing is drawn from it; skins fill it so a component of
// that kind can take it.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_groupbox_Thin")
public:
    void setFrameColour(draw::Colour c) { m_frame = c; }
    draw::Colour getFrameColour() const { return m_frame; }
    static constexpr size_t StyleCount = 2;
    TextStyle& style(size_t index) { return m_styles.at(index); }
    const TextStyle& getStyle(size_t index) const { return m_styles.at(index); }

    void reset() override
    {
        m_frame = draw::UnsetColour;
        for (TextStyle& s : m_styles)
            s.clear();
    }

private:
    draw::Colour m_frame { draw::UnsetColour };
    std::array<TextStyle, StyleCount> m_styles {};
};

}
