#pragma once

#include <cstdint>

namespace s::gui::listbox2 {

// What a list's model tells the component that shows it, always on the executor's thread and
// never while the model's lock is held. Nothing is told while redrawing is suspended; resuming
// tells rowsChanged once.
class IListView {
public:
    virtual ~IListView() = default;
    // Rows were added, removed or reordered: the row count, the scroll range and every row.
    virtual void rowsChanged() = 0;
    // One row's look changed (selection, focus, highlight).
    virtual void rowChanged(int32_t position) = 0;
    // One cell's text or value changed.
    virtual void cellChanged(int32_t position, int32_t column) = 0;
    // A column was added or retitled.
    virtual void columnsChanged() = 0;
    // The row should be scrolled into view (keyboard moves).
    virtual void ensureVisible(int32_t position) = 0;
};

}
