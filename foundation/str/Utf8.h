#pragma once

#include <cstddef>
#include <cstdint>

namespace s::str {

// The library's UTF-8 codec between UTF-16 units and bytes, with no byte-order mark either way.
//
// Encoding: a valid surrogate pair becomes one 4-byte sequence; a lone surrogate becomes U+FFFD.
// Decoding: code points above U+FFFF become surrogate pairs. Malformed input becomes U+FFFD, one
// for each maximal ill-formed subpart (the Unicode recommended practice): a stray continuation
// byte, a truncated sequence, an overlong form, an encoded surrogate, a value above U+10FFFF or
// the bytes C0, C1, F5-FF.
class Utf8 {
public:
    // Room that encode() may need for `units` units (3 bytes per unit at most).
    static constexpr size_t maxEncodedSize(size_t units) { return units * 3; }
    // Room that decode() may need for `bytes` bytes (one unit per byte at most).
    static constexpr size_t maxDecodedSize(size_t bytes) { return bytes; }

    // Writes the UTF-8 form of the units to out and returns the number of bytes written.
    static size_t encode(const char16_t* units, size_t count, uint8_t* out);
    // Writes the UTF-16 form of the bytes to out and returns the number of units written.
    static size_t decode(const uint8_t* bytes, size_t count, char16_t* out);
    // The exact number of bytes encode() writes.
    static size_t encodedSize(const char16_t* units, size_t count);
};

}
