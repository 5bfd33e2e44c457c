#pragma once

#include <cstdint>

namespace s::str::strbuffer {
class StrBuffer;
}

namespace s::xml {

// Attribute values and element text escape differently: text keeps quotes but guards ">" and
// spaces (so a hand-laid-out file can be trimmed while stored text keeps its spaces), attribute
// values guard the double quote.
enum class EscapeMode {
    Attribute,
    Text,
};

// Appends the escaped form of the units to out.
void escape(str::strbuffer::StrBuffer& out, const char16_t* units, uint32_t count, EscapeMode mode);
// Appends the decoded form of a stored value to out. Text: leading whitespace dropped, trailing
// whitespace trimmed but never into what a character reference produced.
void unescape(str::strbuffer::StrBuffer& out, const char16_t* units, uint32_t count, EscapeMode mode);

}
