#include "foundation/str/StrArray.h"

namespace s::str::strarray {

StrArray::StrArray()
    : ArrayP(&thread::poolOf<strbuffer::StrBuffer>())
{
}

strbuffer::StrBuffer* StrArray::addCopy(std::u16string_view text)
{
    auto copy = strbuffer::StrBuffer::make(text);
    strbuffer::StrBuffer* element = copy.get();
    push(copy.take());
    return element;
}

void StrArray::describeElement(uint32_t index, std::string& out) const
{
    out += '"';
    out += at(index)->toStdUtf8();
    out += '"';
}

}
