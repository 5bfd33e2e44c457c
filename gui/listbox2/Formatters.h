#pragma once

#include "gui/listbox2/CellTypes.h"

namespace s::gui::listbox2::formatters {

// The text of a text value (empty without one).
void text(CellValue value, str::strbuffer::StrBuffer& out);
// Decimal numbers of the plain integer kinds and of an Int64Value.
void s32(CellValue value, str::strbuffer::StrBuffer& out);
void u32(CellValue value, str::strbuffer::StrBuffer& out);
void s64(CellValue value, str::strbuffer::StrBuffer& out);

}
