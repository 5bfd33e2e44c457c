#pragma once

#include "gui/listbox2/CellTypes.h"

namespace s::gui::listbox2::comparators {

// Case-insensitive over the common length, then the shorter text first. A cell without a text
// buffer compares as the empty text.
int text(CellValue a, CellValue b);
int s32(CellValue a, CellValue b);
int u32(CellValue a, CellValue b);
// Values held in an Int64Value; a cell without one compares as -1.
int s64(CellValue a, CellValue b);

}
