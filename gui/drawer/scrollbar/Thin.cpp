#include "gui/drawer/scrollbar/Thin.h"

#include "gui/drawer/GlyphPainter.h"

#include <algorithm>
#include <cmath>

namespace s::gui::drawer::scrollbar {

using draw::Colour;
using draw::Rect;

Thin::Thin()
{
    reset();
}

void Thin::reset()
{
    m_frameKind = 1;
    m_background = draw::White;
    m_width = DefaultWidth;
    m_border.replace(border::Thin::get());
    m_button.replace(button::Thin::get());
    setLineColour(120, 120, 120);
}

void Thin::setLineColour(uint8_t r, uint8_t g, uint8_t b)
{
    m_line = draw::rgb(r, g, b);
    m_button->setBorderColour(r, g, b);
    m_button->setDisabledBorderColour(r, g, b);
}

Thin::Geometry Thin::layout(const Rect& bar, int32_t axis, int32_t minimum, int32_t maximum, int32_t page, int32_t value) const
{
    Geometry g;
    g.bar = bar;
    g.axis = axis;
    if (bar.isEmpty())
        return g;
    const Rect inner = framed() ? bar.inset(1) : bar;
    const bool vertical = axis != 0;
    const int32_t start = vertical ? inner.top : inner.left;
    const int32_t length = std::max(0, vertical ? inner.height() : inner.width());
    const int32_t cross = std::max(0, vertical ? inner.width() : inner.height());

    // Step 1: the arrows are squares; a bar shorter than two of them splits its length between them.
    int32_t arrow = cross;
    if (2 * arrow > length)
        arrow = length / 2;
    g.trackStart = start + arrow;
    g.trackLength = length - 2 * arrow;

    // Step 2: the thumb is as long as the page is of the whole, never shorter than 8 pixels, and
    // there is none when the track has no room.
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    if (g.trackLength > 0 && cross > 0) {
        g.hasThumb = true;
        int64_t thumb = g.trackLength;
        if (range > 0) {
            thumb = static_cast<int64_t>(g.trackLength) * std::max(1, page) / (range + std::max(1, page));
            thumb = std::clamp<int64_t>(thumb, std::min(g.trackLength, 8), g.trackLength);
        }
        g.thumbLength = static_cast<int32_t>(thumb);
        g.travel = g.trackLength - g.thumbLength;
    }
    int32_t thumbStart = g.trackStart;
    if (g.hasThumb && range > 0 && g.travel > 0) {
        const int64_t offset = std::clamp<int64_t>(static_cast<int64_t>(value) - minimum, 0, range);
        thumbStart += static_cast<int32_t>((offset * g.travel * 2 + range) / (range * 2));
    }

    // Step 3: the five rectangles along the axis.
    auto span = [&](int32_t from, int32_t to) {
        return vertical ? Rect { inner.left, from, inner.right, to } : Rect { from, inner.top, to, inner.bottom };
    };
    const int32_t trackEnd = g.trackStart + g.trackLength;
    g.parts[FirstArrow] = span(start, g.trackStart);
    if (g.hasThumb) {
        g.parts[TrackBefore] = span(g.trackStart, thumbStart);
        g.parts[Thumb] = span(thumbStart, thumbStart + g.thumbLength);
        g.parts[TrackAfter] = span(thumbStart + g.thumbLength, trackEnd);
    } else {
        g.parts[TrackBefore] = span(g.trackStart, trackEnd);
    }
    g.parts[SecondArrow] = span(trackEnd, start + length);
    return g;
}

int32_t Thin::hitTest(const Geometry& g, int32_t x, int32_t y)
{
    if (!g.bar.contains(x, y))
        return None;
    const bool vertical = g.axis != 0;
    const int32_t along = vertical ? y : x;
    for (int32_t part = FirstArrow; part <= SecondArrow; ++part) {
        const Rect& r = g.parts[static_cast<size_t>(part)];
        if (r.isEmpty())
            continue;
        const int32_t from = vertical ? r.top : r.left, to = vertical ? r.bottom : r.right;
        if (along >= from && along < to)
            return part;
    }
    // The frame's pixels at the two ends belong to the arrows.
    const Rect& first = g.parts[FirstArrow];
    return along < (vertical ? first.bottom : first.right) ? FirstArrow : SecondArrow;
}

int32_t Thin::dragValue(const Geometry& g, int32_t offset, int32_t minimum, int32_t maximum, int32_t current)
{
    if (!g.hasThumb)
        return current;
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    if (range <= 0 || g.travel <= 0)
        return minimum;
    if (offset <= 0)
        return minimum;
    if (offset >= g.travel)
        return maximum;
    const int64_t position = (static_cast<int64_t>(offset) * range * 2 + g.travel) / (static_cast<int64_t>(g.travel) * 2);
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, range) + minimum);
}

void Thin::paint(draw::ICanvas& canvas, const Geometry& g, int32_t hotPart, int32_t pressedPart, bool enabled) const
{
    if (g.bar.isEmpty())
        return;
    const bool vertical = g.axis != 0;
    const Rect inner = framed() ? g.bar.inset(1) : g.bar;
    canvas.fill(inner, m_background);
    if (framed()) {
        m_border->paint(canvas, g.bar.left, g.bar.top, g.bar.right, g.bar.bottom, border::Thin::Sunken, m_frameKind, draw::redOf(m_line),
            draw::greenOf(m_line), draw::blueOf(m_line));
    }

    auto stateOf = [&](int32_t part) { return part == pressedPart ? button::Thin::Pressed : part == hotPart ? button::Thin::Hot : 0; };
    auto button = [&](int32_t part, std::u16string_view glyph) {
        const Rect& r = g.parts[static_cast<size_t>(part)];
        m_button->paint(canvas, r.left, r.top, r.right, r.bottom, stateOf(part), glyph, true, nullptr, enabled, false, false);
    };
    button(FirstArrow, vertical ? u"#Up" : u"#Left");
    button(SecondArrow, vertical ? u"#Down" : u"#Right");
    if (!g.hasThumb || !enabled)
        return;
    button(Thumb, vertical ? u"#ThumbLineH" : u"#ThumbLineV");

    // A long thumb shows small arrows at its two ends.
    const Rect& thumb = g.parts[Thumb];
    const int32_t cross = vertical ? thumb.width() : thumb.height();
    if (g.thumbLength > 2 * cross) {
        const int32_t mark = std::max(3, cross / 2);
        const int32_t gap = 3;
        if (vertical) {
            const int32_t x = thumb.left + (thumb.width() - mark) / 2;
            GlyphPainter::paint(canvas, Rect::fromSize(x, thumb.top + gap, mark, mark), u"#Up", m_line);
            GlyphPainter::paint(canvas, Rect::fromSize(x, thumb.bottom - gap - mark, mark, mark), u"#Down", m_line);
        } else {
            const int32_t y = thumb.top + (thumb.height() - mark) / 2;
            GlyphPainter::paint(canvas, Rect::fromSize(thumb.left + gap, y, mark, mark), u"#Left", m_line);
            GlyphPainter::paint(canvas, Rect::fromSize(thumb.right - gap - mark, y, mark, mark), u"#Right", m_line);
        }
    }
}

}
