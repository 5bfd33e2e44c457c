#include "foundation/str/Iterator.h"

#include "foundation/str/StrBuffer.h"

namespace s::str::strbuffer {

bool Iterator::hasNext() const
{
    return m_text && m_index >= 0 && m_index < static_cast<int64_t>(m_text->length());
}

const char16_t* Iterator::next()
{
    return m_text->units() + m_index++;
}

const char16_t* Iterator::previous()
{
    if (m_index <= 0)
        return nullptr;
    return m_text->units() + --m_index;
}

}
