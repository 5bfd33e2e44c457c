#include "gui/draw/RecordingCanvas.h"

#include <algorithm>

namespace s::gui::draw {

void RecordingCanvas::fill(const Rect& r, Colour colour)
{
    Rect shown = m_clip ? r.intersected(*m_clip) : r;
    if (shown.isEmpty() || !isSet(colour))
        return;
    Operation op;
    op.kind = Kind::Fill;
    op.rect = shown;
    op.colour = colour;
    op.clip = m_clip;
    m_operations.push_back(std::move(op));
}

void RecordingCanvas::drawText(const Rect& r, std::u16string_view text, const FontDescription& font, Colour colour, uint32_t format)
{
    Operation op;
    op.kind = Kind::Text;
    op.rect = r;
    op.colour = colour;
    op.text = std::u16string(text);
    op.font = font;
    op.format = format;
    op.clip = m_clip;
    m_operations.push_back(std::move(op));
}

Size RecordingCanvas::measureText(std::u16string_view text, const FontDescription&, uint32_t format, int32_t maxWidth)
{
    int32_t width = static_cast<int32_t>(text.size()) * CharWidth;
    if ((format & TextFormat::WordBreak) && maxWidth > 0 && width > maxWidth) {
        int32_t lines = (width + maxWidth - 1) / maxWidth;
        return { maxWidth, lines * LineHeight };
    }
    return { width, LineHeight };
}

void RecordingCanvas::drawPicture(const Rect& r, const Picture&, bool blend)
{
    Operation op;
    op.kind = Kind::Picture;
    op.rect = r;
    op.blend = blend;
    op.clip = m_clip;
    m_operations.push_back(std::move(op));
}

Colour RecordingCanvas::colourAt(int32_t x, int32_t y) const
{
    for (auto it = m_operations.rbegin(); it != m_operations.rend(); ++it) {
        if (it->kind == Kind::Fill && it->rect.contains(x, y))
            return it->colour;
    }
    return UnsetColour;
}

int32_t RecordingCanvas::countColour(const Rect& area, Colour colour) const
{
    int32_t count = 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (colourAt(x, y) == colour)
                ++count;
        }
    }
    return count;
}

std::vector<RecordingCanvas::Operation> RecordingCanvas::only(Kind kind) const
{
    std::vector<Operation> result;
    std::copy_if(m_operations.begin(), m_operations.end(), std::back_inserter(result), [kind](const Operation& op) { return op.kind == kind; });
    return result;
}

}
