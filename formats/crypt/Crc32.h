#pragma once

#include <array>
#include <cstdint>

namespace s::crypt {

// The reflected CRC-32 table (polynomial 0xEDB88320) shared by the ZIP cipher and checksums.
inline constexpr std::array<uint32_t, 256> crc32Table = [] {
    std::array<uint32_t, 256> table {};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// One byte step of the running CRC-32 (without the usual pre- and post-inversion).
constexpr uint32_t crc32Step(uint32_t crc, uint8_t byte)
{
    return (crc >> 8) ^ crc32Table[(crc ^ byte) & 0xFF];
}

// The CRC-32 of a whole block, as ZIP archives and PNG chunks store it.
constexpr uint32_t crc32(const uint8_t* data, uint64_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (uint64_t i = 0; i < size; ++i)
        crc = crc32Step(crc, data[i]);
    return ~crc;
}

}
