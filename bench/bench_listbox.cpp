#include "foundation/str/StrBuffer.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/Formatters.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace s::gui::listbox2;

struct Input {
    std::u16string name;
    int64_t size;
};

// Download-list-like rows: titles with shared prefixes and sizes with many ties.
std::vector<Input> inputs(size_t n)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<int64_t> size(0, 500);
    std::vector<Input> rows(n);
    for (auto& row : rows) {
        row.name = u"Video ";
        for (int i = 0; i < 12; ++i)
            row.name += static_cast<char16_t>(u'a' + letter(random));
        row.size = size(random) * 1024 * 1024;
    }
    return rows;
}

// The list's own work: appends with auto-sort on (each row goes in at its upper bound), then a
// header click that sorts on size first and the title second.
void ListAppendAutoSortThenSortTwoKeys(benchmark::State& state)
{
    const auto rows = inputs(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        ListBoxModel model;
        model.addColumn(u"Title", 240, Alignment::Left, true, comparators::text, true);
        model.addColumn(u"Size", 75, Alignment::Right, true, comparators::s64, true);
        model.setAutoSortAfterAppend(true);
        for (const Input& input : rows) {
            Record* row = Record::get();
            row->addTextCell(input.name, formatters::text);
            row->addInt64Cell(input.size, formatters::s64);
            model.appendRow(row);
        }
        model.headerClicked(1);
        benchmark::DoNotOptimize(model.getRow(0));
        state.PauseTiming();
        model.releaseAllRows();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same work on a plain vector: insertion at the upper bound, then std::stable_sort on the
// two keys.
void VectorAppendUpperBoundThenStableSort(benchmark::State& state)
{
    const auto rows = inputs(static_cast<size_t>(state.range(0)));
    auto byTitle = [](const Input& a, const Input& b) {
        return s::str::strbuffer::StrBuffer::compareUnitsIgnoreCase(a.name, b.name) < 0;
    };
    auto bySizeDescThenTitle = [](const Input& a, const Input& b) {
        if (a.size != b.size)
            return a.size > b.size;
        return s::str::strbuffer::StrBuffer::compareUnitsIgnoreCase(a.name, b.name) < 0;
    };
    for (auto _ : state) {
        std::vector<Input> list;
        list.reserve(rows.size());
        for (const Input& input : rows)
            list.insert(std::upper_bound(list.begin(), list.end(), input, byTitle), input);
        std::stable_sort(list.begin(), list.end(), bySizeDescThenTitle);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}

BENCHMARK(ListAppendAutoSortThenSortTwoKeys)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(VectorAppendUpperBoundThenStableSort)->Arg(10000)->Unit(benchmark::kMillisecond);
