#pragma once

#include <cstdint>

namespace s::xml {

// True when the text is a name an XML reader accepts for an element or an attribute: a letter,
// "_" or ":" (or a letter of another script) first, then also digits, "-", "." and combining
// marks. Surrogate pairs count as the one character they encode; a lone surrogate is refused.
// The empty text is not a name.
bool isXmlName(const char16_t* name, uint32_t length);

}
