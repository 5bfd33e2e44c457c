#pragma once

#include "gui/listbox2/CellTypes.h"

namespace s::gui::listbox2 {

class Record;

// Names a row for as long as it stays the same row: a pooled row that was released and taken
// again keeps its address but has a new id, so the list refuses the old pair.
struct RowHandle {
    Record* row { nullptr };
    RowId id { 0 };

    explicit operator bool() const { return row != nullptr; }
    bool operator==(const RowHandle&) const = default;
};

}
