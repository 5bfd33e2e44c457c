#pragma once

#include "foundation/thread/Pool.h"

#include <string_view>

namespace s::str::strbuffer {
class StrBuffer;
}

namespace s::crypt::zcrypt {

// Letter-coded text: short secrets enciphered with the ZIP stream cipher (keyed with the
// password's UTF-8 bytes, no header) and written as capital letters "A" to "P", so that they sit
// in an XML attribute without escaping. Every UTF-16 unit gives four letters: its high byte
// enciphered first, then its low byte, each cipher byte as "A" + high nibble, "A" + low nibble.
// There is no authentication: a wrong password yields a wrong text of the same length.
thread::Pooled<str::strbuffer::StrBuffer> encryptToLetters(std::u16string_view plain, std::u16string_view password);

// Reads complete groups of four letters; an incomplete group at the end is ignored. Letters
// outside "A" to "P" are not refused: their excess bits fall off when the byte is formed.
thread::Pooled<str::strbuffer::StrBuffer> decryptFromLetters(std::u16string_view letters, std::u16string_view password);

}
