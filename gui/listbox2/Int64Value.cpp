#include "gui/listbox2/Int64Value.h"

namespace s::gui::listbox2 {

CellValue Int64Value::make(int64_t number)
{
    Int64Value* value = get();
    value->number = number;
    return reinterpret_cast<CellValue>(static_cast<void*>(value));
}

int64_t Int64Value::of(CellValue value)
{
    if (!value)
        return -1;
    return static_cast<const Int64Value*>(reinterpret_cast<const void*>(value))->number;
}

base::IDestructor* Int64Value::cleaner()
{
    return &thread::poolOf<Int64Value>();
}

}
