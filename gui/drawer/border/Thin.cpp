#include "gui/drawer/border/Thin.h"

#include <algorithm>

namespace s::gui::drawer::border {

using draw::Colour;
using draw::Rect;

Colour Thin::shade(Colour base, double factor)
{
    auto channel = [factor](uint8_t value) {
        double scaled = static_cast<double>(value) * factor;
        return static_cast<uint8_t>(std::min(255.0, static_cast<double>(static_cast<int32_t>(scaled))));
    };
    return draw::rgb(channel(draw::redOf(base)), channel(draw::greenOf(base)), channel(draw::blueOf(base)));
}

void Thin::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t style, int32_t cornerKind,
    uint8_t red, uint8_t green, uint8_t blue) const
{
    const Rect area { left, top, right, bottom };
    if (area.isEmpty() || style < Hot || style > Tab || cornerKind < 0 || cornerKind > 2)
        return;

    const Colour base = draw::rgb(red, green, blue);
    auto tone = [&](double factor) { return m_shaded ? shade(base, factor) : base; };
    // Tiny rectangles would put corner pixels outside; every fill is cut to the rectangle.
    auto put = [&](int32_t l, int32_t t, int32_t r, int32_t b, Colour colour) { canvas.fill(Rect { l, t, r, b }.intersected(area), colour); };

    // Step 1: the edge colours of the style.
    Colour topColour = base, rightColour = base, bottomColour = base, leftColour = base;
    switch (style) {
    case Raised:
    case Tab:
        topColour = tone(1.05);
        rightColour = tone(0.9);
        bottomColour = tone(0.85);
        leftColour = base;
        break;
    case Sunken:
        topColour = tone(0.85);
        rightColour = base;
        bottomColour = tone(1.05);
        leftColour = tone(0.9);
        break;
    case Hot:
        topColour = tone(1.15);
        rightColour = tone(0.7);
        bottomColour = tone(0.5);
        leftColour = tone(1.05);
        break;
    }
    const bool hasBottom = style != Tab;

    // Step 2: the edges, shortened by the corner kind.
    const int32_t cut = cornerKind;
    put(left + cut, top, right - cut, top + 1, topColour);
    put(right - 1, top + cut, right, bottom - cut, rightColour);
    if (hasBottom)
        put(left + cut, bottom - 1, right - cut, bottom, bottomColour);
    put(left, top + cut, left + 1, bottom - cut, leftColour);

    // Step 3: the inner corner pixels of kind 2.
    if (cornerKind == 2) {
        put(left + 1, top + 1, left + 2, top + 2, topColour);
        put(right - 2, top + 1, right - 1, top + 2, rightColour);
        if (hasBottom) {
            put(right - 2, bottom - 2, right - 1, bottom - 1, bottomColour);
            put(left + 1, bottom - 2, left + 2, bottom - 1, leftColour);
        }
    }

    // Step 4: the hot style softens its rounded corners.
    if (style == Hot && cornerKind > 0) {
        const Colour topLeft = tone(0.95), sideCorner = tone(0.85), bottomRight = tone(0.45);
        if (cornerKind == 1) {
            put(left, top, left + 1, top + 1, topLeft);
            put(right - 1, top, right, top + 1, sideCorner);
            put(right - 1, bottom - 1, right, bottom, bottomRight);
            put(left, bottom - 1, left + 1, bottom, sideCorner);
        } else {
            put(left + 1, top, left + 2, top + 1, topLeft);
            put(left, top + 1, left + 1, top + 2, topLeft);
            put(right - 2, top, right - 1, top + 1, sideCorner);
            put(right - 1, top + 1, right, top + 2, sideCorner);
            put(right - 2, bottom - 1, right - 1, bottom, bottomRight);
            put(right - 1, bottom - 2, right, bottom - 1, bottomRight);
            put(left + 1, bottom - 1, left + 2, bottom, sideCorner);
            put(left, bottom - 2, left + 1, bottom - 1, sideCorner);
        }
    }
}

}
