// Showing and hiding on real widgets: a shown component's widget stands where the component is,
// a hidden one stays hidden whatever layouts and moves follow, and Tab never reaches a widget of
// a hidden page.

#include "GuiTest.h"

#include "gui/os/TabBox.h"
#include "gui/os/TextField.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

using namespace guitest;
using s::gui::os::TabBox;
using s::gui::os::TextField;

namespace {

enum class Op { Hide, Show, OnlyChild, OnlyPage, Move, Relayout, ResizeWindow };

struct Step {
    Op op;
    uint32_t index { 0 };
};

struct VisibilityCase {
    std::string name;
    std::vector<Step> steps;
    std::vector<bool> shown;
};

void PrintTo(const VisibilityCase& c, std::ostream* os)
{
    *os << c.name;
}

QWidget* widgetOf(const IComponent* c)
{
    return static_cast<QWidget*>(c->getNativeHandle());
}

// A shown component (and everything in it) stands on screen where the component says; a hidden
// one is hidden on screen too.
void expectShownWhereItIs(const IComponent* c, const std::string& what)
{
    EXPECT_TRUE(c->isVisible()) << what;
    QRect expected(c->getOriginX() + c->getX(), c->getOriginY() + c->getY(), c->getWidth(), c->getHeight());
    EXPECT_TRUE(onUiThread([&] { return widgetOf(c)->isVisible(); })) << what;
    EXPECT_EQ(geometryOf(c), expected) << what;
    for (uint32_t i = 0; i < c->getChildCount(); ++i)
        expectShownWhereItIs(c->getChild(i), what + "/" + std::to_string(i));
}

void expectHidden(const IComponent* c, const std::string& what)
{
    EXPECT_FALSE(c->isVisible()) << what << " reports hidden";
    EXPECT_FALSE(onUiThread([&] { return widgetOf(c)->isVisible(); })) << what << " is hidden on screen";
}

class VisibilitySequence : public WindowTest
    , public ::testing::WithParamInterface<VisibilityCase> { };

}

TEST_P(VisibilitySequence, ShownChildrenStandWhereTheyAreAndHiddenOnesStayHidden)
{
    const VisibilityCase& c = GetParam();
    window->setSize(600, 400);
    window->show();
    Box* holder = Box::get();
    holder->fill();
    holder->setVerticalGap(4);
    window->add(holder);
    std::vector<Box*> pages;
    for (int i = 0; i < 3; ++i) {
        Box* page = Box::get();
        page->layoutHorizontal();
        page->setHorizontalGap(5);
        page->setFixedHeight(40, false);
        page->setWidthPercent(100, false);
        Label* caption = Label::get();
        caption->setText(u"Page " + std::u16string(1, u'A' + i));
        page->add(caption);
        page->add(TextField::get());
        holder->add(page);
        pages.push_back(page);
    }

    int resizes = 0;
    for (const Step& step : c.steps) {
        switch (step.op) {
        case Op::Hide:
            pages[step.index]->setVisible(false);
            break;
        case Op::Show:
            pages[step.index]->setVisible(true);
            break;
        case Op::OnlyChild:
            holder->showOnlyChild(step.index);
            break;
        case Op::OnlyPage:
            holder->showOnlyPage(step.index);
            break;
        case Op::Move:
            pages[step.index]->setLocation(pages[step.index]->getX() + 7, pages[step.index]->getY() + 3);
            break;
        case Op::Relayout:
            holder->doLayout();
            break;
        case Op::ResizeWindow:
            ++resizes;
            window->setSize(600 + 37 * resizes, 400 + 23 * resizes);
            break;
        }
    }

    for (size_t i = 0; i < pages.size(); ++i) {
        std::string what = c.name + ": page " + std::to_string(i);
        if (c.shown[i])
            expectShownWhereItIs(pages[i], what);
        else
            expectHidden(pages[i], what);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, VisibilitySequence,
    ::testing::Values(
        VisibilityCase { "HideThenShow", { { Op::Hide, 0 }, { Op::Show, 0 } }, { true, true, true } },
        VisibilityCase { "HideRelayoutShow", { { Op::Hide, 1 }, { Op::Relayout }, { Op::Show, 1 } }, { true, true, true } },
        VisibilityCase { "HiddenStaysHiddenThroughLayoutsAndResizes",
            { { Op::Hide, 1 }, { Op::Relayout }, { Op::ResizeWindow }, { Op::Relayout } }, { true, false, true } },
        VisibilityCase { "HiddenStaysHiddenWhenMoved", { { Op::Hide, 2 }, { Op::Move, 2 } }, { true, true, false } },
        VisibilityCase { "MovedWhileHiddenShowsWhereItIs", { { Op::Hide, 2 }, { Op::Move, 2 }, { Op::Show, 2 } }, { true, true, true } },
        VisibilityCase { "ShownTwiceIsShownOnce", { { Op::Show, 0 }, { Op::Show, 0 }, { Op::ResizeWindow } }, { true, true, true } },
        VisibilityCase { "OnlyChild", { { Op::OnlyChild, 1 } }, { false, true, false } },
        VisibilityCase { "OnlyChildThenAnother", { { Op::OnlyChild, 1 }, { Op::OnlyChild, 2 }, { Op::ResizeWindow } }, { false, false, true } },
        VisibilityCase { "OnlyChildPastTheEndHidesAll", { { Op::OnlyChild, 9 }, { Op::Relayout } }, { false, false, false } },
        VisibilityCase { "OnlyChildThenShowAnother", { { Op::OnlyChild, 0 }, { Op::Show, 2 } }, { true, false, true } },
        VisibilityCase { "OnlyPageThenResize", { { Op::OnlyPage, 2 }, { Op::ResizeWindow } }, { false, false, true } },
        VisibilityCase { "PagesBackAndForth",
            { { Op::OnlyPage, 1 }, { Op::OnlyPage, 0 }, { Op::OnlyPage, 2 }, { Op::ResizeWindow }, { Op::OnlyPage, 0 }, { Op::Relayout } },
            { true, false, false } },
        VisibilityCase { "ALockedPageIgnoresShow", { { Op::OnlyPage, 0 }, { Op::Show, 1 }, { Op::ResizeWindow } }, { true, false, false } },
        VisibilityCase { "HiddenPageMovedStaysHidden", { { Op::OnlyPage, 1 }, { Op::Move, 0 }, { Op::Relayout } }, { false, true, false } }),
    [](const ::testing::TestParamInfo<VisibilityCase>& info) { return info.param.name; });

TEST_F(WindowTest, HiddenPagesOfATabBoxReportHiddenAndTheStackIsSizedByTheShownPage)
{
    window->setSize(500, 400);
    auto* tabs = TabBox::get();
    tabs->fill();
    Box* small = Box::get();
    small->setFixedHeight(50, false);
    Box* tall = Box::get();
    tall->setFixedHeight(3000, false);
    window->add(tabs);
    tabs->addPage(small, u"Small");
    tabs->addPage(tall, u"Tall");
    window->show();
    tabs->selectPage(0);
    window->setSize(520, 410);
    EXPECT_TRUE(small->isVisible());
    EXPECT_FALSE(tall->isVisible()) << "a hidden page stays hidden through resizes";
    EXPECT_EQ(tabs->getContentMinHeight(), 50) << "hidden pages take no part in the stack";
}

TEST_F(WindowTest, TabNeverReachesAWidgetOfAHiddenPage)
{
    window->setSize(500, 300);
    auto* tabs = TabBox::get();
    tabs->fill();
    window->add(tabs);
    std::vector<std::vector<TextField*>> fields(3);
    for (int p = 0; p < 3; ++p) {
        Box* page = Box::get();
        page->setVerticalGap(4);
        page->setInset(6);
        page->fill();
        for (int f = 0; f < 2; ++f) {
            fields[p].push_back(TextField::get());
            page->add(fields[p].back());
        }
        tabs->addPage(page, u"Page " + std::u16string(1, u'A' + p));
    }
    window->show();

    auto pageOf = [&](QWidget* w) {
        for (int p = 0; p < 3; ++p) {
            for (TextField* f : fields[p]) {
                if (widgetOf(f) == w)
                    return p;
            }
        }
        return -1;
    };
    int resizes = 0;
    for (int selected : { 2, 0, 1, 2 }) {
        tabs->selectPage(static_cast<uint32_t>(selected));
        ++resizes;
        window->setSize(500 + 11 * resizes, 300 + 7 * resizes);
        onUiThread([&] {
            QWidget* frame = window->widget();
            frame->activateWindow();
            widgetOf(fields[selected][0])->setFocus(Qt::OtherFocusReason);
            for (int press = 0; press < 8; ++press) {
                QWidget* focused = frame->focusWidget();
                ASSERT_NE(focused, nullptr);
                QTest::keyClick(focused, Qt::Key_Tab);
                int page = pageOf(frame->focusWidget());
                EXPECT_TRUE(page == -1 || page == selected) << "Tab reached page " << page << " while page " << selected << " shows";
            }
            // Typing lands in the page that shows, never in a hidden one.
            widgetOf(fields[selected][1])->setFocus(Qt::OtherFocusReason);
            QTest::keyClicks(frame->focusWidget(), QStringLiteral("x"));
        });
    }
    auto textOf = [&](TextField* f) { return onUiThread([&] { return static_cast<QLineEdit*>(widgetOf(f))->text(); }); };
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(textOf(fields[p][0]).isEmpty()) << "page " << p;
        EXPECT_EQ(textOf(fields[p][1]), p == 2 ? QStringLiteral("xx") : QStringLiteral("x")) << "page " << p;
    }
}
