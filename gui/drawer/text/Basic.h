#pragma once

#include "foundation/thread/Pool.h"
#include "gui/TextStyle.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"

#include <array>
#include <span>

namespace s::gui::drawer::text {

// Text with a font and an effect, and five text styles that components copy onto their fonts:
// 1 normal, 2 disabled, 3 link, 4 link hovered, 5 link pressed.
//
// A font without a text colour is drawn black; an effect whose colour is unset draws only the text
// (a halo in a colour nobody chose would be a guess).
class Basic final : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_text_Basic")
public:
    enum StyleIndex : int32_t { Normal = 1, Disabled = 2, Link = 3, LinkHovered = 4, LinkPressed = 5 };
    static constexpr int32_t StyleCount = 5;
    static constexpr draw::Colour DefaultTextColour = draw::Black;

    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, std::u16string_view text,
        const FontDescription& font) const;
    // The text's extent with the same format, plus what the effect adds (one pixel of height for
    // any effect; two of width for effects 1, 3, 5 and 7, one for effect 2).
    void measure(draw::ICanvas& canvas, std::u16string_view text, const FontDescription& font, const draw::Rect& in, int32_t& width,
        int32_t& height) const;
    // Style i + 1 onto fonts[i]; null entries and entries past the fifth are skipped.
    void applyStyles(std::span<FontDescription* const> fonts) const;

    // index 1..5.
    const TextStyle& getStyle(int32_t index) const { return m_styles[slot(index)]; }
    TextStyle& style(int32_t index) { return m_styles[slot(index)]; }
    void setStyle(int32_t index, const TextStyle& style) { m_styles[slot(index)] = style; }

    // On: one line, centred both ways, with an ellipsis when it does not fit.
    void setCentred(bool on) { m_centred = on; }
    bool isCentred() const { return m_centred; }

    uint32_t formatFor(const FontDescription& font) const;

    void reset() override;

private:
    static size_t slot(int32_t index);

    std::array<TextStyle, StyleCount> m_styles;
    bool m_centred { false };
};

}
