// The list component on the offscreen platform: rendered rows, real mouse, key and wheel events,
// the header's rules, a one-row scroll that paints one strip, and writers on many threads.

#include "GuiTest.h"

#include "foundation/str/StrBuffer.h"
#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/Formatters.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/RowUpdate.h"
#include "gui/listbox2/SubRecord.h"
#include "gui/listbox2/WheelScroller.h"
#include "gui/os/KeyCodes.h"
#include "gui/os/ListBox2.h"
#include "gui/os/ListBoxEx.h"
#include "gui/os/ScrollBar.h"
#include "gui/os/ListHeader.h"
#include "gui/os/ListView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <atomic>
#include <set>

using namespace guitest;
using namespace s::gui::listbox2;
using s::gui::os::ListBox2;
using s::gui::os::ListView;

namespace {

void percentText(CellValue value, s::str::strbuffer::StrBuffer& out)
{
    int32_t v = toS32(value);
    if (v < 0)
        return;
    v %= 2000;
    std::string text = std::to_string(v / 10) + "." + std::to_string(v % 10) + " %";
    out.appendLatin1(text.c_str());
}

void stateText(CellValue value, s::str::strbuffer::StrBuffer& out)
{
    out.appendLatin1(toS32(value) == 10 ? "Completed!" : "Downloading");
}

class ListViewTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        list = ListBox2::get();
        list->model().addColumn(u"Title", 120, Alignment::Left, true, comparators::text, true, true);
        list->model().addColumn(u"Done", 104, Alignment::Right, true, comparators::s32, true);
        list->model().addColumn(u"Status", 90, Alignment::Left, true, comparators::s32, true);
        list->setProgressFormatter(percentText);
        list->setStatusFormatter(stateText);
        list->setMinSize(420, 220);
        list->setMaxSize(420, 220);
    }

    Record* row(std::u16string_view title, int32_t done, int32_t state)
    {
        Record* r = Record::get();
        r->addTextCell(title, formatters::text)->setLeading(true);
        r->addS32Cell(done, percentText);
        r->addS32Cell(state, stateText);
        return r;
    }

    void show()
    {
        window->add(list);
        onUiThread([&] {
            list->view()->resize(420, 220);
            window->show(true, false);
        });
        ASSERT_TRUE(eventually([&] { return list->view()->isVisible(); }));
    }

    ListView* view() { return list->view(); }

    QImage grab()
    {
        return onUiThread([&] { return view()->viewport()->grab().toImage(); });
    }

    QPoint rowPoint(int position)
    {
        return onUiThread([&] { return QPoint(30, view()->rowRect(position).center().y()); });
    }

    ListBox2* list { nullptr };
};

struct Events : s::gui::events::IEventListener {
    std::vector<int32_t> codes;
    std::function<void(int32_t)> onEvent;
    void handle(s::base::IObject*, int32_t code) override
    {
        codes.push_back(code);
        if (onEvent)
            onEvent(code);
    }
};

}

TEST_F(ListViewTest, RenderedRows)
{
    list->setAlternateRows(true);
    list->setFullRowSelect(true);
    list->appendRow(row(u"selected", 900, 7));
    list->appendRow(row(u"odd", 4900, 10));
    list->appendRow(row(u"even", -1, 0));
    show();
    RowHandle first = list->model().getRow(0);
    list->model().select(first.row, first.id);

    auto [rowHeight, doneX, statusX, highlight] = onUiThread([&] {
        auto* header = list->getHeader();
        return std::tuple(view()->rowHeight(), header->sectionViewportPosition(1), header->sectionViewportPosition(2),
            view()->palette().color(QPalette::Highlight));
    });
    ASSERT_TRUE(eventually([&] { return !view()->viewport()->grab().isNull(); }));
    QImage image = grab();
    int width = image.width();
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    int row0 = rowHeight / 2;
    int row1 = rowHeight + 1;

    // Alternate rows, and the last column reaching the right edge in the row's colour.
    EXPECT_EQ(at(width - 2, row1), QColor(238, 238, 238));
    EXPECT_EQ(at(width - 2, 2 * rowHeight + 1), QColor(Qt::white));
    // The selection fill, from the palette, up to the right edge.
    EXPECT_EQ(at(width - 2, row0), highlight);
    // Progress: 90.0 % in a 104-pixel cell is a green bar of 90 pixels from the interior's left;
    // 490.0 % in the error band is red.
    EXPECT_EQ(at(doneX + 2 + 85, 4), QColor(134, 196, 64));
    EXPECT_EQ(at(doneX + 2 + 85, rowHeight + 4), QColor(255, 0, 0));
    EXPECT_EQ(at(doneX + 2 + 95, rowHeight + 4), QColor(Qt::white)) << "the bar stops at its value";
    EXPECT_EQ(at(doneX + 1, rowHeight + 2), QColor(240, 240, 240)) << "the frame";
    // A progress cell without a value is an ordinary (alternate-coloured) cell only for the
    // even row here: no frame.
    EXPECT_EQ(at(doneX + 1, 2 * rowHeight + 2), QColor(Qt::white));
    // Status: Completed is drawn green.
    bool green = false;
    for (int x = statusX; x < statusX + 90 && !green; ++x)
        for (int y = rowHeight; y < 2 * rowHeight && !green; ++y)
            green = at(x, y) == QColor(68, 132, 5);
    EXPECT_TRUE(green);
}

TEST_F(ListViewTest, ClicksKeysAndTheContextMenu)
{
    for (int i = 0; i < 5; ++i)
        list->appendRow(row(u"row", i, 7));
    Events events;
    for (int code : { 1, 2, 7, 8, 20, 21, 22 })
        list->addListener(code, &events);
    std::atomic<int> menus { 0 };
    list->setContextMenu([&](int32_t, int32_t) { ++menus; });
    show();

    auto click = [&](int position, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        QPoint p = rowPoint(position);
        onUiThread([&] { QTest::mouseClick(view()->viewport(), button, mods, p); });
    };
    auto taken = [&] { return onUiThread([&] { return std::exchange(events.codes, {}); }); };

    click(0);
    EXPECT_EQ(taken(), (std::vector<int32_t> { 20, 1 }));
    click(1);
    EXPECT_EQ(taken(), (std::vector<int32_t> { 2, 21, 20, 1 }));
    click(3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(taken(), (std::vector<int32_t> { 1, 1 }));
    click(4, Qt::RightButton);
    EXPECT_EQ(taken(), (std::vector<int32_t> { 2, 2, 2, 21, 20, 1, 7 }));
    EXPECT_EQ(menus, 1);
    {
        QPoint p = rowPoint(2);
        onUiThread([&] { QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, p); });
    }
    EXPECT_EQ(list->model().getClickedRow().row->position(), 2);
    std::vector<int32_t> codes = taken();
    EXPECT_EQ(codes.back(), 22);

    // Keys: code 8 first; a listener that handles the key stops the navigation.
    onUiThread([&] { QTest::keyClick(view(), Qt::Key_Up); });
    EXPECT_EQ(taken(), (std::vector<int32_t> { 8, 2, 21, 20, 1 }));
    EXPECT_EQ(list->model().focusPosition(), 1);
    events.onEvent = [&](int32_t code) {
        if (code == 8)
            list->model().markKeyHandled();
    };
    onUiThread([&] { QTest::keyClick(view(), Qt::Key_Down); });
    EXPECT_EQ(taken(), (std::vector<int32_t> { 8 }));
    EXPECT_EQ(list->model().focusPosition(), 1);
    EXPECT_EQ(list->model().getKey(), s::gui::os::keyCodeOfQtKey(Qt::Key_Down));
    events.onEvent = nullptr;
    onUiThread([&] { QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier); });
    EXPECT_EQ(list->getSelectedCount(), 5);

    // A click below the rows clears the selection.
    onUiThread([&] { QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, QPoint(30, 200)); });
    EXPECT_EQ(list->getSelectedCount(), 0);
}

TEST_F(ListViewTest, WheelScrollsTheNotchStepAndAddsUpSmallTurns)
{
    for (int i = 0; i < 200; ++i)
        list->appendRow(row(u"row", i, 7));
    show();
    auto wheel = [&](int units) {
        return onUiThread([&] {
            QScrollBar* bar = view()->verticalScrollBar();
            int before = bar->value();
            QPointF at(30, 30);
            QWheelEvent event(at, view()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, units), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view()->viewport(), &event);
            return bar->value() - before;
        });
    };
    int step = WheelScroller::notchPixels(onUiThread([] { return QApplication::wheelScrollLines(); }), list->rowHeight());
    EXPECT_EQ(wheel(-120), step);
    EXPECT_EQ(wheel(120), -step);
    int total = 0;
    for (int i = 0; i < 8; ++i)
        total += wheel(-15);
    EXPECT_EQ(total, step);
}

TEST_F(ListViewTest, HeaderRules)
{
    show();
    onUiThread([&] {
        auto* header = list->getHeader();
        EXPECT_TRUE(header->sectionsMovable());
        EXPECT_EQ(header->minimumSectionSize(), 10);
        EXPECT_EQ(header->sectionResizeMode(2), QHeaderView::Fixed);
        EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
        // The user drags "Status" to the front: the order goes to the model and "Done" is now
        // the column shown last.
        header->moveSection(2, 0);
        EXPECT_EQ(header->sectionResizeMode(1), QHeaderView::Fixed);
        EXPECT_EQ(header->sectionResizeMode(2), QHeaderView::Interactive);
        header->resizeSection(0, 3);
    });
    EXPECT_EQ(list->model().columnOrder(), (std::vector<int32_t> { 2, 0, 1 }));
    EXPECT_EQ(list->model().columnWidths()[0], 10);

    // A stored order of the wrong shape changes nothing.
    EXPECT_FALSE(list->model().setColumnOrder(std::vector<int32_t> { 0, 0, 1 }));
    EXPECT_TRUE(list->model().setColumnOrder(std::vector<int32_t> { 1, 2, 0 }));
    EXPECT_EQ(onUiThread([&] { return list->getHeader()->logicalIndex(0); }), 1);
}

TEST_F(ListViewTest, ScrollingByOneRowPaintsOnlyTheExposedStrip)
{
    list->model().suspendRedraw(true);
    for (int i = 0; i < 10000; ++i)
        list->appendRow(row(u"row", i % 1000, 7));
    list->model().suspendRedraw(false);
    show();
    ASSERT_TRUE(eventually([&] {
        view()->viewport()->repaint();
        return view()->paintedRows() > 0;
    }));
    int visibleRows = onUiThread([&] { return view()->viewport()->height() / view()->rowHeight() + 1; });
    int painted = 0;
    onUiThread([&] {
        view()->clearPaintedRows();
        QScrollBar* bar = view()->verticalScrollBar();
        bar->setValue(bar->value() + view()->rowHeight());
        return 0;
    });
    ASSERT_TRUE(eventually([&] { return view()->paintedRows() > 0; }));
    painted = onUiThread([&] {
        QApplication::processEvents();
        return view()->paintedRows();
    });
    EXPECT_GE(painted, 1);
    EXPECT_LE(painted, 2) << "of " << visibleRows << " visible rows";
}

// Twenty threads write cells of their own rows while the GUI thread removes and releases some
// of them and takes the objects again for new rows: no crash, and no stale write reaches a row.
TEST_F(ListViewTest, TwentyWritersWhileTheGuiThreadRemovesRows)
{
    constexpr int writers = 20;
    std::vector<RowHandle> rows;
    for (int i = 0; i < writers; ++i) {
        Record* r = row(u"w", i, 7);
        list->appendRow(r);
        rows.push_back(r->handle());
    }
    list->setAutoSortAfterAppend(true);
    show();

    std::atomic<bool> go { false };
    std::atomic<int> refused { 0 };
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int i = 0; i < writers; ++i) {
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            RowHandle mine = rows[static_cast<size_t>(i)];
            for (int n = 0; n < 150; ++n) {
                RowUpdate update;
                update.setS32(1, i * 1000 + n % 1000);
                update.setText(0, u"writer");
                if (!list->model().applyRowUpdate(mine.row, mine.id, update))
                    ++refused;
                CellValue value = 0;
                if (list->model().readCellValue(mine.row, mine.id, 1, value) && toS32(value) / 1000 != i)
                    ++wrong;
            }
        });
    }
    go = true;
    std::vector<RowHandle> fresh;
    for (int i = 0; i < writers; i += 2) {
        onUiThread([&] {
            RowHandle h = rows[static_cast<size_t>(i)];
            ASSERT_TRUE(list->removeAndReleaseRow(h.row, h.id));
            Record* again = row(u"fresh", -1, 0);
            list->appendRow(again);
            fresh.push_back(again->handle());
            QApplication::processEvents();
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(refused, 0);
    for (RowHandle h : fresh) {
        CellValue value = 0;
        ASSERT_TRUE(list->model().readCellValue(h.row, h.id, 1, value));
        EXPECT_EQ(toS32(value), -1) << "a stale write reached a reused row";
        std::u16string title;
        list->model().readCellText(h.row, h.id, 0, title);
        EXPECT_EQ(title, u"fresh");
    }
    EXPECT_EQ(list->getRowCount(), writers);
}

TEST_F(WindowTest, ListBoxExShowsItsOwnBarsWhenNeededAndScrollsThroughThem)
{
    using s::gui::os::ListBoxEx;
    using s::gui::os::ScrollBar;
    Box* box = fixedBox(300, 200);
    ListBoxEx* ex = ListBoxEx::get();
    ListBox2* list = ex->list();
    list->model().addColumn(u"Title", 120, Alignment::Left, true, comparators::text, true);
    list->model().addColumn(u"Size", 100, Alignment::Right, true, comparators::s64, true);
    box->add(ex);
    onUiThread([&] { window->show(true, false); });
    ASSERT_TRUE(eventually([&] { return list->view() && list->view()->isVisible(); }));
    EXPECT_FALSE(ex->verticalBar()->getVisibleFlag());
    EXPECT_FALSE(ex->horizontalBar()->getVisibleFlag());
    EXPECT_TRUE(onUiThread([&] { return list->view()->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff; })) << "the platform's bars stay hidden";

    for (int i = 0; i < 100; ++i) {
        Record* r = Record::get();
        r->addTextCell(u"row", formatters::text);
        r->addInt64Cell(i, formatters::s64);
        list->appendRow(r);
    }
    ASSERT_TRUE(eventually([&] { return ex->verticalBar()->getVisibleFlag(); }));
    EXPECT_FALSE(ex->horizontalBar()->getVisibleFlag());
    int maximum = onUiThread([&] { return list->view()->verticalScrollBar()->maximum(); });
    EXPECT_EQ(ex->verticalBar()->getMaximum(), maximum);

    // The user drags the bar: the list follows.
    onUiThread([&] { ex->verticalBar()->userMoved(40); });
    EXPECT_EQ(onUiThread([&] { return list->view()->verticalScrollBar()->value(); }), 40);
    // The list scrolled by the wheel: the bar follows.
    onUiThread([&] { list->view()->verticalScrollBar()->setValue(80); });
    EXPECT_EQ(ex->verticalBar()->getValue(), 80);

    // Wide columns bring the horizontal bar too.
    onUiThread([&] { list->getHeader()->resizeSection(0, 400); });
    ASSERT_TRUE(eventually([&] { return ex->horizontalBar()->getVisibleFlag(); }));
    list->model().releaseAllRows();
    ASSERT_TRUE(eventually([&] { return !ex->verticalBar()->getVisibleFlag(); }));
}

TEST_F(ListViewTest, AnotherPainterTakesTheCellsOver)
{
    struct Red : s::gui::os::IListCellPainter {
        void paint(QPainter& painter, const s::gui::os::ListCell& cell) const override { painter.fillRect(cell.rect, Qt::red); }
    } red;
    list->appendRow(row(u"a", 1, 7));
    show();
    list->setCellPainter(&red);
    ASSERT_TRUE(eventually([&] { return QColor(view()->viewport()->grab().toImage().pixel(5, 3)) == QColor(Qt::red); }));
    list->setCellPainter(nullptr);
    ASSERT_TRUE(eventually([&] { return QColor(view()->viewport()->grab().toImage().pixel(5, 3)) != QColor(Qt::red); }));
}
