#include "gui/drawer/listbox/Basic.h"

#include <algorithm>

namespace s::gui::drawer::listbox {

using draw::Colour;
using draw::Rect;
namespace Format = draw::TextFormat;

Basic::Basic()
{
    Basic::reset();
}

void Basic::reset()
{
    m_background = draw::White;
    m_text = draw::Black;
    // The desktop's usual highlight pair; the list may set the platform's own.
    m_selectionBackground = draw::rgb(0, 120, 215);
    m_selectionText = draw::White;
    m_alternate = draw::rgb(238, 238, 238);
    m_button.replace(button::Thin::get());
}

Colour Basic::statusColour(int64_t value)
{
    switch (value) {
    case 0:
    case 1:
        return StatusError;
    case 3:
        return StatusPaused;
    case 10:
        return StatusCompleted;
    default:
        return draw::UnsetColour;
    }
}

Rect Basic::paintCell(draw::ICanvas& canvas, const Cell& cell) const
{
    const Rect& r = cell.rect;
    if (r.isEmpty())
        return {};
    FontDescription font = cell.font ? *cell.font : FontDescription {};

    // Step 1: the background.
    const Colour alternate = draw::orIfUnset(cell.alternateColour, m_alternate);
    canvas.fill(r, cell.oddRow && cell.alternateRows ? alternate : m_background);

    // Step 2: the marks at the left (tree, check box) through the button drawer.
    Rect textArea = r.inset(TextPadding, 0, TextPadding, 0);
    Rect hot;
    const int32_t markSide = std::min(r.height(), 13);
    auto mark = [&]() {
        const Rect m = Rect::fromSize(textArea.left, r.top + (r.height() - markSide) / 2, markSide, markSide);
        textArea.left = m.right + 3;
        return m;
    };
    if (cell.tree != 0) {
        const Rect m = mark();
        m_button->paintGlyph(canvas, m.left, m.top, m.right, m.bottom, cell.tree == 2 ? u"#TreeOpen" : u"#TreeClosed", draw::redOf(m_text),
            draw::greenOf(m_text), draw::blueOf(m_text));
        hot = m;
    }
    if (cell.checkState != 0) {
        const Rect m = mark();
        m_button->paint(canvas, m.left, m.top, m.right, m.bottom, 0, cell.checkState == 2 ? u"#Check" : u"", true, nullptr, true, false, false);
        hot = m;
    }

    // Step 3: a progress cell draws its bar and stops.
    if (cell.progress && cell.value >= 0) {
        paintProgress(canvas, cell, font);
        return hot;
    }

    // Step 4: the selection strip.
    const bool selectedLook = cell.selected || cell.focused;
    if (cell.selected) {
        Rect strip = r;
        if (!cell.fullRowSelect) {
            const int32_t textWidth = canvas.measureText(cell.text, font, Format::SingleLine, textArea.width()).width;
            strip = Rect { textArea.left, r.top, std::min(r.right, textArea.left + textWidth + 4), r.bottom };
        }
        canvas.fill(strip, m_selectionBackground);
    }

    // Step 5: the text.
    if (cell.progress || cell.text.empty())
        return hot;
    Colour colour = draw::orIfUnset(font.textColour, m_text);
    if (cell.status)
        colour = draw::orIfUnset(statusColour(cell.value), colour);
    if (selectedLook)
        colour = m_selectionText;
    uint32_t format = Format::SingleLine | Format::VCentre;
    if (cell.ellipsis)
        format |= Format::EndEllipsis;
    if (cell.alignment == 1)
        format |= Format::HCentre;
    else if (cell.alignment == 2)
        format |= Format::Right;
    canvas.drawText(textArea, cell.text, font, colour, format);
    return hot;
}

void Basic::paintProgress(draw::ICanvas& canvas, const Cell& cell, const FontDescription& font) const
{
    const Rect& r = cell.rect;
    const Rect frame = r.inset(1, 2);
    const Rect interior = r.inset(2, 3);
    canvas.fill(frame, ProgressFrame);
    canvas.fill(interior, draw::White);

    // Values past 2000 and 4000 carry the look of a paused and a failed run.
    int64_t value = cell.value;
    Colour colour = ProgressGreen;
    if (value >= 4000 && value <= 5000) {
        value -= 4000;
        colour = ProgressRed;
    } else if (value >= 2000 && value <= 3000) {
        value -= 2000;
        colour = ProgressGrey;
    }
    value = std::clamp<int64_t>(value, 0, 1000);
    const int64_t barWidth = std::min<int64_t>(value * (r.width() - 4) / 1000, interior.width());
    const Rect bar { interior.left, interior.top, interior.left + static_cast<int32_t>(std::max<int64_t>(0, barWidth)), interior.bottom };
    canvas.fill(bar, colour);

    if (cell.text.empty())
        return;
    const Rect textArea = interior.inset(2, 0, 2, 0);
    const uint32_t format = Format::SingleLine | Format::VCentre | Format::EndEllipsis;
    canvas.drawText(textArea, cell.text, font, draw::Black, format);
    if (!bar.isEmpty()) {
        canvas.setClip(bar);
        canvas.drawText(textArea, cell.text, font, draw::White, format);
        canvas.clearClip();
    }
}

}
