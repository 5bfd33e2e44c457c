#include "gui/drawer/GlyphPainter.h"

#include "gui/drawer/SizeGrip.h"

#include <algorithm>
#include <array>
#include <functional>

namespace s::gui::drawer {

using draw::Colour;
using draw::Rect;

namespace {

// Paints shapes into one content rectangle; every fill is cut to it.
class Pen {
public:
    Pen(draw::ICanvas& canvas, const Rect& area, Colour colour)
        : m_canvas(canvas)
        , m_area(area)
        , m_colour(colour)
    {
        side = std::min(area.width(), area.height());
        cx = area.left + area.width() / 2;
        cy = area.top + area.height() / 2;
    }

    void box(int32_t x, int32_t y, int32_t w, int32_t h) const { m_canvas.fill(Rect::fromSize(x, y, w, h).intersected(m_area), m_colour); }
    void dot(int32_t x, int32_t y) const { box(x, y, 1, 1); }
    void outline(int32_t x, int32_t y, int32_t w, int32_t h, int32_t topThickness = 1) const
    {
        box(x, y, w, topThickness);
        box(x, y + h - 1, w, 1);
        box(x, y, 1, h);
        box(x + w - 1, y, 1, h);
    }

    enum Direction { Up, Down, Left, Right };
    // A filled triangle of the given depth whose base is 2 * depth - 1 pixels, built from one-pixel
    // lines; (x, y) is the middle of the base's far side.
    void triangle(Direction d, int32_t x, int32_t y, int32_t depth) const
    {
        for (int32_t i = 0; i < depth; ++i) {
            const int32_t len = 2 * i + 1;
            switch (d) {
            case Up:
                box(x - i, y - depth / 2 + i, len, 1);
                break;
            case Down:
                box(x - i, y + (depth - 1) / 2 - i, len, 1);
                break;
            case Left:
                box(x - depth / 2 + i, y - i, 1, len);
                break;
            case Right:
                box(x + (depth - 1) / 2 - i, y - i, 1, len);
                break;
            }
        }
    }
    int32_t arrowDepth() const { return std::max(1, (side + 1) / 3); }
    // A square of about two thirds of the short side, centred.
    int32_t inner() const { return std::max(3, side * 2 / 3); }
    int32_t innerX() const { return cx - inner() / 2; }
    int32_t innerY() const { return cy - inner() / 2; }
    int32_t bar() const { return side >= 8 ? 2 : 1; }

    void minus() const { box(innerX(), cy - bar() / 2, inner(), bar()); }
    void plus() const
    {
        minus();
        box(cx - bar() / 2, innerY(), bar(), inner());
    }
    void cross(int32_t x, int32_t y, int32_t q) const
    {
        for (int32_t i = 0; i < q; ++i) {
            box(x + i, y + i, i + 1 < q ? 2 : 1, 1);
            box(x + q - 1 - i - (i + 1 < q ? 1 : 0), y + i, i + 1 < q ? 2 : 1, 1);
        }
    }
    void speaker(int32_t x) const
    {
        const int32_t q = inner();
        const int32_t bodyH = std::max(1, q / 3);
        box(x, cy - bodyH / 2, std::max(1, q / 4), bodyH);
        const int32_t cone = std::max(1, q / 3);
        for (int32_t i = 0; i < cone; ++i)
            box(x + q / 4 + i, cy - bodyH / 2 - i, 1, bodyH + 2 * i);
    }

    int32_t side { 0 };
    int32_t cx { 0 };
    int32_t cy { 0 };

private:
    draw::ICanvas& m_canvas;
    Rect m_area;
    Colour m_colour;
};

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

constexpr std::u16string_view ColorPrefix = u"#Color-";

using Shape = void (*)(const Pen&);

struct NamedShape {
    std::u16string_view name;
    Shape shape;
};

const std::array<NamedShape, 35>& shapes()
{
    static const std::array<NamedShape, 35> table { {
        { u"#_", [](const Pen& p) { p.box(p.innerX(), p.cy + p.inner() / 4, p.inner(), p.bar()); } },
        { u"#.", [](const Pen& p) {
             const int32_t q = std::max(2, p.side / 5);
             p.box(p.cx - q / 2, p.cy - q / 2, q, q);
         } },
        { u"#Transform", [](const Pen& p) {
             const int32_t q = p.inner(), s = std::max(2, q * 2 / 3);
             p.outline(p.innerX() + q - s, p.innerY(), s, s, 2);
             p.outline(p.innerX(), p.innerY() + q - s, s, s, 2);
         } },
        { u"#X", [](const Pen& p) { p.cross(p.innerX(), p.innerY(), p.inner()); } },
        { u"#\u2199", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY();
             for (int32_t i = 0; i < q; ++i)
                 p.dot(x + q - 1 - i, y + i);
             p.box(x, y + q - 1, q / 2 + 1, 1);
             p.box(x, y + q / 2, 1, q - q / 2);
         } },
        { u"#\u25A1", [](const Pen& p) { p.outline(p.innerX(), p.innerY(), p.inner(), p.inner(), 2); } },
        { u"#Play", [](const Pen& p) { p.triangle(Pen::Right, p.cx, p.cy, std::max(1, (p.side + 1) / 2 - 1)); } },
        { u"#Pause", [](const Pen& p) {
             const int32_t w = std::max(1, p.side / 4), h = p.inner();
             p.box(p.cx - w - w / 2, p.cy - h / 2, w, h);
             p.box(p.cx + (w + 1) / 2, p.cy - h / 2, w, h);
         } },
        { u"#Stop", [](const Pen& p) {
             const int32_t q = std::max(1, p.side * 3 / 5);
             p.box(p.cx - q / 2, p.cy - q / 2, q, q);
         } },
        { u"#Speaker", [](const Pen& p) { p.speaker(p.innerX()); } },
        { u"#Mute", [](const Pen& p) {
             p.speaker(p.innerX() - 1);
             const int32_t q = std::max(3, p.inner() / 3);
             p.cross(p.innerX() + p.inner() - q, p.cy - q / 2, q);
         } },
        { u"#Right", [](const Pen& p) { p.triangle(Pen::Right, p.cx, p.cy, p.arrowDepth()); } },
        { u"#RightRight", [](const Pen& p) {
             const int32_t d = p.arrowDepth();
             p.triangle(Pen::Right, p.cx - d / 2, p.cy, d);
             p.triangle(Pen::Right, p.cx + (d + 1) / 2, p.cy, d);
         } },
        { u"#Left", [](const Pen& p) { p.triangle(Pen::Left, p.cx, p.cy, p.arrowDepth()); } },
        { u"#LeftLeft", [](const Pen& p) {
             const int32_t d = p.arrowDepth();
             p.triangle(Pen::Left, p.cx - d / 2, p.cy, d);
             p.triangle(Pen::Left, p.cx + (d + 1) / 2, p.cy, d);
         } },
        { u"#Down", [](const Pen& p) { p.triangle(Pen::Down, p.cx, p.cy, p.arrowDepth()); } },
        { u"#Up", [](const Pen& p) { p.triangle(Pen::Up, p.cx, p.cy, p.arrowDepth()); } },
        { u"#ThumbLineV", [](const Pen& p) {
             const int32_t len = std::max(1, p.side / 2);
             p.box(p.cx - 1, p.cy - len / 2, 1, len);
             p.box(p.cx + 1, p.cy - len / 2, 1, len);
         } },
        { u"#ThumbLineH", [](const Pen& p) {
             const int32_t len = std::max(1, p.side / 2);
             p.box(p.cx - len / 2, p.cy - 1, len, 1);
             p.box(p.cx - len / 2, p.cy + 1, len, 1);
         } },
        { u"#Minus", [](const Pen& p) { p.minus(); } },
        { u"#Plus", [](const Pen& p) { p.plus(); } },
        { u"#PlusMinus", [](const Pen& p) {
             const int32_t q = p.inner(), half = std::max(1, q / 2), x = p.cx - half / 2;
             p.box(x, p.innerY() + half / 2, half, 1);
             p.box(p.cx, p.innerY(), 1, half);
             p.box(p.innerX(), p.innerY() + q - 1, q, 1);
         } },
        { u"#Check", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.cy;
             const int32_t shortLeg = std::max(1, q / 3);
             for (int32_t i = 0; i < shortLeg; ++i)
                 p.box(x + i, y - shortLeg / 2 + i, 1, 2);
             const int32_t tipY = y - shortLeg / 2 + shortLeg - 1;
             for (int32_t j = 1; j < q - shortLeg + 1; ++j)
                 p.box(x + shortLeg - 1 + j, tipY - j, 1, 2);
         } },
        { u"#Next", [](const Pen& p) {
             const int32_t d = p.arrowDepth();
             p.triangle(Pen::Right, p.cx - 1, p.cy, d);
             p.box(p.cx - 1 + (d - 1) / 2 + 1, p.cy - (d - 1), std::max(1, p.bar()), 2 * d - 1);
         } },
        { u"#Prev", [](const Pen& p) {
             const int32_t d = p.arrowDepth();
             p.triangle(Pen::Left, p.cx + 1, p.cy, d);
             p.box(p.cx + 1 - d / 2 - 1 - (p.bar() - 1), p.cy - (d - 1), std::max(1, p.bar()), 2 * d - 1);
         } },
        { u"#TreeClosed", [](const Pen& p) {
             const int32_t q = std::min(9, p.side) | 1;
             p.outline(p.cx - q / 2, p.cy - q / 2, q, q);
             p.box(p.cx - q / 2 + 2, p.cy, q - 4, 1);
             p.box(p.cx, p.cy - q / 2 + 2, 1, q - 4);
         } },
        { u"#TreeOpen", [](const Pen& p) {
             const int32_t q = std::min(9, p.side) | 1;
             p.outline(p.cx - q / 2, p.cy - q / 2, q, q);
             p.box(p.cx - q / 2 + 2, p.cy, q - 4, 1);
         } },
        { u"#TurnLeft", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY(), d = std::max(1, q / 3);
             p.box(x + d, y + d - 1, q - d, 2);
             p.box(x + q - 2, y + d - 1, 2, q - d + 1);
             p.triangle(Pen::Left, x + d / 2, y + d - 1, d);
         } },
        { u"#TurnRight", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY(), d = std::max(1, q / 3);
             p.box(x, y + d - 1, q - d, 2);
             p.box(x, y + d - 1, 2, q - d + 1);
             p.triangle(Pen::Right, x + q - 1 - d / 2, y + d - 1, d);
         } },
        { u"#OnTop", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY(), d = std::max(1, q / 3);
             p.box(x, y, q, 2);
             p.triangle(Pen::Up, p.cx, y + 2 + d / 2, d);
             p.box(p.cx - p.bar() / 2, y + 2 + d, p.bar(), std::max(1, q - 2 - d));
         } },
        { u"#FitWindow", [](const Pen& p) {
             const int32_t q = p.inner();
             p.outline(p.innerX(), p.innerY(), q, q);
             const int32_t s = std::max(1, q / 3);
             p.box(p.cx - s / 2, p.cy - s / 2, s, s);
         } },
        { u"#FitToWindow", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY(), m = std::max(1, q / 4);
             p.outline(x, y, q, q);
             p.outline(x + m, y + m, std::max(1, q - 2 * m), std::max(1, q - 2 * m));
         } },
        { u"#Palm", [](const Pen& p) {
             const int32_t q = p.inner(), x = p.innerX(), y = p.innerY();
             const int32_t finger = std::max(1, q / 5);
             static constexpr int32_t lengths[4] = { 3, 1, 0, 2 };
             for (int32_t i = 0; i < 4; ++i)
                 p.box(x + i * (finger + (q >= 10 ? 1 : 0)), y + lengths[i] * q / 10, finger, q / 2);
             p.box(x, y + q / 2, q - 1, q - q / 2);
         } },
        { u"#KeepRatio", [](const Pen& p) {
             const int32_t w = p.inner(), h = std::max(3, w * 2 / 3), x = p.innerX(), y = p.cy - h / 2;
             p.outline(x, y, w, h);
             for (int32_t i = 0; i < w; ++i)
                 p.dot(x + i, y + (h - 1) - i * (h - 1) / std::max(1, w - 1));
         } },
        { u"#Resizer", [](const Pen&) { } },
    } };
    return table;
}

}

std::optional<Colour> GlyphPainter::swatchColour(std::u16string_view name)
{
    if (!name.starts_with(ColorPrefix))
        return std::nullopt;
    std::u16string_view digits = name.substr(ColorPrefix.size());
    if (digits.empty())
        return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < digits.size(); ++i) {
        int v = hexValue(digits[i]);
        if (v < 0)
            return std::nullopt;
        if (i < 8)
            value = (value << 4) | static_cast<uint32_t>(v);
    }
    return value & 0xFFFFFF;
}

bool GlyphPainter::isGlyph(std::u16string_view name)
{
    if (name.empty() || name.front() != u'#')
        return false;
    if (swatchColour(name))
        return true;
    return std::any_of(shapes().begin(), shapes().end(), [&](const NamedShape& s) { return s.name == name; });
}

bool GlyphPainter::paint(draw::ICanvas& canvas, const Rect& r, std::u16string_view name, Colour colour)
{
    if (name.empty() || name.front() != u'#')
        return false;
    if (auto swatch = swatchColour(name)) {
        canvas.fill(r, draw::Black);
        canvas.fill(r.inset(1), *swatch);
        return true;
    }
    if (name == u"#Resizer") {
        SizeGrip::paint(canvas, r, colour, draw::UnsetColour);
        return true;
    }
    for (const NamedShape& s : shapes()) {
        if (s.name == name) {
            if (!r.isEmpty())
                s.shape(Pen(canvas, r, colour));
            return true;
        }
    }
    return false;
}

}
