#include "gui/drawer/menu/Basic.h"

namespace s::gui::drawer::menu {

using draw::Rect;

Basic::Basic()
{
    Basic::reset();
}

void Basic::reset()
{
    m_text.replace(text::Basic::get());
    m_text->setCentred(true);
    m_button.replace(button::Thin::get());
    m_normalStyle.clear();
    m_openStyle.clear();
    // Without a skin an open title sits on the desktop's light highlight.
    m_hot = draw::rgb(204, 232, 255);
    m_hotFill = true;
    m_shift = false;
    m_innerText = m_innerFrame = m_innerHighlight = draw::UnsetColour;
}

std::vector<Rect> Basic::layoutTitles(draw::ICanvas& canvas, const Rect& bar, std::span<const std::u16string_view> texts,
    const FontDescription& font, int32_t marginX, bool lastRightAligned) const
{
    std::vector<Rect> rects;
    int32_t x = bar.left;
    for (std::u16string_view text : texts) {
        int32_t w = 0, h = 0;
        m_text->measure(canvas, text, font, bar, w, h);
        rects.push_back(Rect { x, bar.top, x + w + 2 * marginX, bar.bottom });
        x = rects.back().right;
    }
    if (lastRightAligned && !rects.empty()) {
        Rect& last = rects.back();
        const int32_t width = last.width();
        last.right = std::max(bar.right, last.left + width);
        last.left = last.right - width;
        if (rects.size() > 1)
            last.left = std::max(last.left, rects[rects.size() - 2].right);
    }
    return rects;
}

void Basic::paintBar(draw::ICanvas& canvas, const Rect& bar, std::span<const Title> titles, const FontDescription& font, int32_t openIndex,
    bool pressed, bool markLast) const
{
    if (bar.isEmpty())
        return;
    for (size_t i = 0; i < titles.size(); ++i) {
        const bool open = static_cast<int32_t>(i) == openIndex;
        paintTitle(canvas, titles[i].rect, titles[i].text, font, open, open && pressed, markLast && i + 1 == titles.size());
    }
}

void Basic::paintTitle(draw::ICanvas& canvas, const Rect& r, std::u16string_view text, const FontDescription& font, bool open, bool pressed,
    bool marked) const
{
    if (r.isEmpty())
        return;
    FontDescription shown = font;
    (open ? m_openStyle : m_normalStyle).applyTo(shown);
    if (marked) {
        shown.textColour = MarkColour;
        shown.underline = open;
    }
    if (open && m_hotFill)
        canvas.fill(r, m_hot);
    Rect textRect = r;
    if (open && m_shift)
        textRect = pressed ? r.translated(1, 1) : r.translated(-1, -1);
    m_text->paint(canvas, textRect.left, textRect.top, textRect.right, textRect.bottom, text, shown);
}

void Basic::paintCollapsed(draw::ICanvas& canvas, const Rect& r, int32_t state, std::u16string_view text, const FontDescription& font) const
{
    FontDescription shown = font;
    m_normalStyle.applyTo(shown);
    m_button->paint(canvas, r.left, r.top, r.right, r.bottom, state, text, true, &shown, true, false, false);
}

}
