#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace s::map {
class IMappedData;
}

namespace s::app {

// The list's column layout as the main window stores it: four sections under the window's
// name ("ColumnOrder1" with "length", "ColumnWidth1", "ColumnSortOrderAsc1",
// "ColumnSortOrder1"), one "_<i>" value per column. What comes back from the file is checked
// before the list sees it: the file may be old, hand-edited or damaged.
class ColumnSettings {
public:
    // The most entries ever read; a damaged "length" must not make a start read millions.
    static constexpr int32_t maxEntries = 64;
    static constexpr int32_t minWidth = 10;

    // Nothing stored (length below 1): the built-in layout stays.
    bool stored { false };
    // Entry i: the column shown at position i.
    std::vector<int32_t> order;
    std::vector<int32_t> widths;
    std::vector<bool> ascending;
    std::vector<int32_t> sortPriority;

    // Reads what is stored below windowName ("MainWindow").
    void read(map::IMappedData& store, std::u16string_view windowName);
    // Writes the layout; `order`, `widths`, `ascending` and `sortPriority` hold one entry per
    // column.
    void write(map::IMappedData& store, std::u16string_view windowName) const;

    // The widths to build the columns with: the stored ones when at least `columnCount` were
    // read, with values below the minimum raised (0 or less takes the built-in width);
    // otherwise the built-in widths.
    std::vector<int32_t> widthsFor(const std::vector<int32_t>& builtIn) const;
    // The stored order when it is a permutation of 0..columnCount-1; else empty.
    std::vector<int32_t> orderFor(int32_t columnCount) const;
    // True when the stored sort entries cover exactly `columnCount` columns and their priorities
    // are a permutation; only then are the ascending flags and priorities applied.
    bool hasSortFor(int32_t columnCount) const;

    static bool isPermutation(const std::vector<int32_t>& values, int32_t count);
};

}
