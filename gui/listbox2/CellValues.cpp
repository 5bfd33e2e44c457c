#include "gui/listbox2/CellValues.h"

#include "foundation/str/StrBuffer.h"

namespace s::gui::listbox2 {

using str::strbuffer::StrBuffer;

CellValue TextValue::make(std::u16string_view text)
{
    StrBuffer* buffer = StrBuffer::make(text).take();
    return reinterpret_cast<CellValue>(static_cast<void*>(buffer));
}

std::u16string_view TextValue::of(CellValue value)
{
    if (!value)
        return {};
    return static_cast<const StrBuffer*>(reinterpret_cast<const void*>(value))->view();
}

base::IDestructor* TextValue::cleaner()
{
    return &thread::poolOf<StrBuffer>();
}

}
