#pragma once

#include <cstdint>

namespace s::gui::listbox2 {

// Turns wheel turns into scroll pixels. A notch (120 units) scrolls the platform's lines per
// notch × 15 pixels, but at least 1.4 row heights (whole pixels). Touchpads and high-resolution
// wheels send parts of a notch; the parts add up, so many small turns scroll as far as one notch.
class WheelScroller {
public:
    static constexpr int32_t unitsPerNotch = 120;

    static int32_t notchPixels(int32_t linesPerNotch, int32_t rowHeight);

    // Pixels to scroll for a turn of `units` (positive: away from the user, so the content moves
    // up and the result is negative). The part that makes no whole pixel is kept for the next
    // turn.
    int32_t scroll(int32_t units, int32_t linesPerNotch, int32_t rowHeight);
    void clear() { m_remainder = 0; }

private:
    int64_t m_remainder { 0 };
};

}
