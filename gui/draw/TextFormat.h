#pragma once

#include <cstdint>

namespace s::gui::draw {

// How a text is laid into its rectangle. Mnemonic prefixes are never interpreted: "&" is a letter.
namespace TextFormat {
inline constexpr uint32_t SingleLine = 1u << 0;
inline constexpr uint32_t EndEllipsis = 1u << 1;
inline constexpr uint32_t WordBreak = 1u << 2;
inline constexpr uint32_t HCentre = 1u << 3;
inline constexpr uint32_t Right = 1u << 4;
inline constexpr uint32_t VCentre = 1u << 5;
}

}
