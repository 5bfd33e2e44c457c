#include "formats/xml/Names.h"

namespace s::xml {

namespace {

bool isNameStart(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_' || c == U':'
        || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF)
        || (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D)
        || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF)
        || (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c)
{
    return isNameStart(c) || (c >= U'0' && c <= U'9') || c == U'-' || c == U'.' || c == 0xB7
        || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

}

bool isXmlName(const char16_t* name, uint32_t length)
{
    if (!name || length == 0)
        return false;
    for (uint32_t i = 0; i < length; ++i) {
        bool first = i == 0;
        char32_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= length || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (!(first ? isNameStart(c) : isNameChar(c)))
            return false;
    }
    return true;
}

}
