#pragma once

#include "gui/draw/ICanvas.h"

#include <optional>
#include <string>
#include <vector>

namespace s::gui::draw {

// A canvas that keeps what was asked of it, for tests of drawers: the fills with their colours, the
// texts with their fonts, colours and formats, the pictures. Text is measured with a fixed advance
// per character, so the numbers a test expects do not depend on installed fonts.
class RecordingCanvas final : public ICanvas {
public:
    enum class Kind { Fill, Text, Picture };
    struct Operation {
        Kind kind { Kind::Fill };
        Rect rect;
        Colour colour { UnsetColour };
        std::u16string text;
        FontDescription font;
        uint32_t format { 0 };
        bool blend { false };
        std::optional<Rect> clip;
    };

    static constexpr int32_t CharWidth = 6;
    static constexpr int32_t LineHeight = 13;

    void fill(const Rect& r, Colour colour) override;
    void drawText(const Rect& r, std::u16string_view text, const FontDescription& font, Colour colour, uint32_t format) override;
    Size measureText(std::u16string_view text, const FontDescription& font, uint32_t format, int32_t maxWidth) override;
    void drawPicture(const Rect& r, const Picture& picture, bool blend) override;
    void setClip(const Rect& r) override { m_clip = r; }
    void clearClip() override { m_clip.reset(); }
    using ICanvas::fill;

    const std::vector<Operation>& operations() const { return m_operations; }
    std::vector<Operation> fills() const { return only(Kind::Fill); }
    std::vector<Operation> texts() const { return only(Kind::Text); }
    std::vector<Operation> pictures() const { return only(Kind::Picture); }
    // The colour the fills leave at a pixel (the last fill over it wins), unset where none fell.
    Colour colourAt(int32_t x, int32_t y) const;
    // How many pixels of the rectangle carry that colour after all fills.
    int32_t countColour(const Rect& area, Colour colour) const;
    void clear() { m_operations.clear(); }

private:
    std::vector<Operation> only(Kind kind) const;

    std::vector<Operation> m_operations;
    std::optional<Rect> m_clip;
};

}
