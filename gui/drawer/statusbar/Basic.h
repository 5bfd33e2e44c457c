#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::statusbar {

// The status bar's own painting: on the old platform look a light gradient, on every later one
// nothing (the bar's background shows); then, with the grip switch on, the size grip.
class Basic : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_statusbar_Basic")
public:
    Basic() { Basic::reset(); }

    // gripAllowed false leaves the grip out whatever the switch says (a window that cannot be
    // resized shows none).
    virtual void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, bool gripAllowed = true) const;

    void setGradient(bool on) { m_gradient = on; }
    bool hasGradient() const { return m_gradient; }
    void setGrip(bool on) { m_grip = on; }
    bool hasGrip() const { return m_grip; }

    void reset() override
    {
        m_gradient = true;
        m_grip = false;
    }

protected:
    void paintGradient(draw::ICanvas& canvas, const draw::Rect& area) const;

    bool m_gradient { true };
    bool m_grip { false };
};

}
