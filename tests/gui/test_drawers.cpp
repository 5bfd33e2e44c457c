// Drawers painting into a recording canvas: which fills in which colours, which texts in which
// styles and formats. Real renders of the same numbers are in test_drawer_pixels.cpp.

#include "gui/draw/RecordingCanvas.h"
#include "gui/drawer/GlyphPainter.h"
#include "gui/drawer/SizeGrip.h"
#include "gui/drawer/border/Thin.h"
#include "gui/drawer/border/UnderWindowMenu.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/image/Basic.h"
#include "gui/drawer/listbox/Basic.h"
#include "gui/drawer/menu/Basic.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/statusbar/Basic.h"
#include "gui/drawer/statusbar/BasicResizer.h"
#include "gui/drawer/statusbar/Thin.h"
#include "gui/drawer/text/Basic.h"
#include "gui/drawer/window/Thin.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace s::gui;
using draw::Colour;
using draw::Rect;
using draw::RecordingCanvas;
using draw::rgb;
using s::thread::Pooled;

namespace {

Colour grey(uint8_t v) { return rgb(v, v, v); }

struct EdgeColours {
    Colour top, right, bottom, left;
};

// The middle pixel of each edge of a 20 x 10 border at (0, 0).
EdgeColours edgesOf(const RecordingCanvas& c)
{
    return { c.colourAt(10, 0), c.colourAt(19, 5), c.colourAt(10, 9), c.colourAt(0, 5) };
}

}

TEST(Colours, PalettesWrittenRrggbbBecomeWordsWithRedLow)
{
    EXPECT_EQ(draw::fromRrggbb(0xC3EA00), 0x0000EAC3u);
    EXPECT_EQ(draw::redOf(draw::fromRrggbb(0xC3EA00)), 195);
    EXPECT_EQ(draw::greenOf(draw::fromRrggbb(0xC3EA00)), 234);
    EXPECT_EQ(draw::blueOf(draw::fromRrggbb(0xC3EA00)), 0);
    EXPECT_EQ(draw::fromRrggbb(0xFFA500), rgb(255, 165, 0));
}

TEST(BorderDrawer, ShadesPerStyle)
{
    // 200 x 1.15 is 229.99999999999997 in double precision and is cut toward zero.
    EXPECT_EQ(drawer::border::Thin::shade(grey(200), 1.15), grey(229));
    EXPECT_EQ(drawer::border::Thin::shade(grey(250), 1.15), grey(255));

    struct Case {
        uint8_t base;
        int32_t style;
        EdgeColours expected;
    };
    const Case cases[] = {
        { 200, 1, { grey(210), grey(180), grey(170), grey(200) } },
        { 200, 0, { grey(229), grey(140), grey(100), grey(210) } },
        { 200, 2, { grey(170), grey(200), grey(210), grey(180) } },
        { 200, 3, { grey(210), grey(180), draw::UnsetColour, grey(200) } },
        { 120, 1, { grey(126), grey(108), grey(102), grey(120) } },
        { 120, 0, { grey(138), grey(84), grey(60), grey(126) } },
        { 120, 2, { grey(102), grey(120), grey(126), grey(108) } },
        { 120, 3, { grey(126), grey(108), draw::UnsetColour, grey(120) } },
    };
    for (const Case& c : cases) {
        Pooled<drawer::border::Thin> border;
        RecordingCanvas canvas;
        border->paint(canvas, 0, 0, 20, 10, c.style, 0, c.base, c.base, c.base);
        EdgeColours got = edgesOf(canvas);
        SCOPED_TRACE(testing::Message() << "base " << int(c.base) << " style " << c.style);
        EXPECT_EQ(got.top, c.expected.top);
        EXPECT_EQ(got.right, c.expected.right);
        EXPECT_EQ(got.bottom, c.expected.bottom);
        EXPECT_EQ(got.left, c.expected.left);
    }
}

TEST(BorderDrawer, UnshadedDrawsEveryEdgeInTheBaseColour)
{
    Pooled<drawer::border::Thin> border;
    border->setShaded(false);
    for (int32_t style = 0; style <= 2; ++style) {
        RecordingCanvas canvas;
        border->paint(canvas, 0, 0, 20, 10, style, 0, 200, 200, 200);
        EdgeColours got = edgesOf(canvas);
        EXPECT_EQ(got.top, grey(200));
        EXPECT_EQ(got.right, grey(200));
        EXPECT_EQ(got.bottom, grey(200));
        EXPECT_EQ(got.left, grey(200));
    }
}

TEST(BorderDrawer, CornerKinds)
{
    Pooled<drawer::border::Thin> border;
    const Colour top = grey(210), right = grey(180), bottom = grey(170), left = grey(200);
    {
        RecordingCanvas c;
        border->paint(c, 0, 0, 20, 10, 1, 0, 200, 200, 200);
        // Square corners: the edges run the full length; the sides are drawn over the top edge
        // and the bottom edge over the right side.
        EXPECT_EQ(c.colourAt(0, 0), left);
        EXPECT_EQ(c.colourAt(19, 0), right);
        EXPECT_EQ(c.colourAt(19, 9), bottom);
        EXPECT_EQ(c.colourAt(0, 9), left);
    }
    {
        RecordingCanvas c;
        border->paint(c, 0, 0, 20, 10, 1, 1, 200, 200, 200);
        for (auto [x, y] : { std::pair { 0, 0 }, { 19, 0 }, { 19, 9 }, { 0, 9 } })
            EXPECT_EQ(c.colourAt(x, y), draw::UnsetColour) << x << "," << y;
        EXPECT_EQ(c.colourAt(1, 0), top);
        EXPECT_EQ(c.colourAt(0, 1), left);
        EXPECT_EQ(c.colourAt(19, 1), right);
        EXPECT_EQ(c.colourAt(18, 9), bottom);
    }
    {
        RecordingCanvas c;
        border->paint(c, 0, 0, 20, 10, 1, 2, 200, 200, 200);
        for (auto [x, y] : { std::pair { 1, 0 }, { 0, 1 }, { 18, 0 }, { 19, 1 }, { 18, 9 }, { 19, 8 }, { 1, 9 }, { 0, 8 } })
            EXPECT_EQ(c.colourAt(x, y), draw::UnsetColour) << x << "," << y;
        EXPECT_EQ(c.colourAt(2, 0), top);
        EXPECT_EQ(c.colourAt(1, 1), top);
        EXPECT_EQ(c.colourAt(18, 1), right);
        EXPECT_EQ(c.colourAt(18, 8), bottom);
        EXPECT_EQ(c.colourAt(1, 8), left);
    }
    {
        // The tab style draws no bottom corner pixels.
        RecordingCanvas c;
        border->paint(c, 0, 0, 20, 10, 3, 2, 200, 200, 200);
        EXPECT_EQ(c.colourAt(18, 8), draw::UnsetColour);
        EXPECT_EQ(c.colourAt(1, 8), draw::UnsetColour);
    }
}

TEST(BorderDrawer, TinyAndEmptyRectanglesStayInside)
{
    Pooled<drawer::border::Thin> border;
    for (int32_t size = 0; size <= 4; ++size) {
        for (int32_t kind = 0; kind <= 2; ++kind) {
            for (int32_t style = 0; style <= 3; ++style) {
                RecordingCanvas c;
                border->paint(c, 10, 10, 10 + size, 10 + size, style, kind, 200, 200, 200);
                for (const auto& op : c.fills()) {
                    EXPECT_FALSE(op.rect.isEmpty());
                    EXPECT_GE(op.rect.left, 10);
                    EXPECT_GE(op.rect.top, 10);
                    EXPECT_LE(op.rect.right, 10 + size);
                    EXPECT_LE(op.rect.bottom, 10 + size);
                }
                if (size == 0) {
                    EXPECT_TRUE(c.operations().empty());
                }
            }
        }
    }
    RecordingCanvas c;
    border->paint(c, 0, 0, 20, 10, 1, 3, 200, 200, 200);
    border->paint(c, 0, 0, 20, 10, 4, 1, 200, 200, 200);
    EXPECT_TRUE(c.operations().empty());
}

TEST(BorderDrawer, SeparatorUnderWindowMenu)
{
    Pooled<drawer::border::UnderWindowMenu> line;
    RecordingCanvas c;
    line->paint(c, 0, 0, 30, 2);
    EXPECT_EQ(c.colourAt(5, 0), rgb(172, 168, 153));
    EXPECT_EQ(c.colourAt(5, 1), draw::White);
}

TEST(ButtonDrawer, DefaultsComeBackWithThePool)
{
    drawer::button::Thin* b = drawer::button::Thin::get();
    b->setFaceColour(1, 2, 3);
    b->setCornerKind(2);
    b->setContentShift(true);
    b->textDrawer().style(1).textColour = rgb(1, 1, 1);
    b->release();
    Pooled<drawer::button::Thin> fresh;
    EXPECT_EQ(fresh->getFaceColour(), rgb(213, 235, 107));
    EXPECT_EQ(fresh->getCornerKind(), 1);
    EXPECT_FALSE(fresh->isContentShift());
    EXPECT_TRUE(fresh->getSwitch1());
    EXPECT_TRUE(fresh->getSwitch2());
    EXPECT_EQ(fresh->getBorderColour(), grey(120));
    EXPECT_EQ(fresh->getCheckedFillColour(), grey(120));
    EXPECT_TRUE(fresh->getNormalStyle().isEmpty());
    EXPECT_EQ(fresh->getDisabledStyle().textColour, rgb(161, 161, 146));
}

TEST(ButtonDrawer, StatesPickTheBorderStyleAndTheContentShift)
{
    Pooled<drawer::button::Thin> b;
    b->setCornerKind(0);
    b->setContentShift(true);
    FontDescription font;
    struct Case {
        int32_t state;
        bool checked;
        Colour top;
        Rect text;
    };
    // Border colour (120, 120, 120): raised top 126, hot top 138, sunken top 102.
    const Case cases[] = {
        { 0, false, grey(126), Rect { 2, 2, 38, 18 } },
        { 1, false, grey(138), Rect { 1, 1, 37, 17 } },
        { 2, false, grey(102), Rect { 3, 3, 39, 19 } },
        // Checked: hot is drawn pressed, pressed is drawn hot, normal stays.
        { 1, true, grey(102), Rect { 3, 3, 39, 19 } },
        { 2, true, grey(138), Rect { 1, 1, 37, 17 } },
        { 0, true, grey(126), Rect { 2, 2, 38, 18 } },
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        b->paint(canvas, 0, 0, 40, 20, c.state, u"OK", true, &font, true, c.checked, false);
        SCOPED_TRACE(testing::Message() << "state " << c.state << " checked " << c.checked);
        EXPECT_EQ(canvas.colourAt(20, 0), c.top);
        auto texts = canvas.texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rect, c.text);
        EXPECT_EQ(texts[0].text, u"OK");
        EXPECT_EQ(canvas.colourAt(20, 10), c.checked ? grey(120) : draw::UnsetColour);
    }
}

TEST(ButtonDrawer, FlatTabAndCheckedFlatLooks)
{
    Pooled<drawer::button::Thin> b;
    FontDescription font;
    {
        RecordingCanvas c;
        b->paint(c, 0, 0, 40, 20, 0, u"Flat", false, &font, true, false, false);
        EXPECT_TRUE(c.fills().empty());
        ASSERT_EQ(c.texts().size(), 1u);
        // One pixel wider on each side than a raised button's text.
        EXPECT_EQ(c.texts()[0].rect, (Rect { 1, 2, 39, 18 }));
    }
    {
        RecordingCanvas c;
        b->paint(c, 0, 0, 40, 20, 0, u"Tab", false, &font, true, false, true);
        EXPECT_EQ(c.colourAt(20, 0), grey(126));
        EXPECT_EQ(c.colourAt(20, 19), draw::UnsetColour);
    }
    {
        RecordingCanvas c;
        b->paint(c, 0, 0, 40, 20, 0, u"Tab", false, &font, true, true, true);
        // The checked tab fill starts one pixel lower.
        EXPECT_EQ(c.colourAt(20, 0), draw::UnsetColour);
        EXPECT_EQ(c.colourAt(20, 10), grey(120));
    }
    {
        // A disabled button draws its border in the disabled colour.
        b->setDisabledBorderColour(200, 200, 200);
        RecordingCanvas c;
        b->paint(c, 0, 0, 40, 20, 0, u"Off", true, &font, false, false, false);
        EXPECT_EQ(c.colourAt(0, 5), grey(200));
    }
}

TEST(ButtonDrawer, UnknownCornerKindStillDrawsTheContentAndNoFontDrawsNoText)
{
    Pooled<drawer::button::Thin> b;
    b->setCornerKind(7);
    FontDescription font;
    RecordingCanvas c;
    b->paint(c, 0, 0, 40, 20, 0, u"Text", true, &font, true, false, false);
    EXPECT_TRUE(c.fills().empty());
    EXPECT_EQ(c.texts().size(), 1u);

    RecordingCanvas none;
    b->paint(none, 0, 0, 40, 20, 0, u"Text", true, nullptr, true, false, false);
    EXPECT_TRUE(none.texts().empty());
    RecordingCanvas empty;
    b->paint(empty, 5, 5, 5, 20, 0, u"Text", true, &font, true, false, false);
    EXPECT_TRUE(empty.operations().empty());
}

TEST(GlyphPainter, ColourSwatchesAndNamesThatFallBackToText)
{
    Pooled<drawer::button::Thin> b;
    b->setCornerKind(0);
    FontDescription font;
    {
        RecordingCanvas c;
        b->paint(c, 0, 0, 20, 20, 0, u"#Color-000000FF", true, &font, true, false, false);
        EXPECT_TRUE(c.texts().empty());
        // Content rectangle (2,2)-(18,18): a black frame around pure red.
        EXPECT_EQ(c.colourAt(2, 2), draw::Black);
        EXPECT_EQ(c.colourAt(17, 10), draw::Black);
        EXPECT_EQ(c.colourAt(3, 3), rgb(255, 0, 0));
        EXPECT_EQ(c.colourAt(16, 16), rgb(255, 0, 0));
    }
    for (std::u16string_view name : { u"#Color-", u"#Color-XYZ", u"#Color-00FF00G", u"#Foo", u"#", u"Plain" }) {
        RecordingCanvas c;
        b->paint(c, 0, 0, 20, 20, 0, name, true, &font, true, false, false);
        ASSERT_EQ(c.texts().size(), 1u);
        EXPECT_EQ(c.texts()[0].text, name);
    }
    EXPECT_EQ(drawer::GlyphPainter::swatchColour(u"#Color-FF"), std::optional<Colour>(rgb(255, 0, 0)));
    EXPECT_EQ(drawer::GlyphPainter::swatchColour(u"#Color-00FF00"), std::optional<Colour>(rgb(0, 0xFF, 0)));
    // Only the first eight digits count.
    EXPECT_EQ(drawer::GlyphPainter::swatchColour(u"#Color-000000FF99"), std::optional<Colour>(rgb(255, 0, 0)));
}

TEST(GlyphPainter, EveryKnownNameDrawsInsideItsRectangle)
{
    const std::u16string_view names[] = { u"#_", u"#.", u"#Transform", u"#X", u"#\u2199", u"#\u25A1", u"#Play", u"#Pause", u"#Stop",
        u"#Speaker", u"#Mute", u"#Right", u"#RightRight", u"#Left", u"#LeftLeft", u"#Down", u"#Up", u"#ThumbLineV", u"#ThumbLineH",
        u"#Minus", u"#Plus", u"#PlusMinus", u"#Check", u"#Next", u"#Prev", u"#TreeClosed", u"#TreeOpen", u"#TurnLeft", u"#TurnRight",
        u"#OnTop", u"#FitWindow", u"#FitToWindow", u"#Palm", u"#KeepRatio", u"#Resizer" };
    for (std::u16string_view name : names) {
        for (int32_t side : { 1, 3, 7, 11, 16, 24 }) {
            RecordingCanvas c;
            const Rect r = Rect::fromSize(5, 5, side, side);
            EXPECT_TRUE(drawer::GlyphPainter::paint(c, r, name, draw::Black));
            if (side >= 11) {
                EXPECT_FALSE(c.fills().empty()) << std::string(name.begin(), name.end());
            }
            for (const auto& op : c.fills()) {
                EXPECT_GE(op.rect.left, r.left);
                EXPECT_GE(op.rect.top, r.top);
                EXPECT_LE(op.rect.right, r.right);
                EXPECT_LE(op.rect.bottom, r.bottom);
            }
        }
    }
}

TEST(GlyphPainter, ShapesWithAFixedForm)
{
    const Rect r = Rect::fromSize(0, 0, 11, 11);
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#ThumbLineV", draw::Black);
        // Two vertical one-pixel lines two pixels apart at the horizontal middle.
        EXPECT_EQ(c.colourAt(4, 5), draw::Black);
        EXPECT_EQ(c.colourAt(5, 5), draw::UnsetColour);
        EXPECT_EQ(c.colourAt(6, 5), draw::Black);
        EXPECT_EQ(c.countColour(Rect { 0, 0, 11, 1 }, draw::Black), 0);
    }
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#ThumbLineH", draw::Black);
        EXPECT_EQ(c.colourAt(5, 4), draw::Black);
        EXPECT_EQ(c.colourAt(5, 5), draw::UnsetColour);
        EXPECT_EQ(c.colourAt(5, 6), draw::Black);
    }
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#Up", draw::Black);
        // A triangle: each row one pixel wider on both sides than the row above.
        int32_t previous = 0;
        int32_t rows = 0;
        for (int32_t y = 0; y < 11; ++y) {
            int32_t n = c.countColour(Rect { 0, y, 11, y + 1 }, draw::Black);
            if (n == 0)
                continue;
            EXPECT_EQ(n, previous == 0 ? 1 : previous + 2);
            previous = n;
            ++rows;
        }
        EXPECT_GE(rows, 3);
    }
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#Stop", draw::Black);
        EXPECT_EQ(c.countColour(r, draw::Black), 36);
    }
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#Pause", draw::Black);
        EXPECT_EQ(c.colourAt(5, 5), draw::UnsetColour);
        EXPECT_GT(c.countColour(Rect { 0, 0, 5, 11 }, draw::Black), 0);
        EXPECT_GT(c.countColour(Rect { 6, 0, 11, 11 }, draw::Black), 0);
    }
    {
        RecordingCanvas c;
        drawer::GlyphPainter::paint(c, r, u"#Minus", draw::Black);
        EXPECT_EQ(c.countColour(Rect { 0, 0, 11, 4 }, draw::Black), 0);
        EXPECT_GT(c.countColour(Rect { 0, 4, 11, 6 }, draw::Black), 0);
    }
}

TEST(SizeGrip, DarkSquaresOfATwelveByTwelveArea)
{
    RecordingCanvas c;
    drawer::SizeGrip::paint(c, Rect { 0, 0, 12, 12 });
    const Colour dark = rgb(184, 181, 161);
    const std::pair<int32_t, int32_t> dots[] = { { 8, 0 }, { 8, 4 }, { 4, 4 }, { 8, 8 }, { 4, 8 }, { 0, 8 } };
    for (auto [x, y] : dots) {
        EXPECT_EQ(c.countColour(Rect::fromSize(x, y, 2, 2), dark), 4) << x << "," << y;
        // The white square one pixel down and right shows below and right of the dark one.
        EXPECT_EQ(c.colourAt(x + 2, y + 2), draw::White) << x << "," << y;
    }
    EXPECT_EQ(c.countColour(Rect { 0, 0, 12, 12 }, dark), 24);
    EXPECT_EQ(c.countColour(Rect { 0, 0, 8, 8 }, dark), 4);
}

TEST(TextDrawer, StyleDefaultsAndApplyingOnlyWhatIsSet)
{
    Pooled<drawer::text::Basic> t;
    EXPECT_TRUE(t->getStyle(1).isEmpty());
    EXPECT_EQ(t->getStyle(2).textColour, rgb(161, 161, 146));
    EXPECT_EQ(t->getStyle(3).textColour, rgb(0, 170, 0));
    EXPECT_EQ(t->getStyle(3).underline, true);
    EXPECT_EQ(t->getStyle(4).textColour, rgb(170, 170, 0));
    EXPECT_EQ(t->getStyle(5).textColour, rgb(170, 170, 0));
    EXPECT_FALSE(t->isCentred());

    FontDescription normal, disabled;
    normal.face = u"Serif";
    normal.points = 12;
    normal.textColour = rgb(1, 2, 3);
    disabled = normal;
    t->style(1).weight = 700;
    FontDescription* fonts[] = { &normal, &disabled, nullptr };
    t->applyStyles(fonts);
    EXPECT_EQ(normal.weight, 700);
    EXPECT_EQ(normal.face, u"Serif");
    EXPECT_EQ(normal.points, 12);
    EXPECT_EQ(normal.textColour, rgb(1, 2, 3));
    EXPECT_EQ(disabled.weight, 400);
    EXPECT_EQ(disabled.textColour, rgb(161, 161, 146));
}

TEST(TextDrawer, FormatsFollowCentringAndTheFontsFlags)
{
    namespace F = draw::TextFormat;
    Pooled<drawer::text::Basic> t;
    FontDescription font;
    EXPECT_EQ(t->formatFor(font), F::SingleLine);
    font.ellipsis = true;
    EXPECT_EQ(t->formatFor(font), F::SingleLine | F::EndEllipsis);
    font.multiLine = true;
    EXPECT_EQ(t->formatFor(font), F::WordBreak);
    t->setCentred(true);
    EXPECT_EQ(t->formatFor(font), F::SingleLine | F::HCentre | F::VCentre | F::EndEllipsis);
}

TEST(TextDrawer, EffectsDrawTheirLayersInOrder)
{
    Pooled<drawer::text::Basic> t;
    FontDescription font;
    font.textColour = rgb(10, 20, 30);
    font.effectColour1 = rgb(200, 0, 0);
    font.effectColour2 = rgb(0, 200, 0);
    using Layer = std::tuple<int32_t, int32_t, Colour>;
    struct Case {
        int32_t effect;
        std::vector<Layer> layers;
    };
    const Colour c = rgb(10, 20, 30);
    const Case cases[] = {
        { 0, { { 0, 0, c } } },
        { 2, { { 1, 1, grey(119) }, { 0, 0, c } } },
        { 3, { { 2, 2, draw::Black }, { 0, 0, draw::White }, { 1, 1, c } } },
        { 4, { { 0, 0, draw::White }, { 0, 2, draw::Black }, { 0, 1, c } } },
        { 5, { { 2, 2, draw::White }, { 0, 0, draw::Black }, { 1, 1, c } } },
        { 6, { { 0, 0, draw::Black }, { 0, 2, draw::White }, { 0, 1, c } } },
    };
    for (const Case& cs : cases) {
        font.effect = cs.effect;
        RecordingCanvas canvas;
        t->paint(canvas, 10, 10, 100, 30, u"Text", font);
        auto texts = canvas.texts();
        ASSERT_EQ(texts.size(), cs.layers.size()) << "effect " << cs.effect;
        for (size_t i = 0; i < texts.size(); ++i) {
            auto [dx, dy, colour] = cs.layers[i];
            EXPECT_EQ(texts[i].rect, (Rect { 10 + dx, 10 + dy, 100 + dx, 30 + dy })) << "effect " << cs.effect << " layer " << i;
            EXPECT_EQ(texts[i].colour, colour) << "effect " << cs.effect << " layer " << i;
        }
    }
    // A halo: eight neighbours in the effect colour, then the text.
    for (int32_t effect : { 1, 7 }) {
        font.effect = effect;
        RecordingCanvas canvas;
        t->paint(canvas, 10, 10, 100, 30, u"Text", font);
        auto texts = canvas.texts();
        ASSERT_EQ(texts.size(), 9u);
        EXPECT_EQ(texts[0].colour, effect == 1 ? rgb(200, 0, 0) : rgb(0, 200, 0));
        EXPECT_EQ(texts[8].colour, c);
        EXPECT_EQ(texts[8].rect, (Rect { 10, 10, 100, 30 }));
    }
    // A black text's shadow is light; an unset halo colour draws only the text, never white.
    font.textColour = draw::Black;
    font.effect = 2;
    RecordingCanvas shadow;
    t->paint(shadow, 0, 0, 50, 20, u"Text", font);
    EXPECT_EQ(shadow.texts()[0].colour, grey(238));
    font.effect = 1;
    font.effectColour1 = draw::UnsetColour;
    font.textColour = draw::UnsetColour;
    RecordingCanvas plain;
    t->paint(plain, 0, 0, 50, 20, u"Text", font);
    ASSERT_EQ(plain.texts().size(), 1u);
    EXPECT_EQ(plain.texts()[0].colour, draw::Black);
}

TEST(TextDrawer, MeasureAddsWhatTheEffectTakes)
{
    Pooled<drawer::text::Basic> t;
    RecordingCanvas canvas;
    FontDescription font;
    const int32_t base = 4 * RecordingCanvas::CharWidth;
    const std::pair<int32_t, std::pair<int32_t, int32_t>> cases[] = {
        { 0, { 0, 0 } }, { 1, { 2, 1 } }, { 2, { 1, 1 } }, { 3, { 2, 1 } }, { 4, { 0, 1 } }, { 5, { 2, 1 } }, { 6, { 0, 1 } }, { 7, { 2, 1 } },
    };
    for (auto [effect, extra] : cases) {
        font.effect = effect;
        int32_t w = 0, h = 0;
        t->measure(canvas, u"Text", font, Rect { 0, 0, 200, 50 }, w, h);
        EXPECT_EQ(w, base + extra.first) << effect;
        EXPECT_EQ(h, RecordingCanvas::LineHeight + extra.second) << effect;
    }
}

TEST(ListDrawer, ProgressCells)
{
    Pooled<drawer::listbox::Basic> list;
    FontDescription font;
    const Colour frame = rgb(240, 240, 240);
    struct Case {
        int64_t value;
        Colour bar;
        int32_t barWidth;
    };
    const Case cases[] = {
        { 445, rgb(134, 196, 64), 44 },
        { 4445, rgb(255, 0, 0), 44 },
        { 2445, rgb(170, 170, 170), 44 },
        { 1000, rgb(134, 196, 64), 100 },
        { 0, draw::UnsetColour, 0 },
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        drawer::listbox::Cell cell;
        cell.rect = Rect { 0, 0, 104, 20 };
        cell.progress = true;
        cell.value = c.value;
        cell.font = &font;
        list->paintCell(canvas, cell);
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        // Frame inset 1 and 2, white interior inset 2 and 3.
        EXPECT_EQ(canvas.colourAt(1, 2), frame);
        EXPECT_EQ(canvas.colourAt(102, 17), frame);
        EXPECT_EQ(canvas.colourAt(0, 10), draw::White);
        EXPECT_EQ(canvas.colourAt(1, 10), frame);
        if (c.barWidth > 0) {
            EXPECT_EQ(canvas.countColour(Rect { 0, 10, 104, 11 }, c.bar), c.barWidth);
            EXPECT_EQ(canvas.colourAt(2, 10), c.bar);
            EXPECT_EQ(canvas.colourAt(2 + c.barWidth - 1, 10), c.bar);
            EXPECT_EQ(canvas.colourAt(2, 2), frame);
            EXPECT_EQ(canvas.colourAt(2, 3), c.bar);
        }
        if (c.barWidth < 100) {
            EXPECT_EQ(canvas.colourAt(2 + c.barWidth, 10), draw::White);
        }
    }
    // No value yet: an ordinary empty cell.
    RecordingCanvas empty;
    drawer::listbox::Cell cell;
    cell.rect = Rect { 0, 0, 104, 20 };
    cell.progress = true;
    cell.value = -1;
    list->paintCell(empty, cell);
    EXPECT_EQ(empty.fills().size(), 1u);
    EXPECT_EQ(empty.colourAt(1, 2), draw::White);
    EXPECT_TRUE(empty.texts().empty());
}

TEST(ListDrawer, ProgressTextIsBlackAndWhiteOverTheBar)
{
    Pooled<drawer::listbox::Basic> list;
    RecordingCanvas canvas;
    drawer::listbox::Cell cell;
    cell.rect = Rect { 0, 0, 104, 20 };
    cell.progress = true;
    cell.value = 445;
    cell.text = u"44.5%";
    list->paintCell(canvas, cell);
    auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].colour, draw::Black);
    EXPECT_FALSE(texts[0].clip.has_value());
    EXPECT_EQ(texts[1].colour, draw::White);
    ASSERT_TRUE(texts[1].clip.has_value());
    EXPECT_EQ(*texts[1].clip, (Rect { 2, 3, 46, 17 }));
}

TEST(ListDrawer, StatusColoursAndRowLooks)
{
    Pooled<drawer::listbox::Basic> list;
    FontDescription font;
    font.textColour = rgb(1, 2, 3);
    const std::pair<int64_t, Colour> cases[] = {
        { 10, rgb(68, 132, 5) }, { 0, rgb(255, 0, 0) }, { 1, rgb(255, 0, 0) }, { 3, rgb(153, 153, 153) }, { 5, rgb(1, 2, 3) },
    };
    for (auto [value, colour] : cases) {
        RecordingCanvas canvas;
        drawer::listbox::Cell cell;
        cell.rect = Rect { 0, 0, 80, 18 };
        cell.status = true;
        cell.value = value;
        cell.text = u"State";
        cell.font = &font;
        list->paintCell(canvas, cell);
        ASSERT_EQ(canvas.texts().size(), 1u);
        EXPECT_EQ(canvas.texts()[0].colour, colour) << value;
    }
    // Odd rows with alternate colouring; selected rows with and without full-row select.
    RecordingCanvas odd;
    drawer::listbox::Cell cell;
    cell.rect = Rect { 0, 0, 80, 18 };
    cell.text = u"ab";
    cell.font = &font;
    cell.oddRow = true;
    cell.alternateRows = true;
    list->paintCell(odd, cell);
    EXPECT_EQ(odd.colourAt(40, 9), rgb(238, 238, 238));
    cell.oddRow = false;
    cell.selected = true;
    RecordingCanvas strip;
    list->paintCell(strip, cell);
    // From the label's left (4) to four pixels past its text (2 characters of 6 pixels).
    EXPECT_EQ(strip.colourAt(4, 9), list->getSelectionBackgroundColour());
    EXPECT_EQ(strip.colourAt(19, 9), list->getSelectionBackgroundColour());
    EXPECT_EQ(strip.colourAt(20, 9), draw::White);
    EXPECT_EQ(strip.texts()[0].colour, list->getSelectionTextColour());
    cell.fullRowSelect = true;
    RecordingCanvas full;
    list->paintCell(full, cell);
    EXPECT_EQ(full.colourAt(79, 9), list->getSelectionBackgroundColour());
}

TEST(ListDrawer, AlignmentAndMarks)
{
    namespace F = draw::TextFormat;
    Pooled<drawer::listbox::Basic> list;
    for (int32_t align : { 0, 1, 2 }) {
        RecordingCanvas canvas;
        drawer::listbox::Cell cell;
        cell.rect = Rect { 0, 0, 80, 18 };
        cell.text = u"x";
        cell.alignment = align;
        list->paintCell(canvas, cell);
        const uint32_t format = canvas.texts()[0].format;
        EXPECT_TRUE(format & F::SingleLine);
        EXPECT_EQ((format & F::HCentre) != 0, align == 1);
        EXPECT_EQ((format & F::Right) != 0, align == 2);
    }
    RecordingCanvas canvas;
    drawer::listbox::Cell cell;
    cell.rect = Rect { 0, 0, 80, 18 };
    cell.text = u"x";
    cell.checkState = 2;
    Rect hot = list->paintCell(canvas, cell);
    EXPECT_FALSE(hot.isEmpty());
    EXPECT_GE(canvas.texts()[0].rect.left, hot.right);
}

TEST(ScrollBarDrawer, PartsHitTestAndDragMapping)
{
    Pooled<drawer::scrollbar::Thin> bar;
    EXPECT_EQ(bar->getWidth(), 15);
    using D = drawer::scrollbar::Thin;
    // A vertical bar 15 x 200 framed: inner 13 wide, arrows 13 long, track 172.
    D::Geometry g = bar->layout(Rect { 0, 0, 15, 200 }, 1, 0, 100, 10, 0);
    ASSERT_TRUE(g.hasThumb);
    EXPECT_EQ(g.trackStart, 14);
    EXPECT_EQ(g.trackLength, 172);
    EXPECT_EQ(g.parts[D::FirstArrow], (Rect { 1, 1, 14, 14 }));
    EXPECT_EQ(g.parts[D::SecondArrow], (Rect { 1, 186, 14, 199 }));
    EXPECT_EQ(g.parts[D::Thumb].top, 14);
    EXPECT_EQ(g.thumbLength, 172 * 10 / 110);
    EXPECT_EQ(D::hitTest(g, 7, 0), D::FirstArrow);
    EXPECT_EQ(D::hitTest(g, 7, 5), D::FirstArrow);
    EXPECT_EQ(D::hitTest(g, 7, 20), D::Thumb);
    EXPECT_EQ(D::hitTest(g, 7, 100), D::TrackAfter);
    EXPECT_EQ(D::hitTest(g, 7, 199), D::SecondArrow);
    EXPECT_EQ(D::hitTest(g, 20, 100), D::None);
    EXPECT_EQ(D::hitTest(g, 7, 200), D::None);

    D::Geometry middle = bar->layout(Rect { 0, 0, 15, 200 }, 1, 0, 100, 10, 50);
    EXPECT_EQ(D::hitTest(middle, 7, 20), D::TrackBefore);
    const int32_t travel = middle.travel;
    EXPECT_EQ(travel, 172 - middle.thumbLength);
    EXPECT_EQ(D::dragValue(middle, -5, 0, 100, 50), 0);
    EXPECT_EQ(D::dragValue(middle, 0, 0, 100, 50), 0);
    EXPECT_EQ(D::dragValue(middle, travel, 0, 100, 50), 100);
    EXPECT_EQ(D::dragValue(middle, travel + 40, 0, 100, 50), 100);
    EXPECT_EQ(D::dragValue(middle, travel / 2, 0, 100, 50), (travel / 2 * 100 * 2 + travel) / (travel * 2));
    EXPECT_EQ(D::dragValue(middle, travel / 2, 10, 110, 50), 10 + (travel / 2 * 100 * 2 + travel) / (travel * 2));

    // Shorter than its two arrows: no thumb, and a drag leaves the value alone.
    D::Geometry shortBar = bar->layout(Rect { 0, 0, 15, 20 }, 1, 0, 100, 10, 30);
    EXPECT_FALSE(shortBar.hasThumb);
    EXPECT_EQ(D::dragValue(shortBar, 5, 0, 100, 30), 30);
    EXPECT_NE(D::hitTest(shortBar, 7, 5), D::Thumb);
    RecordingCanvas canvas;
    bar->paint(canvas, shortBar, -1, -1, true);
    for (const auto& op : canvas.fills()) {
        EXPECT_GE(op.rect.top, 0);
        EXPECT_LE(op.rect.bottom, 20);
    }

    // Horizontal bars run the same along x.
    D::Geometry h = bar->layout(Rect { 0, 0, 200, 15 }, 0, 0, 100, 10, 100);
    EXPECT_EQ(h.parts[D::Thumb].right, 186);
    EXPECT_EQ(D::hitTest(h, 190, 7), D::SecondArrow);
}

TEST(ScrollBarDrawer, SunkenFrameAndArrows)
{
    Pooled<drawer::scrollbar::Thin> bar;
    auto g = bar->layout(Rect { 0, 0, 15, 100 }, 1, 0, 10, 5, 0);
    RecordingCanvas c;
    bar->paint(c, g, -1, -1, true);
    // Sunken frame of (120, 120, 120), corner kind 1: top 102, right 120, bottom 126, left 108.
    EXPECT_EQ(c.colourAt(7, 0), grey(102));
    EXPECT_EQ(c.colourAt(14, 50), grey(120));
    EXPECT_EQ(c.colourAt(7, 99), grey(126));
    EXPECT_EQ(c.colourAt(0, 50), grey(108));
    EXPECT_EQ(c.colourAt(0, 0), draw::UnsetColour);
    // The arrow buttons are raised borders in the line colour; the track is white.
    EXPECT_EQ(c.colourAt(7, 1), grey(126));
    EXPECT_EQ(c.colourAt(7, 90 - 1), draw::White);
}

TEST(StatusBarDrawers, NoGradientOnThisPlatformAndTheGrip)
{
    Pooled<drawer::statusbar::Basic> basic;
    EXPECT_TRUE(basic->hasGradient());
    RecordingCanvas plain;
    basic->paint(plain, 0, 0, 300, 22);
    EXPECT_TRUE(plain.operations().empty());

    Pooled<drawer::statusbar::BasicResizer> resizer;
    RecordingCanvas grip;
    resizer->paint(grip, 0, 0, 300, 22);
    EXPECT_EQ(grip.countColour(Rect { 0, 0, 300, 22 }, rgb(184, 181, 161)), 24);
    EXPECT_EQ(grip.countColour(Rect::fromSize(296, 10, 2, 2), rgb(184, 181, 161)), 4);

    Pooled<drawer::statusbar::Thin> thin;
    thin->setColour(1, 2, 3);
    thin->setGrip(true);
    RecordingCanvas t;
    thin->paint(t, 0, 0, 300, 22);
    EXPECT_EQ(t.colourAt(150, 0), rgb(1, 2, 3));
    EXPECT_EQ(t.countColour(Rect { 0, 1, 300, 22 }, rgb(1, 2, 3)), 24);
}

TEST(WindowDrawer, RegionAndFrameAgree)
{
    Pooled<drawer::window::Thin> w;
    for (int32_t kind : { 0, 1, 2 }) {
        w->setCornerKinds(kind, kind);
        const Rect area { 0, 0, 60, 40 };
        draw::Region region = w->makeRegion(area);
        RecordingCanvas c;
        w->paint(c, area);
        for (int32_t y = 0; y < 40; ++y) {
            for (int32_t x = 0; x < 60; ++x) {
                const Colour colour = c.colourAt(x, y);
                EXPECT_EQ(region.contains(x, y), colour != draw::UnsetColour) << kind << ": " << x << "," << y;
            }
        }
        // The outermost pixel of every row and column inside the region is frame.
        EXPECT_EQ(c.colourAt(30, 0), w->getFrameColour());
        EXPECT_EQ(c.colourAt(0, 20), w->getFrameColour());
        EXPECT_EQ(c.colourAt(30, 20), w->getBackgroundColour());
        EXPECT_EQ(region.contains(0, 0), kind == 0);
    }
    // The stepped quarter circle of radius 5 leaves 5, 3, 2, 2 and 1 pixels out.
    w->setCornerKinds(2, 0);
    draw::Region region = w->makeRegion(Rect { 0, 0, 60, 40 });
    const int32_t insets[] = { 5, 3, 2, 2, 1, 0 };
    for (int32_t row = 0; row < 6; ++row) {
        EXPECT_FALSE(region.contains(insets[row] - 1, row)) << row;
        EXPECT_TRUE(region.contains(insets[row], row)) << row;
        EXPECT_TRUE(region.contains(59 - insets[row], row)) << row;
    }
    EXPECT_TRUE(region.contains(0, 39));
    w->setTransparent(true);
    RecordingCanvas c;
    w->paint(c, Rect { 0, 0, 60, 40 });
    EXPECT_EQ(c.colourAt(30, 20), draw::UnsetColour);
}

TEST(MenuBarDrawer, TitlesOpenHotFillShiftAndTheMarkedLastTitle)
{
    Pooled<drawer::menu::Basic> menu;
    RecordingCanvas canvas;
    FontDescription font;
    const std::u16string_view names[] = { u"File", u"Edit", u"Help" };
    auto rects = menu->layoutTitles(canvas, Rect { 0, 0, 300, 20 }, names, font, 6, true);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0], (Rect { 0, 0, 36, 20 }));
    EXPECT_EQ(rects[1], (Rect { 36, 0, 72, 20 }));
    EXPECT_EQ(rects[2], (Rect { 264, 0, 300, 20 }));

    std::vector<drawer::menu::Basic::Title> titles;
    for (size_t i = 0; i < 3; ++i)
        titles.push_back({ names[i], rects[i] });
    menu->setShift(true);
    menu->openStyle().textColour = draw::White;
    menu->paintBar(canvas, Rect { 0, 0, 300, 20 }, titles, font, 1, false, true);
    EXPECT_EQ(canvas.colourAt(50, 10), menu->getHotColour());
    EXPECT_EQ(canvas.colourAt(10, 10), draw::UnsetColour);
    auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].colour, draw::White);
    EXPECT_EQ(texts[1].rect, rects[1].translated(-1, -1));
    EXPECT_EQ(texts[2].colour, rgb(0, 0, 204));
    EXPECT_FALSE(texts[2].font.underline);

    RecordingCanvas pressed;
    menu->setHotFill(false);
    menu->paintBar(pressed, Rect { 0, 0, 300, 20 }, titles, font, 2, true, true);
    EXPECT_TRUE(pressed.fills().empty());
    EXPECT_TRUE(pressed.texts()[2].font.underline);
    EXPECT_EQ(pressed.texts()[2].rect, rects[2].translated(1, 1));
}

TEST(ImageDrawer, FrameAndBlend)
{
    Pooled<drawer::image::Basic> image;
    draw::Picture picture;
    picture.width = picture.height = 2;
    picture.pixels.assign(4, 0x80FF0000);
    picture.hasAlpha = true;
    image->setFramed(true);
    RecordingCanvas c;
    image->paint(c, 0, 0, 10, 10, &picture);
    EXPECT_EQ(c.colourAt(0, 5), draw::Black);
    ASSERT_EQ(c.pictures().size(), 1u);
    EXPECT_EQ(c.pictures()[0].rect, (Rect { 1, 1, 9, 9 }));
    EXPECT_TRUE(c.pictures()[0].blend);
    image->setBlend(false);
    RecordingCanvas opaque;
    image->paint(opaque, 0, 0, 10, 10, &picture);
    EXPECT_FALSE(opaque.pictures()[0].blend);
}
