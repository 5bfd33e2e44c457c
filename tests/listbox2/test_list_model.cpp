// The list's model without a display: sorting, handles, selection events, auto-sort, cached
// texts, keyboard navigation and the checks on stored layouts.

#include "ListFixtures.h"

#include "foundation/str/StrBuffer.h"
#include "gui/listbox2/ColumnLayout.h"
#include "gui/listbox2/Int64Value.h"
#include "gui/listbox2/RowUpdate.h"
#include "gui/listbox2/WheelScroller.h"

#include <gtest/gtest.h>

#include <vector>

#include <atomic>

using namespace listtest;
using Codes = std::vector<int32_t>;
using Nav = ListBoxModel::NavKey;
using Mods = ListBoxModel::Modifiers;

namespace {

void fill(ListBoxModel& model, std::initializer_list<std::pair<const char16_t*, int64_t>> rows)
{
    for (auto [name, size] : rows)
        ASSERT_TRUE(model.appendRow(makeRow(name, size)));
}

}

TEST(ListSort, TogglingTwiceSortsBothWaysAndTheFormerPrimaryKeyBecomesSecond)
{
    ListBoxModel model;
    addNameAndSize(model);
    fill(model, { { u"b", 2 }, { u"a", 1 }, { u"c", 2 }, { u"d", 1 } });

    struct Step {
        int32_t column;
        bool ascendingAfter;
        const char16_t* order;
    };
    // The first click on a column flips its stored (ascending) flag, so it sorts descending.
    const Step steps[] = {
        { 1, false, u"b,c,a,d" },
        { 1, true, u"a,d,b,c" },
        { 0, false, u"d,c,b,a" },
        { 1, false, u"c,b,d,a" },
    };
    for (const Step& step : steps) {
        model.headerClicked(step.column);
        EXPECT_EQ(model.getColumn(step.column)->isAscending(), step.ascendingAfter) << step.column;
        EXPECT_EQ(model.sortOrder().front(), step.column);
        EXPECT_EQ(names(model), step.order);
    }
    EXPECT_EQ(model.sortOrder(), (std::vector<int32_t> { 1, 0 }));
}

TEST(ListSort, RowsEqualInEverySortableColumnKeepTheirOrderOverRepeatedSorts)
{
    ListBoxModel model;
    addNameAndSize(model);
    // The name column does not sort; only the size decides.
    model.getColumn(0)->setSortable(false);
    std::vector<std::pair<std::u16string, int64_t>> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({ u"r" + std::u16string(1, static_cast<char16_t>(u'A' + i)), i % 3 });
    for (auto& [name, size] : rows)
        model.appendRow(makeRow(name, size));

    std::u16string expectedAscending;
    for (int size : { 0, 1, 2 })
        for (auto& [name, s] : rows)
            if (s == size)
                expectedAscending += (expectedAscending.empty() ? u"" : u",") + name;
    for (int round = 0; round < 5; ++round) {
        model.headerClicked(1);
        model.headerClicked(1);
        EXPECT_EQ(names(model), expectedAscending) << round;
    }
}

TEST(ListSort, MissingCellsAndCellsWithoutValueCompareAsEmpty)
{
    using namespace s::gui::listbox2;
    // Cells own their values, so the values go into cells of a loose row.
    Record* values = Record::get();
    CellValue emptyText = values->addTextCell(u"", nullptr)->value();
    CellValue someText = values->addTextCell(u"a", nullptr)->value();
    CellValue minusOne = values->addInt64Cell(-1, nullptr)->value();
    CellValue zero = values->addInt64Cell(0, nullptr)->value();
    EXPECT_EQ(comparators::text(0, emptyText), 0);
    EXPECT_LT(comparators::text(0, someText), 0);
    EXPECT_EQ(comparators::s64(0, minusOne), 0);
    EXPECT_LT(comparators::s64(0, zero), 0);
    values->release();

    ListBoxModel model;
    addNameAndSize(model);
    Record* shortRow = Record::get();
    shortRow->addTextCell(u"m", formatters::text); // no size cell
    model.appendRow(makeRow(u"x", 5));
    model.appendRow(shortRow);
    model.appendRow(makeRow(u"y", -3));
    model.toggleSortColumn(1);
    model.toggleSortColumn(1);
    model.sort();
    // No size reads as -1: above -3, below 5.
    EXPECT_EQ(names(model), u"y,m,x");
}

TEST(ListHandles, StaleHandleAndReusedRowAreRefused)
{
    ListBoxModel model;
    addNameAndSize(model);
    Record* row = makeRow(u"first", 1);
    RowId firstId = row->id();
    ASSERT_TRUE(model.appendRow(row));
    ASSERT_TRUE(model.removeAndReleaseRow(row, firstId));

    // The pool hands the same object out again, with a new id.
    Record* reused = makeRow(u"second", 2);
    ASSERT_EQ(reused, row);
    EXPECT_NE(reused->id(), firstId);
    ASSERT_TRUE(model.appendRow(reused));

    EXPECT_FALSE(model.setCellText(row, firstId, 0, u"stale"));
    EXPECT_FALSE(model.setCellInt64(row, firstId, 1, 99));
    EXPECT_FALSE(model.removeRowHandle(row, firstId));
    EXPECT_FALSE(model.select(row, firstId));
    EXPECT_FALSE(model.isRowValid(row, firstId));
    EXPECT_EQ(nameAt(model, 0), u"second");
    int64_t size = 0;
    ASSERT_TRUE(model.readCellInt64(reused, reused->id(), 1, size));
    EXPECT_EQ(size, 2);

    // A row that is in no list at all, and one out of range.
    Record* loose = makeRow(u"loose", 3);
    EXPECT_FALSE(model.setCellText(loose, loose->id(), 0, u"x"));
    EXPECT_FALSE(model.setCellText(reused, reused->id(), 7, u"x"));
    loose->release();
    EXPECT_FALSE(model.appendRow(reused)) << "a row already in a list";
}

TEST(ListRows, OutOfRangePositionsAppendOrClamp)
{
    ListBoxModel model;
    addNameAndSize(model);
    fill(model, { { u"b", 0 } });
    model.insertRow(-4, makeRow(u"a", 0));
    model.insertRow(99, makeRow(u"c", 0));
    EXPECT_EQ(names(model), u"a,b,c");
    EXPECT_FALSE(model.getRow(-1));
    EXPECT_FALSE(model.getRow(3));
    EXPECT_EQ(model.getRow(2).row->position(), 2);
}

TEST(ListSelection, EventSequences)
{
    struct Case {
        const char* name;
        std::function<void(ListBoxModel&)> act;
        Codes expected;
    };
    auto h = [](ListBoxModel& m, int32_t p) { return m.getRow(p); };
    const Case cases[] = {
        { "three rows one by one",
            [&](ListBoxModel& m) {
                for (int p = 0; p < 3; ++p)
                    m.select(h(m, p).row, h(m, p).id);
            },
            { 20, 1, 1, 1 } },
        { "deselectAll after three",
            [&](ListBoxModel& m) {
                for (int p = 0; p < 3; ++p)
                    m.select(h(m, p).row, h(m, p).id);
                m.deselectAll();
            },
            { 20, 1, 1, 1, 2, 2, 2, 21 } },
        { "a click moves the single selection",
            [](ListBoxModel& m) {
                m.clickRow(0, {});
                m.clickRow(1, {});
            },
            { 20, 1, 2, 21, 20, 1 } },
        { "clicking the selected row again", [](ListBoxModel& m) {
             m.clickRow(0, {});
             m.clickRow(0, {});
         },
            { 20, 1 } },
        { "ctrl click toggles", [](ListBoxModel& m) {
             m.clickRow(0, {});
             m.clickRow(2, { .control = true });
             m.clickRow(0, { .control = true });
             m.clickRow(2, { .control = true });
         },
            { 20, 1, 1, 2, 2, 21 } },
        { "shift click selects the range from the anchor", [](ListBoxModel& m) {
             m.clickRow(1, {});
             m.clickRow(3, { .shift = true });
         },
            { 20, 1, 1, 1 } },
        { "a click below the rows clears", [](ListBoxModel& m) {
             m.clickRow(0, {});
             m.clickRow(1, { .control = true });
             m.clickRow(50, {});
         },
            { 20, 1, 1, 2, 2, 21 } },
        { "right press on an unselected row selects only it, then the menu", [](ListBoxModel& m) {
             m.setContextMenuAttached(true);
             m.clickRow(0, {});
             EXPECT_TRUE(m.rightPress(2));
         },
            { 20, 1, 2, 21, 20, 1, 7 } },
        { "right press on a selected row keeps the selection", [](ListBoxModel& m) {
             m.setContextMenuAttached(true);
             m.clickRow(0, {});
             m.clickRow(1, { .control = true });
             EXPECT_TRUE(m.rightPress(0));
             EXPECT_EQ(m.getSelectedCount(), 2);
         },
            { 20, 1, 1, 7 } },
        { "right press without a menu", [](ListBoxModel& m) { EXPECT_FALSE(m.rightPress(1)); }, { 20, 1 } },
        { "removing selected rows", [](ListBoxModel& m) {
             // Removed rows go back to whoever made them.
             Record* first = m.getRow(0).row;
             Record* second = m.getRow(1).row;
             m.clickRow(0, {});
             m.clickRow(1, { .control = true });
             m.removeSelectedRows();
             EXPECT_EQ(m.getRowCount(), 2);
             first->release();
             second->release();
         },
            { 20, 1, 1, 2, 2, 21 } },
        { "removing all rows", [](ListBoxModel& m) {
             std::vector<Record*> rows;
             for (int p = 0; p < m.getRowCount(); ++p)
                 rows.push_back(m.getRow(p).row);
             m.clickRow(3, {});
             m.removeAllRows();
             for (Record* row : rows)
                 row->release();
         },
            { 20, 1, 2, 21 } },
    };
    for (const Case& c : cases) {
        ListBoxModel model;
        addNameAndSize(model);
        fill(model, { { u"a", 1 }, { u"b", 2 }, { u"c", 3 }, { u"d", 4 } });
        Recorder recorder;
        recorder.listenTo(model);
        c.act(model);
        EXPECT_EQ(recorder.take(), c.expected) << c.name;
    }
}

TEST(ListSelection, KeepsTheOrderRowsWereSelectedIn)
{
    ListBoxModel model;
    addNameAndSize(model);
    fill(model, { { u"a", 1 }, { u"b", 2 }, { u"c", 3 } });
    for (int p : { 2, 0, 1 })
        model.select(model.getRow(p).row, model.getRow(p).id);
    std::u16string order;
    for (int i = 0; i < model.getSelectedCount(); ++i) {
        Record* row;
        RowId id;
        ASSERT_TRUE(model.getSelected(i, row, id));
        std::u16string name;
        model.readCellText(row, id, 0, name);
        order += name;
    }
    EXPECT_EQ(order, u"cab");
    model.sortSelectionByPosition();
    EXPECT_EQ(model.getSelected(0).row->position(), 0);
    EXPECT_EQ(model.getSelected(2).row->position(), 2);
    EXPECT_FALSE(model.getSelected(3));
}

TEST(ListSelection, RemovingTheSelectedRowTellsAfterItLeftTheModel)
{
    ListBoxModel model;
    addNameAndSize(model);
    fill(model, { { u"a", 1 }, { u"b", 2 } });
    RowHandle b = model.getRow(1);
    model.select(b.row, b.id);

    Recorder recorder;
    recorder.listenTo(model);
    std::vector<std::pair<int32_t, bool>> seen; // code, row still valid
    recorder.onEvent = [&](int32_t code) { seen.push_back({ code, model.isRowValid(b.row, b.id) }); };
    ASSERT_TRUE(model.removeRowHandle(b.row, b.id));
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, bool>> { { 2, false }, { 21, false } }));
    EXPECT_EQ(model.getSelectedCount(), 0);
    b.row->release();
}

TEST(ListSelection, KeyboardNavigation)
{
    struct Case {
        const char* name;
        std::vector<std::pair<Nav, Mods>> keys;
        std::vector<int32_t> selectedPositions;
        int32_t focus;
    };
    const Mods none {};
    const Mods shift { .shift = true };
    const Mods ctrl { .control = true };
    const Case cases[] = {
        { "down from nothing takes the first row", { { Nav::Down, none } }, { 0 }, 0 },
        { "down twice", { { Nav::Down, none }, { Nav::Down, none }, { Nav::Down, none } }, { 2 }, 2 },
        { "shift extends from the anchor", { { Nav::Down, none }, { Nav::Down, shift }, { Nav::Down, shift } }, { 0, 1, 2 }, 2 },
        { "shift back shrinks the range", { { Nav::Home, none }, { Nav::Down, shift }, { Nav::Down, shift }, { Nav::Up, shift } }, { 0, 1 }, 1 },
        { "ctrl moves the focus only", { { Nav::Down, none }, { Nav::Down, ctrl }, { Nav::Down, ctrl } }, { 0 }, 2 },
        { "ctrl space adds the focus row", { { Nav::Down, none }, { Nav::Down, ctrl }, { Nav::Down, ctrl }, { Nav::Space, ctrl } }, { 0, 2 }, 2 },
        { "end and home", { { Nav::End, none }, { Nav::Home, shift } }, { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 }, 0 },
        { "page down moves a page less one", { { Nav::Down, none }, { Nav::PageDown, none } }, { 3 }, 3 },
        { "page down stops at the end", { { Nav::End, none }, { Nav::PageDown, none } }, { 9 }, 9 },
        { "page up stops at the start", { { Nav::Down, none }, { Nav::Down, none }, { Nav::PageUp, none } }, { 0 }, 0 },
        { "up at the top stays", { { Nav::Home, none }, { Nav::Up, none } }, { 0 }, 0 },
        { "select all", { { Nav::Down, none }, { Nav::SelectAll, none } }, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }, 0 },
    };
    for (const Case& c : cases) {
        ListBoxModel model;
        addNameAndSize(model);
        for (int i = 0; i < 10; ++i)
            model.appendRow(makeRow(u"r", i));
        for (auto [key, mods] : c.keys)
            EXPECT_TRUE(model.navigate(key, mods, 4)) << c.name;
        std::vector<int32_t> selected;
        for (int i = 0; i < model.getSelectedCount(); ++i)
            selected.push_back(model.getSelected(i).row->position());
        EXPECT_EQ(selected, c.selectedPositions) << c.name;
        EXPECT_EQ(model.focusPosition(), c.focus) << c.name;
    }

    ListBoxModel empty;
    EXPECT_FALSE(empty.navigate(Nav::Down, {}, 4));
}

TEST(ListAutoSort, AppendPlacesTheRowAfterTheRowsEqualToIt)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.getColumn(0)->setSortable(false);
    model.setAutoSortAfterAppend(true);
    fill(model, { { u"a", 3 }, { u"b", 1 }, { u"c", 2 }, { u"d", 1 }, { u"e", 2 } });
    EXPECT_EQ(names(model), u"b,d,c,e,a");
    model.appendRow(makeRow(u"f", 2));
    EXPECT_EQ(names(model), u"b,d,c,e,f,a");
    model.appendRow(makeRow(u"g", 0));
    model.appendRow(makeRow(u"h", 9));
    EXPECT_EQ(names(model), u"g,b,d,c,e,f,a,h");

    // A cell change unsorts the list without sorting it; the next append sorts everything, as a
    // full stable sort would.
    RowHandle a = model.getRow(6);
    ASSERT_TRUE(model.setCellInt64(a.row, a.id, 1, -5));
    EXPECT_EQ(names(model), u"g,b,d,c,e,f,a,h");
    EXPECT_FALSE(model.list().isSorted());
    model.appendRow(makeRow(u"i", 1));
    EXPECT_EQ(names(model), u"a,g,b,d,i,c,e,f,h");
}

TEST(ListAutoSort, DirectionWrittenOnTheColumnIsHonouredAtTheNextAppend)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.setAutoSortAfterAppend(true);
    fill(model, { { u"b", 0 }, { u"a", 0 }, { u"c", 0 } });
    EXPECT_EQ(names(model), u"a,b,c");
    // The settings write the flags and the order directly.
    model.getColumn(0)->setAscending(false);
    model.appendRow(makeRow(u"bb", 0));
    EXPECT_EQ(names(model), u"c,bb,b,a");
}

TEST(ListAutoSort, SuspendedRedrawSortsOnceOnResume)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.setAutoSortAfterAppend(true);
    Recorder recorder;
    model.addListener(ListEvent::Sorted, &recorder);
    model.suspendRedraw(true);
    fill(model, { { u"c", 0 }, { u"a", 0 }, { u"b", 0 } });
    EXPECT_EQ(names(model), u"c,a,b");
    EXPECT_TRUE(recorder.take().empty());
    model.suspendRedraw(false);
    EXPECT_EQ(names(model), u"a,b,c");
    EXPECT_EQ(recorder.take(), Codes { ListEvent::Sorted });
}

TEST(ListCells, SetCellValueNeverSorts)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.setAutoSortAfterAppend(true);
    fill(model, { { u"a", 1 }, { u"b", 2 }, { u"c", 3 } });
    RowHandle first = model.getRow(0);
    ASSERT_TRUE(model.setCellText(first.row, first.id, 0, u"z"));
    ASSERT_TRUE(model.setCellValue(first.row, first.id, 1, Int64Value::make(100)));
    RowUpdate update;
    update.setText(0, u"zz");
    ASSERT_TRUE(model.applyRowUpdate(first.row, first.id, update));
    EXPECT_EQ(names(model), u"zz,b,c");
}

namespace {
std::atomic<int> formatterCalls { 0 };
void countingFormatter(CellValue value, s::str::strbuffer::StrBuffer& out)
{
    ++formatterCalls;
    formatters::s64(value, out);
}
}

TEST(ListCells, FormatterRunsOncePerValueAndAgainOnRefresh)
{
    ListBoxModel model;
    addNameAndSize(model);
    Record* row = Record::get();
    row->addTextCell(u"a", formatters::text);
    SubRecord* cell = row->addInt64Cell(1536, countingFormatter);
    model.appendRow(row);
    formatterCalls = 0;

    std::u16string text;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(model.readCellDisplayText(row, row->id(), 1, text));
    EXPECT_EQ(text, u"1536");
    EXPECT_EQ(formatterCalls, 1);

    // The value object changes inside: only a refresh shows it.
    static_cast<Int64Value*>(reinterpret_cast<void*>(cell->value()))->number = 7;
    model.readCellDisplayText(row, row->id(), 1, text);
    EXPECT_EQ(text, u"1536");
    ASSERT_TRUE(model.refreshCellText(row, row->id(), 1));
    EXPECT_EQ(formatterCalls, 2);
    model.readCellDisplayText(row, row->id(), 1, text);
    EXPECT_EQ(text, u"7");
    EXPECT_EQ(formatterCalls, 2);

    ASSERT_TRUE(model.setCellInt64(row, row->id(), 1, 42));
    model.readCellDisplayText(row, row->id(), 1, text);
    model.readCellDisplayText(row, row->id(), 1, text);
    EXPECT_EQ(text, u"42");
    EXPECT_EQ(formatterCalls, 3);
}

TEST(ListCells, ValueCleanerGetsTheReplacedValue)
{
    static std::vector<void*> disposed;
    struct Cleaner : s::base::IDestructor {
        void dispose(void*& object) override
        {
            disposed.push_back(object);
            object = nullptr;
        }
    } cleaner;
    int first = 0;
    int second = 0;
    Record* row = Record::get();
    row->addCell(reinterpret_cast<CellValue>(&first), &cleaner, nullptr);
    ListBoxModel model;
    model.addColumn(u"x", 10, Alignment::Left, false, nullptr, true);
    model.appendRow(row);
    ASSERT_TRUE(model.setCellValue(row, row->id(), 0, reinterpret_cast<CellValue>(&second)));
    EXPECT_EQ(disposed, std::vector<void*> { &first });
    model.releaseAllRows();
    EXPECT_EQ(disposed, (std::vector<void*> { &first, &second }));
}

TEST(ListInput, WheelSteps)
{
    struct Case {
        int32_t lines;
        int32_t rowHeight;
        std::vector<int32_t> turns;
        int32_t pixels;
    };
    const Case cases[] = {
        { 1, 20, { -120 }, 28 }, // towards the user: down
        { 1, 20, { 120 }, -28 },
        { 3, 20, { -120 }, 45 },
        { 1, 10, { -120 }, 15 },
        { 1, 15, { -120 }, 21 },
        { 1, 20, { -15, -15, -15, -15, -15, -15, -15, -15 }, 28 }, // a touchpad's small steps add up
        { 1, 20, { -40, -40, -40 }, 28 },
        { 1, 20, { -60, 60 }, 0 },
    };
    for (const Case& c : cases) {
        WheelScroller scroller;
        int32_t total = 0;
        for (int32_t units : c.turns)
            total += scroller.scroll(units, c.lines, c.rowHeight);
        EXPECT_EQ(total, c.pixels) << c.lines << " " << c.rowHeight << " " << c.turns.size();
    }
    EXPECT_EQ(WheelScroller::notchPixels(1, 20), 28);
}

TEST(ListHeader, LastShownColumnIsFixedAndNoneNarrowerThanTen)
{
    ColumnLayout layout;
    layout.addColumn(240);
    layout.addColumn(30);
    layout.addColumn(0);
    EXPECT_EQ(layout.widths(), (std::vector<int32_t> { 240, 30, ColumnLayout::platformDefaultWidth }));
    EXPECT_TRUE(layout.isUserResizable(0));
    EXPECT_FALSE(layout.isUserResizable(2));
    ASSERT_TRUE(layout.setOrder(std::vector<int32_t> { 2, 0, 1 }));
    EXPECT_TRUE(layout.isUserResizable(2));
    EXPECT_FALSE(layout.isUserResizable(1));
    EXPECT_EQ(layout.placeOf(1), 2);
    EXPECT_EQ(layout.columnAt(0), 2);
    EXPECT_EQ(ColumnLayout::userWidth(3), 10);
    EXPECT_EQ(ColumnLayout::userWidth(11), 11);
}

TEST(ListHeader, DamagedStoredOrdersAndWidthsAreRejectedOrMended)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.addColumn(u"Third", 75, Alignment::Left, true, comparators::s32, true);
    const std::vector<int32_t> bad[] = { {}, { 0, 1 }, { 0, 1, 2, 3 }, { 0, 0, 1 }, { 0, 1, 3 }, { -1, 0, 1 } };
    for (const auto& order : bad) {
        EXPECT_FALSE(model.setColumnOrder(order)) << order.size();
        EXPECT_FALSE(model.setSortOrder(order)) << order.size();
    }
    EXPECT_EQ(model.columnOrder(), (std::vector<int32_t> { 0, 1, 2 }));
    EXPECT_EQ(model.sortOrder(), (std::vector<int32_t> { 0, 1, 2 }));
    EXPECT_TRUE(model.setColumnOrder(std::vector<int32_t> { 2, 1, 0 }));
    EXPECT_TRUE(model.setSortOrder(std::vector<int32_t> { 1, 2, 0 }));
    EXPECT_EQ(model.columnOrder(), (std::vector<int32_t> { 2, 1, 0 }));
    EXPECT_EQ(model.sortOrder(), (std::vector<int32_t> { 1, 2, 0 }));

    struct WidthCase {
        int32_t stored;
        int32_t shown;
    };
    for (WidthCase c : { WidthCase { 0, 120 }, { -7, 120 }, { 1, 10 }, { 9, 10 }, { 10, 10 }, { 333, 333 } }) {
        model.setColumnWidths(std::vector<int32_t> { c.stored, 61, 62, 999 });
        EXPECT_EQ(model.columnWidths(), (std::vector<int32_t> { c.shown, 61, 62 })) << c.stored;
    }
}

TEST(ListThreads, ChangesFromOtherThreadsRunOnTheExecutorAndEventsThere)
{
    ListBoxModel model;
    addNameAndSize(model);
    ExecutorThread executor;
    model.setExecutor(&executor);
    std::atomic<int> offThread { 0 };
    Recorder recorder;
    recorder.onEvent = [&](int32_t) { offThread += executor.isCurrent() ? 0 : 1; };
    recorder.listenTo(model);

    Record* row = makeRow(u"a", 1);
    ASSERT_TRUE(model.appendRow(row));
    int before = executor.hops();
    RowUpdate update;
    update.setText(0, u"b");
    update.setInt64(1, 5);
    update.attachPath(0, u"/tmp/b.mp4");
    ASSERT_TRUE(model.applyRowUpdate(row, row->id(), update));
    EXPECT_EQ(executor.hops(), before + 1) << "the batched form hops once";
    std::u16string path;
    ASSERT_TRUE(model.readCellPath(row, row->id(), 0, path));
    EXPECT_EQ(path, u"/tmp/b.mp4");
    model.select(row, row->id());
    model.removeAndReleaseRow(row, row->id());
    EXPECT_EQ(recorder.take(), (Codes { 20, 1, 2, 21 }));
    EXPECT_EQ(offThread, 0);
    model.setExecutor(nullptr);
}

// Twenty writers change cells of their own rows while the executor's thread removes and releases
// some of them; the writes to removed rows must be refused, never land in a reused row.
TEST(ListThreads, TwentyWritersAndRemovalsOnTheExecutor)
{
    ListBoxModel model;
    addNameAndSize(model);
    model.setAutoSortAfterAppend(true);
    ExecutorThread executor;
    model.setExecutor(&executor);

    constexpr int writers = 20;
    std::vector<RowHandle> rows;
    for (int i = 0; i < writers; ++i) {
        Record* row = makeRow(u"w" + std::u16string(1, static_cast<char16_t>(u'a' + i)), i);
        row->setOwner(reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)));
        ASSERT_TRUE(model.appendRow(row));
        rows.push_back(row->handle());
    }

    std::atomic<int> refused { 0 };
    std::atomic<bool> go { false };
    std::vector<std::thread> threads;
    for (int i = 0; i < writers; ++i) {
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            RowHandle mine = rows[static_cast<size_t>(i)];
            for (int n = 0; n < 300; ++n) {
                RowUpdate update;
                update.setInt64(1, i * 100000 + n);
                bool ok = model.applyRowUpdate(mine.row, mine.id, update);
                ok = model.setCellText(mine.row, mine.id, 0, u"x") && ok;
                if (!ok)
                    ++refused;
                int64_t value = 0;
                if (model.readCellInt64(mine.row, mine.id, 1, value) && value / 100000 != i)
                    ADD_FAILURE() << "row " << i << " holds another writer's value " << value;
            }
        });
    }
    go = true;
    // The executor's thread removes every second row and takes the objects again at once, so the
    // writers' handles now name reused objects.
    std::vector<Record*> reused;
    for (int i = 0; i < writers; i += 2) {
        RowHandle h = rows[static_cast<size_t>(i)];
        executor.runAndWait([&] {
            ASSERT_TRUE(model.removeAndReleaseRow(h.row, h.id));
            Record* again = makeRow(u"new", -1);
            ASSERT_TRUE(model.appendRow(again));
            reused.push_back(again);
        });
    }
    for (auto& t : threads)
        t.join();

    EXPECT_GT(refused.load(), 0);
    for (Record* row : reused) {
        int64_t value = 0;
        ASSERT_TRUE(model.readCellInt64(row, row->id(), 1, value));
        EXPECT_EQ(value, -1) << "a stale write reached a reused row";
    }
    EXPECT_EQ(model.getRowCount(), writers);
    model.releaseAllRows();
    model.setExecutor(nullptr);
}

#include "gui/listbox2/ScrollBarNeeds.h"

TEST(ListScrollBars, BothBarsAreDecidedTogether)
{
    struct Case {
        int32_t contentW, contentH, areaW, areaH;
        ScrollBarNeeds expected;
    };
    const Case cases[] = {
        { 100, 100, 200, 200, { false, false } },
        { 100, 300, 200, 200, { true, false } },
        { 300, 100, 200, 200, { false, true } },
        { 300, 300, 200, 200, { true, true } },
        // Rows that fit only without the horizontal bar: the horizontal bar brings the vertical.
        { 300, 190, 200, 200, { true, true } },
        // Columns that fit only without the vertical bar: the vertical bar brings the horizontal.
        { 190, 300, 200, 200, { true, true } },
        { 185, 185, 200, 200, { false, false } },
        { 200, 200, 200, 200, { false, false } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollBarNeeds::compute(c.contentW, c.contentH, c.areaW, c.areaH, 15, 15), c.expected)
            << c.contentW << "x" << c.contentH;
}
