#pragma once

#include <cstdint>
#include <string>

namespace s::gui {

// What a component asks of its font, free of the platform: a face, a weight, a point size, and
// whether they were set explicitly (an explicit font keeps its size when the window's font size
// setting changes); the looks a drawer reads (italic, underline, strike-out, the text colour and
// the two effect colours, multi-line and ellipsis layout, the effect kind). Colours are words with
// red in the low byte; 0xFFFFFFFF means unset (the painter chooses, see the text drawer).
//
// Font codes: |code| < 100 regular (400) at code + 10 points; 100 <= |code| < 1000 bold (700) at
// code mod 100 + 14 points; 100001 regular at 8 points; every other code of 1000 or more is ignored.
struct FontDescription {
    std::u16string face;
    int32_t weight { 400 };
    int32_t points { 10 };
    bool explicitlySet { false };
    bool italic { false };
    bool underline { false };
    bool strikeOut { false };
    // The platform's rendering quality code; kept for stores, Qt chooses its own antialiasing.
    int32_t quality { 0 };
    uint32_t textColour { 0xFFFFFFFF };
    uint32_t effectColour1 { 0xFFFFFFFF };
    uint32_t effectColour2 { 0xFFFFFFFF };
    bool multiLine { false };
    bool ellipsis { false };
    // 0 plain, 1 halo, 2 shadow, 3-6 engraved and embossed looks, 7 halo in the second colour.
    int32_t effect { 0 };

    // Applies a font code; false (nothing changed) for an ignored code.
    bool applyCode(int32_t code)
    {
        int32_t magnitude = code < 0 ? -code : code;
        if (code == 100001) {
            weight = 400;
            points = 8;
        } else if (magnitude < 100) {
            weight = 400;
            points = code + 10;
        } else if (magnitude < 1000) {
            weight = 700;
            points = code % 100 + 14;
        } else {
            return false;
        }
        // Negative codes shrink the font; a size below one point cannot be realised.
        if (points < 1)
            points = 1;
        return true;
    }

    bool operator==(const FontDescription&) const = default;
};

}
