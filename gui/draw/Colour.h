#pragma once

#include <cstdint>

namespace s::gui::draw {

// 24-bit RGB in one word, red in the low byte, green in the next, blue in the third.
using Colour = uint32_t;

// A colour nobody set. Painters never show it: each says what it draws instead.
inline constexpr Colour UnsetColour = 0xFFFFFFFF;

constexpr Colour rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}

constexpr uint8_t redOf(Colour c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t greenOf(Colour c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t blueOf(Colour c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// Palettes are written the way people write colours, RRGGBB with red first; the word keeps red low.
constexpr Colour fromRrggbb(uint32_t hex)
{
    return rgb(static_cast<uint8_t>((hex >> 16) & 0xFF), static_cast<uint8_t>((hex >> 8) & 0xFF), static_cast<uint8_t>(hex & 0xFF));
}

constexpr bool isSet(Colour c) { return c != UnsetColour; }
constexpr Colour orIfUnset(Colour c, Colour fallback) { return isSet(c) ? c : fallback; }

inline constexpr Colour Black = rgb(0, 0, 0);
inline constexpr Colour White = rgb(255, 255, 255);

}
