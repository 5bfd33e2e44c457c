#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"
#include "gui/drawer/border/Thin.h"
#include "gui/drawer/button/Thin.h"

#include <array>

namespace s::gui::drawer::scrollbar {

// Scroll bars in five parts: 0 the first arrow, 1 the track before the thumb, 2 the thumb, 3 the
// track after it, 4 the second arrow. Axis 0 is horizontal, 1 vertical.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_scrollbar_Thin")
public:
    enum Part : int32_t { None = -1, FirstArrow = 0, TrackBefore = 1, Thumb = 2, TrackAfter = 3, SecondArrow = 4 };
    static constexpr int32_t DefaultWidth = 15;

    // Where the parts of one bar are. A bar too short for its two arrows and a thumb has no thumb.
    struct Geometry {
        draw::Rect bar;
        int32_t axis { 1 };
        std::array<draw::Rect, 5> parts {};
        bool hasThumb { false };
        // Along the axis: where the track starts, how long it is, how far the thumb can travel.
        int32_t trackStart { 0 };
        int32_t trackLength { 0 };
        int32_t thumbLength { 0 };
        int32_t travel { 0 };
    };

    Thin();

    Geometry layout(const draw::Rect& bar, int32_t axis, int32_t minimum, int32_t maximum, int32_t page, int32_t value) const;
    // 0..4, or -1 outside the bar.
    static int32_t hitTest(const Geometry& g, int32_t x, int32_t y);
    // The position for a thumb whose leading edge stands offset pixels into the track: offset x
    // range / travel, rounded, plus the minimum; before the track the minimum, past it the maximum.
    // Without a thumb the value stays (nothing can be dragged).
    static int32_t dragValue(const Geometry& g, int32_t offset, int32_t minimum, int32_t maximum, int32_t current);

    // hotPart and pressedPart: -1 or a part.
    void paint(draw::ICanvas& canvas, const Geometry& g, int32_t hotPart, int32_t pressedPart, bool enabled) const;

    void setFrameKind(int32_t kind) { m_frameKind = kind; }
    int32_t getFrameKind() const { return m_frameKind; }
    void setLineColour(uint8_t r, uint8_t g, uint8_t b);
    draw::Colour getLineColour() const { return m_line; }
    void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b) { m_background = draw::rgb(r, g, b); }
    draw::Colour getBackgroundColour() const { return m_background; }
    void setWidth(int32_t w) { m_width = w; }
    int32_t getWidth() const { return m_width; }
    button::Thin& buttonDrawer() const { return *m_button; }

    void reset() override;

private:
    bool framed() const { return m_frameKind == 1 || m_frameKind == 2; }

    int32_t m_frameKind { 1 };
    draw::Colour m_line { 0 };
    draw::Colour m_background { 0 };
    int32_t m_width { DefaultWidth };
    thread::Pooled<border::Thin> m_border;
    thread::Pooled<button::Thin> m_button;
};

}
