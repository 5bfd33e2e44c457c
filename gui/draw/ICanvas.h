#pragma once

#include "gui/FontDescription.h"
#include "gui/draw/Colour.h"
#include "gui/draw/Picture.h"
#include "gui/draw/Rect.h"
#include "gui/draw/TextFormat.h"

#include <string_view>

namespace s::gui::draw {

// What every drawer paints through: solid fills, text and pictures, all on whole pixels. Drawers
// stay free of the platform, so the same drawer paints a widget, an off-screen image or a recording
// that a test reads back.
class ICanvas {
public:
    virtual ~ICanvas() = default;

    // Nothing is drawn for an empty rectangle or an unset colour.
    virtual void fill(const Rect& r, Colour colour) = 0;
    // The text laid into r by format (TextFormat flags); the colour is never unset here.
    virtual void drawText(const Rect& r, std::u16string_view text, const FontDescription& font, Colour colour, uint32_t format) = 0;
    // The extent the text takes with that format; word breaking wraps at maxWidth.
    virtual Size measureText(std::u16string_view text, const FontDescription& font, uint32_t format, int32_t maxWidth) = 0;
    // The picture scaled into r; with blend its alpha channel mixes it with what is below.
    virtual void drawPicture(const Rect& r, const Picture& picture, bool blend) = 0;
    // Limits every later operation to r until clearClip.
    virtual void setClip(const Rect& r) = 0;
    virtual void clearClip() = 0;

    void fill(int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour) { fill(Rect { left, top, right, bottom }, colour); }
};

}
