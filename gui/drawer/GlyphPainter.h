#pragma once

#include "gui/draw/ICanvas.h"

#include <optional>
#include <string_view>

namespace s::gui::drawer {

// Small pictures named by a text that starts with "#", drawn from filled rectangles scaled to the
// rectangle they get: arrows ("#Up", "#Down", "#Left", "#Right", doubled, "#Next", "#Prev"),
// window buttons ("#_", "#□", "#Transform", "#X", "#↙", "#OnTop", "#FitWindow", "#FitToWindow"),
// player buttons ("#Play", "#Pause", "#Stop", "#Speaker", "#Mute"), marks ("#Minus", "#Plus",
// "#PlusMinus", "#Check", "#TreeOpen", "#TreeClosed", "#ThumbLineH", "#ThumbLineV", "#Resizer"…) and
// colour swatches "#Color-RRGGBB…" (hexadecimal digits of a colour word, red in the low byte).
class GlyphPainter {
public:
    // False (nothing drawn) for a text that is no glyph: empty, not starting with "#", an unknown
    // name, or "#Color-" followed by anything but one to eight or more hexadecimal digits.
    static bool paint(draw::ICanvas& canvas, const draw::Rect& r, std::u16string_view name, draw::Colour colour);
    static bool isGlyph(std::u16string_view name);
    // The swatch colour of a "#Color-" name: the low 24 bits of its first eight digits (fewer
    // digits count as the number they write, as if led by zeros).
    static std::optional<draw::Colour> swatchColour(std::u16string_view name);
};

}
