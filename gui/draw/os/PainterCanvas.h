#pragma once

#include "gui/draw/ICanvas.h"

#include <QFont>

class QPainter;

namespace s::gui::draw::os {

// The canvas over a QPainter: integer rectangles, antialiasing off for shapes and text, so a drawer's
// one-pixel lines land on exactly the pixels it names. Widgets paint through it into Qt's back
// buffer, which reaches the screen in one copy.
class PainterCanvas final : public ICanvas {
public:
    explicit PainterCanvas(QPainter& painter);
    ~PainterCanvas() override;

    void fill(const Rect& r, Colour colour) override;
    void drawText(const Rect& r, std::u16string_view text, const FontDescription& font, Colour colour, uint32_t format) override;
    Size measureText(std::u16string_view text, const FontDescription& font, uint32_t format, int32_t maxWidth) override;
    void drawPicture(const Rect& r, const Picture& picture, bool blend) override;
    void setClip(const Rect& r) override;
    void clearClip() override;
    using ICanvas::fill;

    // The Qt font for a description, with its looks (italic, underline, strike-out) and without
    // antialiasing.
    static QFont fontFor(const FontDescription& font);

private:
    QPainter& m_painter;
};

}
