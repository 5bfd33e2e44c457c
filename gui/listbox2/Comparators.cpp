#include "gui/listbox2/Comparators.h"

#include "foundation/str/StrBuffer.h"
#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Int64Value.h"

namespace s::gui::listbox2::comparators {

namespace {
template<class T>
int order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}

int text(CellValue a, CellValue b)
{
    return str::strbuffer::StrBuffer::compareUnitsIgnoreCase(TextValue::of(a), TextValue::of(b));
}

int s32(CellValue a, CellValue b) { return order(toS32(a), toS32(b)); }

int u32(CellValue a, CellValue b) { return order(toU32(a), toU32(b)); }

int s64(CellValue a, CellValue b) { return order(Int64Value::of(a), Int64Value::of(b)); }

}
