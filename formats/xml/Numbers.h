#pragma once

#include <cstdint>

// Number reading for stored values, with the classic C library's rules on a NUL-terminated
// UTF-16 text: optional leading whitespace and sign, then decimal digits up to the first other
// character ("12abc" is 12, "abc" is 0). Values out of range saturate like strtol on a platform
// with 32-bit long.
namespace s::xml {

int32_t parseLong(const char16_t* text);
// strtoul: the magnitude saturates at 0xFFFFFFFF, and a leading minus negates it (mod 2^32).
uint32_t parseUnsignedLong(const char16_t* text);
int64_t parseLongLong(const char16_t* text);
// True when the value starts with "1" or with "true" (lowercase only).
bool parseBool(const char16_t* text);
// strtod with "." as the decimal point whatever the locale; 0 when no number starts the text.
double parseDouble(const char16_t* text);

}
