#include "gui/drawer/text/Basic.h"

#include <cassert>

namespace s::gui::drawer::text {

using draw::Colour;
using draw::Rect;
namespace Format = draw::TextFormat;

size_t Basic::slot(int32_t index)
{
    assert(index >= 1 && index <= StyleCount);
    return static_cast<size_t>(index - 1);
}

void Basic::reset()
{
    for (TextStyle& s : m_styles)
        s.clear();
    m_styles[slot(Disabled)].textColour = draw::rgb(161, 161, 146);
    m_styles[slot(Link)].textColour = draw::rgb(0, 170, 0);
    m_styles[slot(Link)].underline = true;
    m_styles[slot(LinkHovered)].textColour = draw::rgb(170, 170, 0);
    m_styles[slot(LinkHovered)].underline = true;
    m_styles[slot(LinkPressed)].textColour = draw::rgb(170, 170, 0);
    m_styles[slot(LinkPressed)].underline = true;
    m_centred = false;
}

uint32_t Basic::formatFor(const FontDescription& font) const
{
    if (m_centred)
        return Format::SingleLine | Format::HCentre | Format::VCentre | Format::EndEllipsis;
    if (font.multiLine)
        return Format::WordBreak;
    if (font.ellipsis)
        return Format::SingleLine | Format::EndEllipsis;
    return Format::SingleLine;
}

void Basic::paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, std::u16string_view text,
    const FontDescription& font) const
{
    const Rect area { left, top, right, bottom };
    if (area.isEmpty() || text.empty())
        return;
    const uint32_t format = formatFor(font);
    const Colour colour = draw::orIfUnset(font.textColour, DefaultTextColour);
    auto at = [&](int32_t dx, int32_t dy, Colour c) { canvas.drawText(area.translated(dx, dy), text, font, c, format); };

    switch (font.effect) {
    case 1:
    case 7: {
        const Colour halo = font.effect == 1 ? font.effectColour1 : font.effectColour2;
        if (draw::isSet(halo)) {
            for (int32_t dy = -1; dy <= 1; ++dy) {
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    if (dx != 0 || dy != 0)
                        at(dx, dy, halo);
                }
            }
        }
        at(0, 0, colour);
        break;
    }
    case 2:
        at(1, 1, colour == draw::Black ? draw::rgb(238, 238, 238) : draw::rgb(119, 119, 119));
        at(0, 0, colour);
        break;
    case 3:
        at(2, 2, draw::Black);
        at(0, 0, draw::White);
        at(1, 1, colour);
        break;
    case 4:
        at(0, 0, draw::White);
        at(0, 2, draw::Black);
        at(0, 1, colour);
        break;
    case 5:
        at(2, 2, draw::White);
        at(0, 0, draw::Black);
        at(1, 1, colour);
        break;
    case 6:
        at(0, 0, draw::Black);
        at(0, 2, draw::White);
        at(0, 1, colour);
        break;
    default:
        at(0, 0, colour);
        break;
    }
}

void Basic::measure(draw::ICanvas& canvas, std::u16string_view text, const FontDescription& font, const Rect& in, int32_t& width,
    int32_t& height) const
{
    draw::Size size = canvas.measureText(text, font, formatFor(font), in.width());
    width = size.width;
    height = size.height;
    if (font.effect == 0)
        return;
    height += 1;
    switch (font.effect) {
    case 1:
    case 3:
    case 5:
    case 7:
        width += 2;
        break;
    case 2:
        width += 1;
        break;
    default:
        break;
    }
}

void Basic::applyStyles(std::span<FontDescription* const> fonts) const
{
    for (size_t i = 0; i < fonts.size() && i < m_styles.size(); ++i) {
        if (fonts[i])
            m_styles[i].applyTo(*fonts[i]);
    }
}

}
