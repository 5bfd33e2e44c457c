#pragma once

#include <cstdint>

// Small helpers over NUL-terminated UTF-16 texts shared by the XML and store code.
namespace s::xml::text {

inline constexpr char16_t emptyText[1] = { 0 };

inline uint32_t length(const char16_t* t)
{
    if (!t)
        return 0;
    const char16_t* p = t;
    while (*p)
        ++p;
    return static_cast<uint32_t>(p - t);
}

inline bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// ASCII-only case folding, as the classic C locale compares wide names.
inline char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// Whole texts equal ignoring ASCII case; a null text is the empty text.
inline bool equalsIgnoreCase(const char16_t* a, uint32_t aLength, const char16_t* b, uint32_t bLength)
{
    if (aLength != bLength)
        return false;
    for (uint32_t i = 0; i < aLength; ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

// A heap copy with a NUL after it (malloc, freed with free).
char16_t* duplicate(const char16_t* t, uint32_t length);

}
