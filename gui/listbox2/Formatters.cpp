#include "gui/listbox2/Formatters.h"

#include "foundation/str/StrBuffer.h"
#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Int64Value.h"

#include <charconv>

namespace s::gui::listbox2::formatters {

namespace {
template<class T>
void decimal(T number, str::strbuffer::StrBuffer& out)
{
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.appendLatin1(digits, result.ptr - digits);
}
}

void text(CellValue value, str::strbuffer::StrBuffer& out) { out.append(TextValue::of(value)); }

void s32(CellValue value, str::strbuffer::StrBuffer& out) { decimal(toS32(value), out); }

void u32(CellValue value, str::strbuffer::StrBuffer& out) { decimal(toU32(value), out); }

void s64(CellValue value, str::strbuffer::StrBuffer& out) { decimal(Int64Value::of(value), out); }

}
