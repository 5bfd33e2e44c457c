#include "formats/xml/Numbers.h"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace s::xml {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Reads sign and digits; magnitude saturates at `limit` (the overflow flag is set).
const char16_t* readDecimal(const char16_t* p, bool& negative, uint64_t& magnitude, uint64_t limit, bool& overflow)
{
    while (isBlank(*p))
        ++p;
    negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    magnitude = 0;
    overflow = false;
    while (*p >= u'0' && *p <= u'9') {
        uint64_t digit = static_cast<uint64_t>(*p - u'0');
        if (!overflow) {
            if (magnitude > (limit - digit) / 10) {
                overflow = true;
                magnitude = limit;
            } else {
                magnitude = magnitude * 10 + digit;
            }
        }
        ++p;
    }
    return p;
}

}

int32_t parseLong(const char16_t* text)
{
    bool negative, overflow;
    uint64_t magnitude;
    readDecimal(text, negative, magnitude, 0x80000000ull, overflow);
    if (negative)
        return magnitude >= 0x80000000ull ? std::numeric_limits<int32_t>::min() : -static_cast<int32_t>(magnitude);
    return magnitude > 0x7FFFFFFFull ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

uint32_t parseUnsignedLong(const char16_t* text)
{
    bool negative, overflow;
    uint64_t magnitude;
    readDecimal(text, negative, magnitude, 0xFFFFFFFFull, overflow);
    if (overflow)
        return 0xFFFFFFFFu;
    uint32_t value = static_cast<uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

int64_t parseLongLong(const char16_t* text)
{
    bool negative, overflow;
    uint64_t magnitude;
    readDecimal(text, negative, magnitude, 0x8000000000000000ull, overflow);
    if (negative)
        return magnitude >= 0x8000000000000000ull ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
    return magnitude > 0x7FFFFFFFFFFFFFFFull ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(magnitude);
}

bool parseBool(const char16_t* text)
{
    if (text[0] == u'1')
        return true;
    return text[0] == u't' && text[1] == u'r' && text[2] == u'u' && text[3] == u'e';
}

double parseDouble(const char16_t* text)
{
    // Only ASCII can be part of a number; copy the plausible prefix and let from_chars read it.
    const char16_t* p = text;
    while (isBlank(*p))
        ++p;
    char bytes[400];
    size_t n = 0;
    while (n < sizeof bytes - 1 && *p && *p < 0x80) {
        char c = static_cast<char>(*p++);
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E' || c == 'x' || c == 'X'
                || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'i' || c == 'n' || c == 't' || c == 'y'
                || c == 'I' || c == 'N' || c == 'T' || c == 'Y'))
            break;
        bytes[n++] = c;
    }
    const char* first = bytes;
    if (n && *first == '+')
        ++first;
    double value = 0;
    auto result = std::from_chars(first, bytes + n, value);
    if (result.ec != std::errc())
        return 0;
    return value;
}

}
