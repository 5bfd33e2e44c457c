#include "gui/drawer/button/Thin.h"

#include "gui/drawer/GlyphPainter.h"

namespace s::gui::drawer::button {

using draw::Colour;
using draw::Rect;

Thin::Thin()
{
    reset();
}

void Thin::reset()
{
    m_face = draw::rgb(213, 235, 107);
    m_switch1 = true;
    m_switch2 = true;
    m_contentShift = false;
    m_cornerKind = 1;
    m_border = m_disabledBorder = m_checkedBorder = m_checkedFill = draw::rgb(120, 120, 120);
    // The owned drawers go back to their pools reset and fresh ones come, so nothing set on the
    // old ones survives.
    m_borderDrawer.replace(border::Thin::get());
    m_textDrawer.replace(text::Basic::get());
    m_checkedTextDrawer.replace(text::Basic::get());
    // Captions sit in the middle of a button; a caption against the left edge looks broken.
    m_textDrawer->setCentred(true);
    m_checkedTextDrawer->setCentred(true);
}

int32_t Thin::effectiveState(int32_t state, bool checked)
{
    if (!checked)
        return state;
    if (state == Hot)
        return Pressed;
    if (state == Pressed)
        return Hot;
    return state;
}

Rect Thin::contentRect(const Rect& button, int32_t state) const
{
    if (m_contentShift && state == Hot)
        return button.inset(1, 1, 3, 3);
    if (m_contentShift && state == Pressed)
        return button.inset(3, 3, 1, 1);
    return button.inset(2);
}

void Thin::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, std::u16string_view text,
    bool raised, const FontDescription* font, bool enabled, bool checked, bool tabLook) const
{
    const Rect area { left, top, right, bottom };
    if (area.isEmpty())
        return;

    // Step 1: the state drawn.
    const int32_t drawn = effectiveState(state, checked);
    // Step 2: the line colour.
    const Colour line = enabled ? (checked ? m_checkedBorder : m_border) : m_disabledBorder;
    auto border = [&](const Rect& r, int32_t style) {
        m_borderDrawer->paint(canvas, r.left, r.top, r.right, r.bottom, style, m_cornerKind, draw::redOf(line), draw::greenOf(line),
            draw::blueOf(line));
    };

    // Step 3: border and fill.
    if (raised) {
        if (checked)
            canvas.fill(area.inset(1), m_checkedFill);
        border(area, drawn == Hot ? border::Thin::Hot : drawn == Pressed ? border::Thin::Sunken : border::Thin::Raised);
    } else if (!checked) {
        if (tabLook)
            border(area, border::Thin::Tab);
    } else {
        const Rect filled { left, top + (tabLook ? 1 : 0), right, bottom };
        canvas.fill(filled, m_checkedFill);
        border(filled, border::Thin::Raised);
    }

    // Step 4: the content rectangle.
    Rect content = contentRect(area, drawn);

    // Step 5: a glyph, else the text.
    if (text.empty())
        return;
    const Colour glyphColour = checked ? draw::orIfUnset(font ? font->textColour : draw::UnsetColour, text::Basic::DefaultTextColour) : line;
    if (GlyphPainter::paint(canvas, content, text, glyphColour))
        return;
    if (!font)
        return;
    if (!raised && !checked && !tabLook)
        content = content.inset(-1, 0);
    m_textDrawer->paint(canvas, content.left, content.top, content.right, content.bottom, text, *font);
}

bool Thin::paintGlyph(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, std::u16string_view name, uint8_t red,
    uint8_t green, uint8_t blue) const
{
    return GlyphPainter::paint(canvas, Rect { left, top, right, bottom }, name, draw::rgb(red, green, blue));
}

}
