#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/Formatters.h"
#include "gui/listbox2/Record.h"
#include "gui/os/ListBox2.h"
#include "gui/os/ListView.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include <cstdlib>

namespace {

using namespace s::gui::listbox2;
using s::gui::os::ListBox2;
using s::gui::os::onUiThread;

const bool offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

// A shown list of 10,000 rows in a window 800 × 600.
struct Shown {
    s::thread::Pooled<s::gui::os::Window> window { s::gui::os::Window::make() };
    ListBox2* list { ListBox2::get() };

    Shown()
    {
        window->setSize(800, 600);
        list->model().addColumn(u"Title", 240, Alignment::Left, true, comparators::text, true);
        list->model().addColumn(u"Size", 75, Alignment::Right, true, comparators::s64, true);
        list->model().addColumn(u"#", 30, Alignment::Right, true, comparators::u32, true);
        list->setMinSize(780, 560);
        list->setMaxSize(780, 560);
        list->setAlternateRows(true);
        list->model().suspendRedraw(true);
        for (uint32_t i = 0; i < 10000; ++i) {
            Record* row = Record::get();
            row->addTextCell(u"A video title of an ordinary length", formatters::text);
            row->addInt64Cell(i * 12345, formatters::s64);
            row->addU32Cell(i, formatters::u32);
            list->appendRow(row);
        }
        list->model().suspendRedraw(false);
        window->add(list);
        onUiThread([&] {
            window->show(true, false);
            QApplication::processEvents();
            list->view()->viewport()->repaint();
        });
    }
};

Shown& shown()
{
    // Kept to the end of the process: the window goes with the GUI thread.
    static Shown* instance = new Shown;
    return *instance;
}

// Scrolling down by one row: what was painted moves and only the exposed strip is painted.
void ListScrollOneRow(benchmark::State& state)
{
    Shown& s = shown();
    int64_t painted = 0;
    for (auto _ : state) {
        painted += onUiThread([&] {
            auto* view = s.list->view();
            view->clearPaintedRows();
            QScrollBar* bar = view->verticalScrollBar();
            int next = bar->value() + view->rowHeight();
            bar->setValue(next > bar->maximum() ? 0 : next);
            // The posted update of the exposed strip is painted here.
            QApplication::processEvents();
            return view->paintedRows();
        });
    }
    state.counters["rowsPainted"] = benchmark::Counter(static_cast<double>(painted), benchmark::Counter::kAvgIterations);
}

// For comparison: painting every visible row.
void ListRepaintWholeViewport(benchmark::State& state)
{
    Shown& s = shown();
    int64_t painted = 0;
    for (auto _ : state) {
        painted += onUiThread([&] {
            auto* view = s.list->view();
            view->clearPaintedRows();
            view->viewport()->repaint();
            return view->paintedRows();
        });
    }
    state.counters["rowsPainted"] = benchmark::Counter(static_cast<double>(painted), benchmark::Counter::kAvgIterations);
}

}

BENCHMARK(ListScrollOneRow)->Unit(benchmark::kMicrosecond);
BENCHMARK(ListRepaintWholeViewport)->Unit(benchmark::kMicrosecond);
