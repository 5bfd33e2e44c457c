// The four layouts, computed on real boxes and labels in a real (offscreen) window.

#include "GuiTest.h"

#include "gui/layout/FlowH.h"
#include "gui/layout/Vertical.h"
#include "gui/os/Spacer.h"

#include <string>
#include <vector>

using namespace guitest;

namespace {

struct Limits {
    int32_t minW, minH, maxW, maxH;
};

struct Placed {
    int32_t x, y, w, h;
    bool operator==(const Placed&) const = default;
};

void PrintTo(const Placed& p, std::ostream* os)
{
    *os << "{" << p.x << ", " << p.y << ", " << p.w << ", " << p.h << "}";
}

std::vector<Placed> placed(const Box* box)
{
    std::vector<Placed> out;
    for (uint32_t i = 0; i < box->getChildCount(); ++i) {
        IComponent* c = box->getChild(i);
        out.push_back({ c->getX(), c->getY(), c->getWidth(), c->getHeight() });
    }
    return out;
}

struct AxisCase {
    std::string name;
    int32_t type; // row or column
    int32_t innerW, innerH;
    int32_t hAlign, vAlign, gap;
    std::vector<Limits> children;
    std::vector<Placed> expected;
    s::gui::layout::Extents extents;
};

class AxisLayout : public WindowTest
    , public ::testing::WithParamInterface<AxisCase> { };

}

TEST_P(AxisLayout, PlacesSizesAndReports)
{
    const AxisCase& c = GetParam();
    Box* box = fixedBox(c.innerW, c.innerH);
    box->suspendLayout();
    if (c.type == s::gui::IContainer::Horizontal)
        box->layoutHorizontal();
    if (c.hAlign == 1)
        box->alignCentre();
    if (c.hAlign == 2)
        box->alignRight();
    if (c.vAlign == 1)
        box->alignMiddle();
    if (c.vAlign == 2)
        box->alignBottom();
    box->setHorizontalGap(c.gap);
    box->setVerticalGap(c.gap);
    for (const Limits& l : c.children)
        box->add(leaf(l.minW, l.minH, l.maxW, l.maxH));
    box->resumeLayout();
    box->doLayout();

    EXPECT_EQ(placed(box), c.expected);
    EXPECT_EQ(box->getContentMinWidth(), c.extents.minWidth);
    EXPECT_EQ(box->getContentMinHeight(), c.extents.minHeight);
    EXPECT_EQ(box->getContentMaxWidth(), c.extents.maxWidth);
    EXPECT_EQ(box->getContentMaxHeight(), c.extents.maxHeight);
    // The platform windows stand where the layout put them.
    for (uint32_t i = 0; i < box->getChildCount(); ++i) {
        const Placed& p = c.expected[i];
        EXPECT_EQ(geometryOf(box->getChild(i)), QRect(p.x, p.y, p.w, p.h)) << "child " << i;
    }
}

using s::gui::IContainer;

INSTANTIATE_TEST_SUITE_P(Cases, AxisLayout,
    ::testing::Values(
        // The second child grows to its maximum of 60 and 25 pixels stay free.
        AxisCase { "ColumnTop", IContainer::Vertical, 50, 100, 0, 0, 5,
            { { 10, 10, 10, 10 }, { 10, 20, 10, 60 } },
            { { 0, 0, 10, 10 }, { 0, 15, 10, 60 } }, { 10, 35, 10, 75 } },
        AxisCase { "ColumnMiddle", IContainer::Vertical, 50, 100, 0, 1, 5,
            { { 10, 10, 10, 10 }, { 10, 20, 10, 60 } },
            { { 0, 12, 10, 10 }, { 0, 27, 10, 60 } }, { 10, 35, 10, 75 } },
        AxisCase { "ColumnBottom", IContainer::Vertical, 50, 100, 0, 2, 5,
            { { 10, 10, 10, 10 }, { 10, 20, 10, 60 } },
            { { 0, 25, 10, 10 }, { 0, 40, 10, 60 } }, { 10, 35, 10, 75 } },
        // Not enough room for every maximum: each grows by the same share of what it may grow.
        AxisCase { "ColumnShares", IContainer::Vertical, 50, 50, 0, 0, 0,
            { { 10, 10, 10, 30 }, { 10, 10, 10, 50 } },
            { { 0, 0, 10, 20 }, { 0, 20, 10, 30 } }, { 10, 20, 10, 80 } },
        // 20 over three children of room 10: 6 each, the remainder of 2 to the first.
        AxisCase { "ColumnRemainderInOrder", IContainer::Vertical, 50, 20, 0, 0, 0,
            { { 10, 0, 10, 10 }, { 10, 0, 10, 10 }, { 10, 0, 10, 10 } },
            { { 0, 0, 10, 8 }, { 0, 8, 10, 6 }, { 0, 14, 10, 6 } }, { 10, 0, 10, 30 } },
        // A child of height 0 in the middle: one gap, not two.
        AxisCase { "ColumnZeroHeightInMiddle", IContainer::Vertical, 50, 25, 0, 0, 5,
            { { 10, 10, 10, 10 }, { 10, 0, 10, 0 }, { 10, 10, 10, 10 } },
            { { 0, 0, 10, 10 }, { 0, 15, 10, 0 }, { 0, 15, 10, 10 } }, { 10, 25, 10, 25 } },
        // A last child of height 0: no trailing gap in the totals.
        AxisCase { "ColumnZeroHeightLast", IContainer::Vertical, 50, 10, 0, 0, 5,
            { { 10, 10, 10, 10 }, { 10, 0, 10, 0 } },
            { { 0, 0, 10, 10 }, { 0, 15, 10, 0 } }, { 10, 10, 10, 10 } },
        // Widths: as wide as the column allows; narrower children follow the horizontal alignment.
        AxisCase { "ColumnCentred", IContainer::Vertical, 100, 40, 1, 0, 0,
            { { 20, 10, 20, 10 }, { 30, 10, 500, 10 } },
            { { 40, 0, 20, 10 }, { 0, 10, 100, 10 } }, { 30, 20, 500, 20 } },
        AxisCase { "ColumnRight", IContainer::Vertical, 100, 40, 2, 0, 0,
            { { 20, 10, 20, 10 } }, { { 80, 0, 20, 10 } }, { 20, 10, 20, 10 } },
        // A column narrower than its widest child is as wide as that child.
        AxisCase { "ColumnNarrowerThanChild", IContainer::Vertical, 10, 40, 1, 0, 0,
            { { 30, 10, 30, 10 }, { 10, 10, 10, 10 } },
            { { 0, 0, 30, 10 }, { 10, 10, 10, 10 } }, { 30, 20, 30, 20 } },
        // Rows: minimum widths, growth up to the maxima, then the row height up to each maximum.
        AxisCase { "RowGrowsAndStretches", IContainer::Horizontal, 100, 50, 0, 1, 5,
            { { 10, 10, 10, 30 }, { 20, 10, 60, 100 } },
            { { 0, 10, 10, 30 }, { 15, 0, 60, 50 } }, { 35, 10, 75, 100 } },
        AxisCase { "RowCentredFree", IContainer::Horizontal, 100, 10, 1, 0, 0,
            { { 10, 10, 10, 10 }, { 20, 10, 20, 10 } },
            { { 35, 0, 10, 10 }, { 45, 0, 20, 10 } }, { 30, 10, 30, 10 } },
        AxisCase { "RowZeroWidthInMiddle", IContainer::Horizontal, 25, 10, 0, 0, 5,
            { { 10, 10, 10, 10 }, { 0, 10, 0, 10 }, { 10, 10, 10, 10 } },
            { { 0, 0, 10, 10 }, { 15, 0, 0, 10 }, { 15, 0, 10, 10 } }, { 25, 10, 25, 10 } }),
    [](const ::testing::TestParamInfo<AxisCase>& info) { return info.param.name; });

TEST_F(WindowTest, PercentagesOfTheParentsInnerSizeRoundHalvesAwayFromZero)
{
    struct Case {
        int32_t parentInner;
        int32_t percent;
        int32_t expected;
    } cases[] = { { 301, 50, 151 }, { 300, 50, 150 }, { 100, 33, 33 }, { 1, 50, 1 }, { 3, 50, 2 }, { 0, 100, 0 }, { 200, 100, 200 } };
    for (const Case& c : cases) {
        Box* parent = fixedBox(c.parentInner + 4, 50);
        parent->setInsetHorizontal(2);
        Box* child = Box::get();
        child->setWidthPercent(c.percent, false);
        child->setHeightPercent(c.percent, false);
        parent->add(child);
        EXPECT_EQ(child->getMaxWidth(), c.expected) << c.percent << " % of " << c.parentInner;
        EXPECT_EQ(child->getMaxHeight(), static_cast<int32_t>(std::lround(50.0 * c.percent / 100.0)));
        window->remove(parent);
    }
}

TEST_F(WindowTest, SizeRulesOfABox)
{
    Box* box = fixedBox(300, 300);
    Box* inner = Box::get();
    inner->setInset(3);
    inner->add(leaf(40, 20, 80, 30));
    box->add(inner);
    // Content plus insets.
    EXPECT_EQ(inner->getMinWidth(), 46);
    EXPECT_EQ(inner->getMinHeight(), 26);
    EXPECT_EQ(inner->getMaxWidth(), 86);
    EXPECT_EQ(inner->getInnerMinWidth(), 40);
    EXPECT_EQ(inner->getInnerMaxWidth(), 80);
    // The minimum width raises the minimum; collapse reports 0; fixed wins over both.
    inner->setMinimumWidth(70);
    EXPECT_EQ(inner->getMinWidth(), 70);
    inner->setCollapseWidth(true);
    inner->setCollapseHeight(true);
    EXPECT_EQ(inner->getMinWidth(), 0);
    EXPECT_EQ(inner->getMinHeight(), 0);
    inner->setCollapseWidth(false);
    inner->setFixedWidth(55, false);
    EXPECT_EQ(inner->getMinWidth(), 55);
    EXPECT_EQ(inner->getMaxWidth(), 55);
    // A percentage and a fixed size exclude each other.
    inner->setWidthPercent(50, false);
    EXPECT_EQ(inner->getFixedWidth(), -1);
    EXPECT_EQ(inner->getMaxWidth(), 150);
    inner->setFixedWidth(20, false);
    EXPECT_EQ(inner->getWidthPercent(), -1);
    // The child sits inside the insets.
    EXPECT_EQ(inner->getChild(0)->getOriginX(), 3);
    EXPECT_EQ(geometryOf(inner->getChild(0)).topLeft(), QPoint(3, 3));
}

TEST_F(WindowTest, FlowingRowNarrowerThanItsWidestChildGivesThatChildALineOfItsOwn)
{
    Box* box = fixedBox(50, 200);
    box->layoutFlow();
    box->setHorizontalGap(4);
    box->setVerticalGap(2);
    box->add(leaf(20, 10, 20, 10));
    box->add(leaf(80, 12, 80, 12));
    box->add(leaf(20, 10, 20, 10));
    box->add(leaf(20, 10, 20, 10));
    // Lines: [20] [80] [20 + 4 + 20]: the line is as wide as the widest child.
    EXPECT_EQ(placed(box), (std::vector<Placed> { { 0, 0, 20, 10 }, { 0, 12, 80, 12 }, { 0, 26, 20, 10 }, { 24, 26, 20, 10 } }));
    EXPECT_EQ(box->getContentMinWidth(), 80);
    EXPECT_EQ(box->getContentMinHeight(), 36);
    EXPECT_EQ(box->getContentMaxWidth(), 20 + 4 + 80 + 4 + 20 + 4 + 20);
}

TEST_F(WindowTest, FlowingRowAlignsEachLineAndSkipsGapsOfEmptyChildren)
{
    Box* box = fixedBox(100, 100);
    box->layoutFlow();
    box->alignCentre();
    box->alignBottom();
    box->setHorizontalGap(10);
    box->add(leaf(30, 10, 30, 10));
    box->add(leaf(0, 10, 0, 10)); // no width: no gap around it
    box->add(leaf(30, 10, 30, 10));
    box->add(leaf(60, 20, 60, 20));
    // Line 1: 30 + 10 + 30 = 70, spare 30, starts at 15; line 2: 60, starts at 20.
    // Lines 10 + 20 high, 70 pixels free, bottom alignment.
    std::vector<Placed> got = placed(box);
    EXPECT_EQ(got[0], (Placed { 15, 70, 30, 10 }));
    EXPECT_EQ(got[2], (Placed { 55, 70, 30, 10 }));
    EXPECT_EQ(got[3], (Placed { 20, 80, 60, 20 }));
}

TEST_F(WindowTest, FlowingRowGrowsLinesIntoFreeHeight)
{
    Box* box = fixedBox(100, 60);
    box->layoutFlow();
    box->add(leaf(100, 10, 100, 30));
    box->add(leaf(100, 10, 100, 50));
    // 40 free over a span of 60: two thirds of each child's (max - min).
    std::vector<Placed> got = placed(box);
    EXPECT_EQ(got[0].h, 23);
    EXPECT_EQ(got[1].y, 23);
    EXPECT_EQ(got[1].h, 36);
}

TEST_F(WindowTest, StackIgnoresHiddenChildrenForSizesAndPlacement)
{
    Box* box = fixedBox(100, 100);
    box->layoutPile();
    box->alignCentre();
    box->alignMiddle();
    Label* shown = leaf(20, 10, 40, 30);
    Label* hidden = leaf(300, 300, 300, 300);
    box->add(shown);
    box->add(hidden);
    hidden->setVisible(false);
    box->doLayout();
    EXPECT_EQ(box->getContentMinWidth(), 20);
    EXPECT_EQ(box->getContentMinHeight(), 10);
    EXPECT_EQ(box->getContentMaxWidth(), 40);
    EXPECT_EQ(box->getContentMaxHeight(), 30);
    // Each visible child at its maximum, centred on its own.
    EXPECT_EQ((Placed { shown->getX(), shown->getY(), shown->getWidth(), shown->getHeight() }), (Placed { 30, 35, 40, 30 }));
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(shownOnPlatform(hidden));
}

TEST_F(WindowTest, PagesStayOutOfViewThreeThousandPixelsDown)
{
    Box* tabs = fixedBox(200, 100);
    Box* pages[3];
    for (Box*& page : pages) {
        page = Box::get();
        page->fill();
        page->add(leaf(10, 10, 10, 10));
        tabs->add(page);
    }
    tabs->showOnlyPage(1);
    tabs->doLayout();
    for (int i = 0; i < 3; ++i) {
        QRect g = geometryOf(pages[i]);
        if (i == 1) {
            EXPECT_EQ(pages[i]->getOriginY(), 0);
            EXPECT_LT(g.y(), 100) << "the shown page is in view";
            EXPECT_TRUE(pages[i]->isVisible());
            EXPECT_FALSE(pages[i]->isVisibilityLocked());
        } else {
            // A later layout moved them, and moving shows a platform window: they are far down.
            EXPECT_EQ(pages[i]->getOriginY(), 3000) << "page " << i;
            EXPECT_GE(g.y(), 3000) << "page " << i;
            EXPECT_TRUE(pages[i]->isVisibilityLocked());
        }
    }
    // A locked page ignores setVisible; showing another page unlocks it.
    pages[0]->setVisible(true);
    EXPECT_EQ(pages[0]->getOriginY(), 3000);
    tabs->showOnlyPage(0);
    EXPECT_EQ(pages[0]->getOriginY(), 0);
    EXPECT_EQ(pages[1]->getOriginY(), 3000);
}

TEST_F(WindowTest, ShowOnlyChildHidesTheOthersAndAnIndexPastTheEndHidesAll)
{
    Box* box = fixedBox(100, 100);
    box->layoutPile();
    Label* a = leaf(10, 10, 10, 10);
    Label* b = leaf(10, 10, 10, 10);
    box->add(a);
    box->add(b);
    box->showOnlyChild(1);
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(b->isVisible());
    box->showOnlyChild(7);
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
}

TEST_F(WindowTest, SpacersTakeNoRoomAcrossTheirAxis)
{
    Box* column = fixedBox(100, 100);
    auto* across = s::gui::os::Spacer::get(); // horizontal spacer in a column
    auto* along = s::gui::os::Spacer::get();
    along->setAxis(1);
    along->setFixedHeight(15);
    column->add(leaf(10, 10, 10, 10));
    column->add(across);
    column->add(along);
    column->add(leaf(10, 10, 10, 10));
    EXPECT_EQ(across->getMinHeight(), 0);
    EXPECT_EQ(across->getMaxHeight(), 0);
    EXPECT_EQ(along->getHeight(), 15);
    EXPECT_EQ(column->getChild(3)->getY(), 25);
    // Switching the axis swaps the fixed sizes.
    along->setAxis(0);
    EXPECT_EQ(along->getMinWidth(), 15);
}

TEST_F(WindowTest, InsetChangesMoveChildrenAtOnce)
{
    Box* box = fixedBox(100, 100);
    Label* child = leaf(10, 10, 10, 10);
    box->add(child);
    box->setInsetLeft(7);
    box->setInsetTop(4);
    EXPECT_EQ(child->getOriginX(), 7);
    EXPECT_EQ(geometryOf(child).topLeft(), QPoint(7, 4));
    // Back to no insets: the children come back too.
    box->setInset(0);
    EXPECT_EQ(geometryOf(child).topLeft(), QPoint(0, 0));
}

TEST_F(WindowTest, SharedLayoutManagersReplaceTheBuiltInType)
{
    EXPECT_EQ(&s::gui::layout::Vertical::shared(), &s::gui::layout::Vertical::shared());
    Box* box = fixedBox(100, 100);
    box->layoutHorizontal();
    box->setVerticalGap(9);
    box->add(leaf(10, 10, 10, 10));
    box->add(leaf(10, 10, 10, 10));
    EXPECT_EQ(box->getChild(1)->getX(), 10);
    box->setLayoutManager(&s::gui::layout::Vertical::shared());
    // A column with start alignments and no gaps.
    EXPECT_EQ(box->getChild(1)->getX(), 0);
    EXPECT_EQ(box->getChild(1)->getY(), 10);
}

TEST_F(WindowTest, LayoutListenersHearEveryLayoutAndReentryIsLimited)
{
    struct Relayouter : s::gui::events::IEventListener {
        Box* box = nullptr;
        int heard = 0;
        void handle(s::base::IObject*, int32_t code) override
        {
            EXPECT_EQ(code, Box::LaidOut);
            ++heard;
            box->doLayout(); // re-enters: allowed once, then refused
        }
    } relayouter;
    Box* box = fixedBox(100, 100);
    relayouter.box = box;
    box->add(leaf(10, 10, 10, 10));
    box->addLayoutListener(&relayouter);
    box->doLayout();
    EXPECT_EQ(relayouter.heard, 2);
}
