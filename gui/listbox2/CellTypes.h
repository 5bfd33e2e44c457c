#pragma once

#include "foundation/str/Forward.h"

#include <cstdint>

namespace s::gui::listbox2 {

// A cell holds one machine word: a small integer, or the address of a value object (a text
// buffer, an Int64Value) that the cell's value cleaner gives back to its pool.
using CellValue = uintptr_t;

// Writes the display text of a value (the buffer arrives empty).
using Formatter = void (*)(CellValue value, str::strbuffer::StrBuffer& out);

// Orders two raw cell values: negative, 0 or positive.
using Comparator = int (*)(CellValue a, CellValue b);

// Row ids come from a process-wide counter and are never reused; 0 is no row.
using RowId = uint64_t;

// Column alignment.
enum class Alignment : int32_t {
    Left = 0,
    Centre = 1,
    Right = 2,
};

}
