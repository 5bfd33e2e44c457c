// Drawers rendered for real: through the QPainter canvas into a QImage (offscreen platform, device
// pixel ratio 1), read back pixel by pixel.

#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/SizeGrip.h"
#include "gui/drawer/border/Thin.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/listbox/Basic.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/text/Basic.h"
#include "gui/drawer/window/Thin.h"
#include "gui/os/UIThread.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>

using namespace s::gui;
using draw::Colour;
using draw::Rect;
using draw::rgb;
using s::gui::os::onUiThread;
using s::thread::Pooled;

namespace {

// Pixels nothing painted keep this colour.
constexpr Colour Untouched = rgb(255, 0, 255);

QImage render(int32_t w, int32_t h, const std::function<void(draw::ICanvas&)>& paint)
{
    return onUiThread([&] {
        QImage image(w, h, QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        image.fill(QColor(255, 0, 255));
        QPainter painter(&image);
        draw::os::PainterCanvas canvas(painter);
        paint(canvas);
        return image;
    });
}

Colour at(const QImage& image, int32_t x, int32_t y)
{
    const QRgb p = image.pixel(x, y);
    return rgb(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
}

int32_t count(const QImage& image, const Rect& r, Colour colour)
{
    int32_t n = 0;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x)
            n += at(image, x, y) == colour ? 1 : 0;
    }
    return n;
}

Colour grey(uint8_t v) { return rgb(v, v, v); }

}

TEST(DrawerPixels, BorderShadesPerStyle)
{
    struct Case {
        uint8_t base;
        int32_t style;
        Colour top, right, bottom, left;
    };
    const Case cases[] = {
        { 200, 0, grey(229), grey(140), grey(100), grey(210) },
        { 200, 1, grey(210), grey(180), grey(170), grey(200) },
        { 200, 2, grey(170), grey(200), grey(210), grey(180) },
        { 200, 3, grey(210), grey(180), Untouched, grey(200) },
        { 120, 0, grey(138), grey(84), grey(60), grey(126) },
        { 120, 1, grey(126), grey(108), grey(102), grey(120) },
        { 120, 2, grey(102), grey(120), grey(126), grey(108) },
        { 120, 3, grey(126), grey(108), Untouched, grey(120) },
    };
    Pooled<drawer::border::Thin> border;
    for (const Case& c : cases) {
        QImage image = render(30, 12, [&](draw::ICanvas& canvas) { border->paint(canvas, 0, 0, 30, 12, c.style, 1, c.base, c.base, c.base); });
        SCOPED_TRACE(testing::Message() << "base " << int(c.base) << " style " << c.style);
        // Corner kind 1: whole edges but the corner pixels.
        EXPECT_EQ(count(image, Rect { 1, 0, 29, 1 }, c.top), 28);
        EXPECT_EQ(count(image, Rect { 29, 1, 30, 11 }, c.right), 10);
        EXPECT_EQ(count(image, Rect { 0, 1, 1, 11 }, c.left), 10);
        if (c.bottom != Untouched) {
            EXPECT_EQ(count(image, Rect { 1, 11, 29, 12 }, c.bottom), 28);
        } else {
            EXPECT_EQ(count(image, Rect { 0, 11, 30, 12 }, Untouched), 30);
        }
        EXPECT_EQ(at(image, 15, 6), Untouched);
    }
}

TEST(DrawerPixels, CornerKinds)
{
    Pooled<drawer::border::Thin> border;
    QImage kind1 = render(10, 10, [&](draw::ICanvas& c) { border->paint(c, 0, 0, 10, 10, 1, 1, 200, 200, 200); });
    for (auto [x, y] : { std::pair { 0, 0 }, { 9, 0 }, { 9, 9 }, { 0, 9 } })
        EXPECT_EQ(at(kind1, x, y), Untouched) << x << "," << y;
    EXPECT_EQ(at(kind1, 1, 0), grey(210));
    EXPECT_EQ(at(kind1, 0, 1), grey(200));

    QImage kind2 = render(10, 10, [&](draw::ICanvas& c) { border->paint(c, 0, 0, 10, 10, 1, 2, 200, 200, 200); });
    // Row by row of the top-left corner: two pixels out, one inner pixel in the top colour.
    EXPECT_EQ(at(kind2, 0, 0), Untouched);
    EXPECT_EQ(at(kind2, 1, 0), Untouched);
    EXPECT_EQ(at(kind2, 2, 0), grey(210));
    EXPECT_EQ(at(kind2, 0, 1), Untouched);
    EXPECT_EQ(at(kind2, 1, 1), grey(210));
    EXPECT_EQ(at(kind2, 0, 2), grey(200));
    EXPECT_EQ(at(kind2, 8, 1), grey(180));
    EXPECT_EQ(at(kind2, 8, 8), grey(170));
    EXPECT_EQ(at(kind2, 1, 8), grey(200));

    // Style 0 softens the corners of kind 1.
    QImage hot = render(10, 10, [&](draw::ICanvas& c) { border->paint(c, 0, 0, 10, 10, 0, 1, 200, 200, 200); });
    EXPECT_EQ(at(hot, 0, 0), grey(190));
    EXPECT_EQ(at(hot, 9, 0), grey(170));
    EXPECT_EQ(at(hot, 9, 9), grey(90));
    EXPECT_EQ(at(hot, 0, 9), grey(170));
}

TEST(DrawerPixels, ButtonStates)
{
    Pooled<drawer::button::Thin> button;
    button->setCornerKind(1);
    button->setContentShift(true);
    struct Case {
        int32_t state;
        bool checked;
        Colour top;
        Colour left;
        // Where the 9 x 9 "#Stop" square of a 16 x 16 content rectangle begins.
        int32_t stopX;
        // The top-left corner pixel: left out by corner kind 1, softened by the hot style.
        Colour corner;
    };
    const Case cases[] = {
        { 0, false, grey(126), grey(120), 6, Untouched },
        { 1, false, grey(138), grey(126), 5, grey(114) },
        { 2, false, grey(102), grey(108), 7, Untouched },
        // Checked: the content shifts as pressed while hot, and the inside is the checked fill.
        { 1, true, grey(102), grey(108), 7, Untouched },
        { 2, true, grey(138), grey(126), 5, grey(114) },
        { 0, true, grey(126), grey(120), 6, Untouched },
    };
    for (const Case& c : cases) {
        QImage image = render(20, 20, [&](draw::ICanvas& canvas) {
            button->paint(canvas, 0, 0, 20, 20, c.state, u"#Stop", true, nullptr, true, c.checked, false);
        });
        SCOPED_TRACE(testing::Message() << "state " << c.state << " checked " << c.checked);
        EXPECT_EQ(at(image, 10, 0), c.top);
        EXPECT_EQ(at(image, 0, 10), c.left);
        EXPECT_EQ(at(image, 0, 0), c.corner);
        // "#Stop" in the line colour (unchecked) or in the font's colour, black (checked).
        const Colour mark = c.checked ? draw::Black : grey(120);
        EXPECT_EQ(at(image, c.stopX, c.stopX), mark);
        EXPECT_NE(at(image, c.stopX - 1, c.stopX - 1), mark);
        EXPECT_EQ(count(image, Rect { c.stopX, c.stopX, c.stopX + 9, c.stopX + 9 }, mark), 81);
        EXPECT_EQ(at(image, 2, 17), c.checked ? grey(120) : Untouched);
    }
}

TEST(DrawerPixels, ColourSwatchAndNamesDrawnAsText)
{
    Pooled<drawer::button::Thin> button;
    FontDescription font;
    font.textColour = draw::Black;
    QImage swatch = render(24, 24, [&](draw::ICanvas& c) { button->paint(c, 0, 0, 24, 24, 0, u"#Color-000000FF", true, &font, true, false, false); });
    // The content rectangle (2, 2)-(22, 22): a black frame around pure red.
    EXPECT_EQ(count(swatch, Rect { 2, 2, 22, 3 }, draw::Black), 20);
    EXPECT_EQ(count(swatch, Rect { 2, 2, 3, 22 }, draw::Black), 20);
    EXPECT_EQ(count(swatch, Rect { 3, 3, 21, 21 }, rgb(255, 0, 0)), 18 * 18);

    for (std::u16string_view name : { u"#Color-", u"#Foo" }) {
        QImage text = render(80, 24, [&](draw::ICanvas& c) { button->paint(c, 0, 0, 80, 24, 0, name, true, &font, true, false, false); });
        EXPECT_EQ(count(text, Rect { 0, 0, 80, 24 }, rgb(255, 0, 0)), 0);
        // Black text pixels, none of them a frame row.
        const int32_t ink = count(text, Rect { 2, 2, 78, 22 }, draw::Black);
        EXPECT_GT(ink, 10) << std::string(name.begin(), name.end());
        EXPECT_LT(count(text, Rect { 2, 2, 78, 3 }, draw::Black), 40);
    }
}

TEST(DrawerPixels, ProgressCells)
{
    Pooled<drawer::listbox::Basic> list;
    struct Case {
        int64_t value;
        Colour bar;
        int32_t width;
    };
    const Case cases[] = {
        { 445, rgb(134, 196, 64), 44 },
        { 4445, rgb(255, 0, 0), 44 },
        { 2445, rgb(170, 170, 170), 44 },
        { 0, Untouched, 0 },
    };
    for (const Case& c : cases) {
        QImage image = render(104, 20, [&](draw::ICanvas& canvas) {
            drawer::listbox::Cell cell;
            cell.rect = Rect { 0, 0, 104, 20 };
            cell.progress = true;
            cell.value = c.value;
            list->paintCell(canvas, cell);
        });
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        // One row through the bar: white cell edge, frame, bar from x = 2, white interior, frame.
        EXPECT_EQ(at(image, 0, 10), draw::White);
        EXPECT_EQ(at(image, 1, 10), rgb(240, 240, 240));
        if (c.width > 0) {
            EXPECT_EQ(count(image, Rect { 0, 10, 104, 11 }, c.bar), c.width);
            EXPECT_EQ(at(image, 2, 10), c.bar);
            EXPECT_EQ(at(image, 45, 10), c.bar);
            EXPECT_EQ(count(image, Rect { 2, 3, 46, 17 }, c.bar), 44 * 14);
        }
        EXPECT_EQ(at(image, 2 + c.width, 10), draw::White);
        EXPECT_EQ(at(image, 102, 10), rgb(240, 240, 240));
        EXPECT_EQ(count(image, Rect { 1, 2, 103, 3 }, rgb(240, 240, 240)), 102);
    }
    QImage empty = render(104, 20, [&](draw::ICanvas& canvas) {
        drawer::listbox::Cell cell;
        cell.rect = Rect { 0, 0, 104, 20 };
        cell.progress = true;
        cell.value = -1;
        list->paintCell(canvas, cell);
    });
    EXPECT_EQ(count(empty, Rect { 0, 0, 104, 20 }, draw::White), 104 * 20);
}

TEST(DrawerPixels, StatusColours)
{
    Pooled<drawer::listbox::Basic> list;
    const std::pair<int64_t, Colour> cases[] = {
        { 10, rgb(68, 132, 5) }, { 0, rgb(255, 0, 0) }, { 1, rgb(255, 0, 0) }, { 3, rgb(153, 153, 153) },
    };
    for (auto [value, colour] : cases) {
        QImage image = render(120, 20, [&](draw::ICanvas& canvas) {
            drawer::listbox::Cell cell;
            cell.rect = Rect { 0, 0, 120, 20 };
            cell.status = true;
            cell.value = value;
            cell.text = u"Completed";
            list->paintCell(canvas, cell);
        });
        const int32_t ink = count(image, Rect { 0, 0, 120, 20 }, colour);
        EXPECT_GT(ink, 20) << value;
        // Nothing but the background and the status colour.
        EXPECT_EQ(ink + count(image, Rect { 0, 0, 120, 20 }, draw::White), 120 * 20) << value;
    }
}

TEST(DrawerPixels, SizeGripDots)
{
    QImage image = render(12, 12, [](draw::ICanvas& c) { drawer::SizeGrip::paint(c, Rect { 0, 0, 12, 12 }); });
    const Colour dark = rgb(184, 181, 161);
    const char* rows[12] = {
        "........DD..",
        "........DDW.",
        ".........WW.",
        "............",
        "....DD..DD..",
        "....DDW.DDW.",
        ".....WW..WW.",
        "............",
        "DD..DD..DD..",
        "DDW.DDW.DDW.",
        ".WW..WW..WW.",
        "............",
    };
    for (int32_t y = 0; y < 12; ++y) {
        for (int32_t x = 0; x < 12; ++x) {
            const char want = rows[y][x];
            const Colour expected = want == 'D' ? dark : want == 'W' ? draw::White : Untouched;
            EXPECT_EQ(at(image, x, y), expected) << x << "," << y;
        }
    }
}

TEST(DrawerPixels, ScrollBarSunkenFrame)
{
    Pooled<drawer::scrollbar::Thin> bar;
    auto g = bar->layout(Rect { 0, 0, 15, 120 }, 1, 0, 100, 20, 0);
    QImage image = render(15, 120, [&](draw::ICanvas& c) { bar->paint(c, g, -1, -1, true); });
    // Sunken, corner kind 1, line colour (120, 120, 120).
    EXPECT_EQ(count(image, Rect { 1, 0, 14, 1 }, grey(102)), 13);
    EXPECT_EQ(count(image, Rect { 14, 1, 15, 119 }, grey(120)), 118);
    EXPECT_EQ(count(image, Rect { 1, 119, 14, 120 }, grey(126)), 13);
    EXPECT_EQ(count(image, Rect { 0, 1, 1, 119 }, grey(108)), 118);
    EXPECT_EQ(at(image, 0, 0), Untouched);
    // The track between thumb and the second arrow is the white background.
    EXPECT_EQ(at(image, 7, 90), draw::White);
}

TEST(DrawerPixels, CentredTextEndsInAnEllipsis)
{
    Pooled<drawer::text::Basic> text;
    text->setCentred(true);
    FontDescription font;
    font.textColour = draw::Black;
    const std::u16string longText(200, u'W');
    QImage image = render(100, 30, [&](draw::ICanvas& c) { text->paint(c, 0, 0, 100, 30, longText, font); });
    // One line: the rows above and below the middle line stay empty, and the line ends before the
    // right edge (the ellipsis, not a cut letter).
    EXPECT_EQ(count(image, Rect { 0, 0, 100, 5 }, draw::Black), 0);
    EXPECT_EQ(count(image, Rect { 0, 25, 100, 30 }, draw::Black), 0);
    EXPECT_GT(count(image, Rect { 0, 5, 100, 25 }, draw::Black), 50);
}

TEST(DrawerPixels, SkinnedWindowFrame)
{
    Pooled<drawer::window::Thin> window;
    window->setCornerKinds(2, 0);
    window->setFrameColour(17, 17, 17);
    window->setBackgroundColour(116, 116, 116);
    QImage image = render(40, 20, [&](draw::ICanvas& c) { window->paint(c, Rect { 0, 0, 40, 20 }); });
    EXPECT_EQ(at(image, 4, 0), Untouched);
    EXPECT_EQ(at(image, 5, 0), rgb(17, 17, 17));
    EXPECT_EQ(at(image, 0, 5), rgb(17, 17, 17));
    EXPECT_EQ(at(image, 0, 19), rgb(17, 17, 17));
    EXPECT_EQ(at(image, 20, 10), rgb(116, 116, 116));
}
