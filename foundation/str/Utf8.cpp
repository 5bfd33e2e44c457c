#include "foundation/str/Utf8.h"

#include <cstring>

namespace s::str {

namespace {

constexpr char16_t replacement = 0xFFFD;

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool isContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}

size_t Utf8::encode(const char16_t* units, size_t count, uint8_t* out)
{
    uint8_t* o = out;
    size_t i = 0;
    while (i < count) {
        // Runs of ASCII go four units at a time.
        while (i + 4 <= count) {
            uint64_t four;
            std::memcpy(&four, units + i, 8);
            if (four & 0xFF80FF80FF80FF80ull)
                break;
            o[0] = static_cast<uint8_t>(units[i]);
            o[1] = static_cast<uint8_t>(units[i + 1]);
            o[2] = static_cast<uint8_t>(units[i + 2]);
            o[3] = static_cast<uint8_t>(units[i + 3]);
            o += 4;
            i += 4;
        }
        if (i >= count)
            break;
        char16_t u = units[i++];
        if (u < 0x80) {
            *o++ = static_cast<uint8_t>(u);
        } else if (u < 0x800) {
            *o++ = static_cast<uint8_t>(0xC0 | (u >> 6));
            *o++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        } else if (isHighSurrogate(u) && i < count && isLowSurrogate(units[i])) {
            uint32_t cp = 0x10000 + ((static_cast<uint32_t>(u) - 0xD800) << 10) + (units[i++] - 0xDC00);
            *o++ = static_cast<uint8_t>(0xF0 | (cp >> 18));
            *o++ = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        } else {
            if (u >= 0xD800 && u <= 0xDFFF)
                u = replacement;
            *o++ = static_cast<uint8_t>(0xE0 | (u >> 12));
            *o++ = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        }
    }
    return static_cast<size_t>(o - out);
}

size_t Utf8::encodedSize(const char16_t* units, size_t count)
{
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i) {
        char16_t u = units[i];
        if (u < 0x80)
            bytes += 1;
        else if (u < 0x800)
            bytes += 2;
        else if (isHighSurrogate(u) && i + 1 < count && isLowSurrogate(units[i + 1])) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

size_t Utf8::decode(const uint8_t* bytes, size_t count, char16_t* out)
{
    char16_t* o = out;
    size_t i = 0;
    while (i < count) {
        // Runs of ASCII go eight bytes at a time.
        while (i + 8 <= count) {
            uint64_t eight;
            std::memcpy(&eight, bytes + i, 8);
            if (eight & 0x8080808080808080ull)
                break;
            for (int k = 0; k < 8; ++k)
                o[k] = bytes[i + k];
            o += 8;
            i += 8;
        }
        if (i >= count)
            break;
        uint8_t b0 = bytes[i];
        if (b0 < 0x80) {
            *o++ = b0;
            ++i;
            continue;
        }

        // The lead byte fixes the sequence length and the range its second byte must be in;
        // anything else ends the ill-formed subpart, which becomes one U+FFFD.
        uint32_t need;
        uint8_t low = 0x80, high = 0xBF;
        uint32_t cp;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0)
                low = 0xA0;
            else if (b0 == 0xED)
                high = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0)
                low = 0x90;
            else if (b0 == 0xF4)
                high = 0x8F;
        } else {
            *o++ = replacement;
            ++i;
            continue;
        }

        size_t j = i + 1;
        bool complete = true;
        for (uint32_t k = 0; k < need; ++k, ++j) {
            if (j >= count) {
                complete = false;
                break;
            }
            uint8_t b = bytes[j];
            bool fits = k == 0 ? (b >= low && b <= high) : isContinuation(b);
            if (!fits) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        i = j;
        if (!complete) {
            *o++ = replacement;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
    }
    return static_cast<size_t>(o - out);
}

}
