#pragma once

#include "foundation/thread/Pool.h"
#include "gui/drawer/statusbar/Basic.h"

namespace s::gui::drawer::statusbar {

// The status bar of a skin: a line in the skin's colour along the top and, with the grip switch on,
// the grip's dots in that colour.
class Thin final : public Basic {
    S_POOLED_CLASS(Thin, "s_gui_drawer_statusbar_Thin")
public:
    Thin() { Thin::reset(); }

    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, bool gripAllowed = true) const override;

    void setColour(uint8_t r, uint8_t g, uint8_t b) { m_colour = draw::rgb(r, g, b); }
    draw::Colour getColour() const { return m_colour; }

    void reset() override
    {
        Basic::reset();
        m_gradient = false;
        m_colour = draw::rgb(120, 120, 120);
    }

private:
    draw::Colour m_colour { 0 };
};

}
