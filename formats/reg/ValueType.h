#pragma once

#include <cstdint>

namespace s::reg {

// Value types, with the numbers the registry export format uses in "hex(n):".
enum class ValueType : uint32_t {
    None = 0,
    String = 1,       // REG_SZ: UTF-16LE text with its terminating NUL
    ExpandString = 2, // REG_EXPAND_SZ: the same, with $VAR / %VAR% references
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD: 4 bytes, little-endian
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    Qword = 11,
};

}
