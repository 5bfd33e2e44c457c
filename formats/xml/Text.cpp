#include "formats/xml/Text.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace s::xml::text {

char16_t* duplicate(const char16_t* t, uint32_t length)
{
    auto* copy = static_cast<char16_t*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(char16_t)));
    if (!copy)
        throw std::bad_alloc();
    if (length)
        std::memcpy(copy, t, length * sizeof(char16_t));
    copy[length] = 0;
    return copy;
}

}
