#pragma once

#include "foundation/thread/Pool.h"
#include "gui/counter/CounterData.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer::counter {

// Counter graphs: kind 0 one-pixel columns, newest at the right; kind 1 a bar for the point still
// collecting samples; kind 2 columns centred on the middle line.
//
// Unset colours: an unset background fills nothing (the component's background shows); an unset
// series colour draws the main series in RGB(0, 128, 0) and the second in RGB(255, 165, 0).
class Basic final : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_counter_Basic")
public:
    enum Kind : int32_t { Columns = 0, Bar = 1, CentredColumns = 2 };
    static constexpr draw::Colour FallbackMain = draw::rgb(0, 128, 0);
    static constexpr draw::Colour FallbackSecond = draw::rgb(255, 165, 0);
    static constexpr int32_t DotHeight = 5;

    Basic() { Basic::reset(); }

    // second: null when the second series is not shown. Each series is read under its lock once.
    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
        const gui::counter::CounterData& main, const gui::counter::CounterData* second, bool swapped) const;
    // The same from series already read (tests and off-thread callers).
    void paintSnapshots(draw::ICanvas& canvas, const draw::Rect& area, int32_t kind, const gui::counter::CounterData::Snapshot& main,
        const gui::counter::CounterData::Snapshot* second, bool swapped) const;

    void setTransparent(bool on) { m_transparent = on; }
    bool isTransparent() const { return m_transparent; }
    void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b) { m_background = draw::rgb(r, g, b); }
    void setFirstColour(uint8_t r, uint8_t g, uint8_t b) { m_first = draw::rgb(r, g, b); }
    void setSecondColour(uint8_t r, uint8_t g, uint8_t b) { m_second = draw::rgb(r, g, b); }
    draw::Colour getBackgroundColour() const { return m_background; }
    draw::Colour getFirstColour() const { return m_first; }
    draw::Colour getSecondColour() const { return m_second; }

    // The top a series is scaled against when painted: with autoScale the largest of the newest
    // `count` points before and including `from`, never below the floor nor the set top.
    static int64_t raisedTop(const gui::counter::CounterData::Snapshot& s, uint32_t from, uint32_t count);

    void reset() override
    {
        m_transparent = true;
        m_background = m_first = m_second = draw::UnsetColour;
    }

private:
    bool m_transparent { true };
    draw::Colour m_background { draw::UnsetColour };
    draw::Colour m_first { draw::UnsetColour };
    draw::Colour m_second { draw::UnsetColour };
};

}
