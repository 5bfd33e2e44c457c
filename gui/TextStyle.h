#pragma once

#include "gui/FontDescription.h"

#include <cstdint>
#include <optional>
#include <string>

namespace s::gui {

// A text style of the drawers: a font description in which every field may be left unset, so that
// applying the style changes only what it sets. A skin gives a button "text in white" without
// touching the face or size the program chose.
struct TextStyle {
    std::optional<std::u16string> face;
    std::optional<int32_t> points;
    std::optional<int32_t> weight;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> strikeOut;
    std::optional<int32_t> quality;
    std::optional<uint32_t> textColour;
    std::optional<uint32_t> effectColour1;
    std::optional<uint32_t> effectColour2;
    std::optional<bool> multiLine;
    std::optional<bool> ellipsis;
    std::optional<int32_t> effect;

    bool isEmpty() const { return *this == TextStyle {}; }
    void clear() { *this = TextStyle {}; }

    // A face, size or weight set here makes the font explicit, so the window's font size setting
    // leaves it alone afterwards.
    void applyTo(FontDescription& font) const
    {
        if (face) {
            font.face = *face;
            font.explicitlySet = true;
        }
        if (points) {
            font.points = *points;
            font.explicitlySet = true;
        }
        if (weight) {
            font.weight = *weight;
            font.explicitlySet = true;
        }
        if (italic)
            font.italic = *italic;
        if (underline)
            font.underline = *underline;
        if (strikeOut)
            font.strikeOut = *strikeOut;
        if (quality)
            font.quality = *quality;
        if (textColour)
            font.textColour = *textColour;
        if (effectColour1)
            font.effectColour1 = *effectColour1;
        if (effectColour2)
            font.effectColour2 = *effectColour2;
        if (multiLine)
            font.multiLine = *multiLine;
        if (ellipsis)
            font.ellipsis = *ellipsis;
        if (effect)
            font.effect = *effect;
    }

    bool operator==(const TextStyle&) const = default;
};

}
