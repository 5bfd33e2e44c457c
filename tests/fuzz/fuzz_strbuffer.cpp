// Checks the text buffer's UTF-8 codec, replace and split, and the shared decimal readers, against
// plain reference versions.
//
// Input layout: byte 0 picks the checks to weigh on, the rest is split at the first two 0xFF
// bytes into a text, a search text and a replacement.

#include "foundation/str/Decimal.h"
#include "foundation/str/StrArray.h"
#include "foundation/str/StrBuffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>
#include <vector>

using s::str::StrBuffer;
using s::thread::Pooled;

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        __builtin_fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// UTF-8 decoding by the book, one code point at a time (Unicode table 3-7, maximal subparts).
std::u16string referenceDecode(const uint8_t* p, size_t n)
{
    std::u16string out;
    size_t i = 0;
    while (i < n) {
        uint8_t b = p[i];
        uint32_t need = 0, cp = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            cp = b & 0xF;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            cp = b & 7;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        size_t j = i + 1;
        uint32_t got = 0;
        while (got < need && j < n) {
            uint8_t c = p[j];
            uint8_t lo = got == 0 ? low : 0x80, hi = got == 0 ? high : 0xBF;
            if (c < lo || c > hi)
                break;
            cp = (cp << 6) | (c & 0x3F);
            ++got;
            ++j;
        }
        i = j;
        if (got < need) {
            out += u'\uFFFD';
            continue;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

// Lone surrogates are what encoding replaces; everything else survives the round trip.
std::u16string withoutLoneSurrogates(std::u16string_view text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += u;
            out += text[++i];
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += u'\uFFFD';
        } else {
            out += u;
        }
    }
    return out;
}

char16_t asciiLower(char16_t u)
{
    return u >= u'A' && u <= u'Z' ? u + 32 : u;
}

std::u16string referenceReplace(std::u16string_view text, std::u16string_view from, std::u16string_view to, bool ignoreCase, uint32_t& count)
{
    count = 0;
    if (from.empty())
        return std::u16string(text);
    auto matches = [&](size_t at) {
        for (size_t k = 0; k < from.size(); ++k) {
            char16_t a = text[at + k], b = from[k];
            if (ignoreCase ? asciiLower(a) != asciiLower(b) : a != b)
                return false;
        }
        return true;
    };
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        if (i + from.size() <= text.size() && matches(i)) {
            out += to;
            i += from.size();
            ++count;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::vector<std::u16string> referenceSplit(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string> out;
    std::u16string piece;
    for (char16_t u : text) {
        if (u == separator) {
            if (!piece.empty())
                out.push_back(piece);
            piece.clear();
        } else {
            piece += u;
        }
    }
    if (!piece.empty())
        out.push_back(piece);
    return out;
}

// Bytes as UTF-16 units (little-endian pairs), so every unit value, lone surrogates included, is reachable.
std::u16string unitsOf(const uint8_t* p, size_t n)
{
    std::u16string out;
    for (size_t i = 0; i + 1 < n; i += 2)
        out += static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    return out;
}

// The C library's readers in the "C" locale are the reference for ASCII text.
void checkNumbers(std::string_view bytes)
{
    namespace decimal = s::str::decimal;
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::string text(bytes.substr(0, bytes.find('\0')));
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return;
    }
    std::u16string units(text.begin(), text.end());

    char* end = nullptr;
    long long signedRef = strtoll_l(text.c_str(), &end, 10, c);
    auto signedGot = decimal::readInt64(units);
    check(signedGot.value == signedRef, "readInt64 differs from strtoll");
    check(signedGot.used == static_cast<size_t>(end - text.c_str()), "readInt64 length differs from strtoll");

    unsigned long long unsignedRef = strtoull_l(text.c_str(), &end, 10, c);
    check(decimal::parseUInt64(units) == unsignedRef, "parseUInt64 differs from strtoull");

    double doubleRef = strtod_l(text.c_str(), &end, c);
    auto doubleGot = decimal::readDouble(units);
    bool same = doubleGot.value == doubleRef || (std::isnan(doubleGot.value) && std::isnan(doubleRef));
    check(same && std::signbit(doubleGot.value) == std::signbit(doubleRef), "readDouble differs from strtod");
    check(doubleGot.used == static_cast<size_t>(end - text.c_str()), "readDouble length differs from strtod");
    check(StrBuffer::make(units)->parseDouble() == doubleGot.value || std::isnan(doubleRef), "parseDouble differs from readDouble");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const uint8_t* rest = data + 1;
    const size_t restSize = size - 1;

    // Step 1: UTF-8 decoding against the reference, and the round trip back.
    {
        Pooled<StrBuffer> text;
        text->fromUtf8(rest, static_cast<int64_t>(restSize));
        std::u16string expected = referenceDecode(rest, restSize);
        check(text->view() == expected, "UTF-8 decode differs from the reference");
        std::string encoded = text->toStdUtf8();
        auto again = StrBuffer::makeUtf8(encoded);
        check(again->view() == text->view(), "decoded text does not survive encoding");
    }

    // Step 2: arbitrary UTF-16 units through UTF-8 and back.
    {
        std::u16string units = unitsOf(rest, restSize);
        auto text = StrBuffer::make(units);
        auto back = StrBuffer::makeUtf8(text->toStdUtf8());
        check(back->view() == withoutLoneSurrogates(units), "UTF-16 -> UTF-8 -> UTF-16 changed the text");
    }

    // Step 3: replace and split, on units taken from the input (UTF-8 or raw pairs by mode).
    std::string_view all(reinterpret_cast<const char*>(rest), restSize);
    size_t cut1 = all.find('\xFF');
    size_t cut2 = cut1 == std::string_view::npos ? std::string_view::npos : all.find('\xFF', cut1 + 1);
    std::string_view textBytes = all.substr(0, cut1);
    std::string_view fromBytes = cut1 == std::string_view::npos ? std::string_view() : all.substr(cut1 + 1, cut2 == std::string_view::npos ? std::string_view::npos : cut2 - cut1 - 1);
    std::string_view toBytes = cut2 == std::string_view::npos ? std::string_view() : all.substr(cut2 + 1);
    auto toUnits = [mode](std::string_view bytes) -> std::u16string {
        if (mode & 1)
            return unitsOf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        return std::u16string(StrBuffer::makeUtf8(bytes)->view());
    };
    std::u16string text = toUnits(textBytes), from = toUnits(fromBytes), to = toUnits(toBytes);
    bool ignoreCase = mode & 2;

    auto buffer = StrBuffer::make(text);
    if (mode & 4)
        buffer->reserveExactly(static_cast<uint32_t>(text.size())); // no spare room before growing
    uint32_t expectedCount = 0;
    std::u16string expected = referenceReplace(text, from, to, ignoreCase, expectedCount);
    uint32_t count = ignoreCase ? buffer->replaceAllIgnoreCase(from, to) : buffer->replaceAll(from, to);
    check(count == expectedCount, "replace count differs");
    check(buffer->view() == expected, "replace result differs");
    check(buffer->length() <= buffer->capacity(), "length beyond capacity");

    char16_t separator = from.empty() ? u',' : from[0];
    auto pieces = StrBuffer::make(text)->split(separator);
    std::vector<std::u16string> expectedPieces = referenceSplit(text, separator);
    check(pieces->size() == expectedPieces.size(), "split count differs");
    for (uint32_t i = 0; i < pieces->size(); ++i)
        check(pieces->at(i)->view() == expectedPieces[i], "split piece differs");

    // Searches agree with std::u16string_view where their rules are the same.
    if (!from.empty()) {
        uint32_t at = 0;
        size_t ref = std::u16string_view(text).find(from);
        bool found = StrBuffer::make(text)->indexOf(from, at);
        check(found == (ref != std::u16string_view::npos) && (!found || at == ref), "indexOf differs");
        ref = std::u16string_view(text).rfind(from);
        found = StrBuffer::make(text)->lastIndexOf(from, at);
        check(found == (ref != std::u16string_view::npos) && (!found || at == ref), "lastIndexOf differs");
    }

    // Step 4: numbers. The decimal readers against the C library, and unsigned 64-bit values
    // through their stored text and back.
    checkNumbers(textBytes);
    if (restSize >= 8) {
        uint64_t value = 0;
        std::memcpy(&value, rest, 8);
        Pooled<StrBuffer> stored;
        stored->appendUInt64(value);
        check(stored->parseUInt64() == value, "an unsigned 64-bit value does not read back");
        check(static_cast<uint64_t>(stored->parseInt64()) == value, "the signed reader disagrees");
    }
    return 0;
}
