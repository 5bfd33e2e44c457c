#include "foundation/str/Decimal.h"

#include "foundation/str/Ascii.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace s::str::decimal {

namespace {

template<class Char>
size_t skipBlanks(std::basic_string_view<Char> text, Blanks blanks)
{
    size_t i = 0;
    while (i < text.size() && isBlank(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(text[i])), blanks))
        ++i;
    return i;
}

struct Magnitude {
    bool negative { false };
    uint64_t value { 0 };
    bool saturated { false };
    bool found { false };
    size_t used { 0 };
};

// Blanks, an optional sign, then digits, the magnitude saturating at `limit`.
template<class Char>
Magnitude readMagnitude(std::basic_string_view<Char> text, Blanks blanks, uint64_t limit)
{
    Magnitude m;
    size_t i = skipBlanks(text, blanks);
    if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) {
        m.negative = text[i] == Char('-');
        ++i;
    }
    size_t digitsStart = i;
    for (; i < text.size() && ascii::isDigit(text[i]); ++i) {
        if (m.saturated)
            continue;
        uint64_t digit = static_cast<uint64_t>(text[i] - Char('0'));
        if (m.value > (limit - digit) / 10) {
            m.saturated = true;
            m.value = limit;
        } else {
            m.value = m.value * 10 + digit;
        }
    }
    m.found = i > digitsStart;
    m.used = m.found ? i : 0;
    if (!m.found) {
        m.negative = false;
        m.value = 0;
    }
    return m;
}

template<class Int, class Char>
Parsed<Int> readSigned(std::basic_string_view<Char> text, Blanks blanks)
{
    using Limits = std::numeric_limits<Int>;
    // The magnitude of the minimum is one more than the maximum.
    constexpr uint64_t maxMagnitude = static_cast<uint64_t>(Limits::max()) + 1;
    auto m = readMagnitude(text, blanks, maxMagnitude);
    Parsed<Int> out;
    out.found = m.found;
    out.used = m.used;
    if (m.negative) {
        out.outOfRange = m.saturated;
        out.value = m.value >= maxMagnitude ? Limits::min() : static_cast<Int>(-static_cast<int64_t>(m.value));
    } else {
        out.outOfRange = m.saturated || m.value > static_cast<uint64_t>(Limits::max());
        out.value = out.outOfRange ? Limits::max() : static_cast<Int>(m.value);
    }
    return out;
}

template<class UInt, class Char>
Parsed<UInt> readUnsigned(std::basic_string_view<Char> text, Blanks blanks)
{
    auto m = readMagnitude(text, blanks, std::numeric_limits<UInt>::max());
    Parsed<UInt> out;
    out.found = m.found;
    out.used = m.used;
    out.outOfRange = m.saturated;
    if (m.saturated) {
        out.value = std::numeric_limits<UInt>::max();
        return out;
    }
    UInt value = static_cast<UInt>(m.value);
    out.value = m.negative ? static_cast<UInt>(UInt(0) - value) : value;
    return out;
}

locale_t cLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

template<class Char>
bool mayBeInNumber(Char c)
{
    return ascii::isAlnum(c) || c == Char('.') || c == Char('+') || c == Char('-') || c == Char('(') || c == Char(')') || c == Char('_');
}

template<class Char>
Parsed<double> readFloating(std::basic_string_view<Char> text, Blanks blanks)
{
    Parsed<double> out;
    size_t start = skipBlanks(text, blanks);
    // Step 1: narrow the ASCII run that can hold the number; from_chars finds where it ends.
    size_t end = start;
    while (end < text.size() && mayBeInNumber(text[end]))
        ++end;
    const size_t count = end - start;
    std::array<char, 128> small;
    std::string large;
    char* bytes = small.data();
    if (count > small.size()) {
        large.resize(count);
        bytes = large.data();
    }
    for (size_t k = 0; k < count; ++k)
        bytes[k] = static_cast<char>(text[start + k]);
    const char* first = bytes;
    const char* last = bytes + count;

    // Step 2: the sign, which from_chars takes only as "-", and a hex prefix, which it never takes.
    const char* p = first;
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p < last && (*p == '+' || *p == '-'))
        return out;
    double value = 0;
    std::from_chars_result result { p, std::errc::invalid_argument };
    if (last - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        result = std::from_chars(p + 2, last, value, std::chars_format::hex);
        if (result.ec == std::errc::invalid_argument) // "0x" alone is the number 0 followed by "x"
            result = std::from_chars(p, last, value, std::chars_format::general);
    } else {
        result = std::from_chars(p, last, value, std::chars_format::general);
    }
    if (result.ec == std::errc::invalid_argument)
        return out;

    // Step 3: out of range. strtod in the "C" locale gives the rounded result: infinity for an
    // overflow, 0 or the nearest subnormal for an underflow.
    if (result.ec == std::errc::result_out_of_range) {
        std::string piece(p, result.ptr);
        value = std::fabs(strtod_l(piece.c_str(), nullptr, cLocale()));
        out.outOfRange = true;
    }
    out.value = negative ? -value : value;
    out.found = true;
    out.used = start + static_cast<size_t>(result.ptr - first);
    return out;
}

template<class Int>
size_t formatInteger(char* out, size_t size, Int value)
{
    auto result = std::to_chars(out, out + size, value);
    return result.ec == std::errc() ? static_cast<size_t>(result.ptr - out) : 0;
}

}

bool isBlank(char16_t unit, Blanks blanks)
{
    switch (blanks) {
    case Blanks::None:
        return false;
    case Blanks::Ascii:
        return ascii::isSpace(unit);
    case Blanks::AsciiAndIdeographic:
        return ascii::isSpace(unit) || unit == u'\u3000';
    }
    return false;
}

Parsed<int32_t> readInt32(std::u16string_view text, Blanks blanks) { return readSigned<int32_t>(text, blanks); }
Parsed<int64_t> readInt64(std::u16string_view text, Blanks blanks) { return readSigned<int64_t>(text, blanks); }
Parsed<uint32_t> readUInt32(std::u16string_view text, Blanks blanks) { return readUnsigned<uint32_t>(text, blanks); }
Parsed<uint64_t> readUInt64(std::u16string_view text, Blanks blanks) { return readUnsigned<uint64_t>(text, blanks); }
Parsed<double> readDouble(std::u16string_view text, Blanks blanks) { return readFloating(text, blanks); }

Parsed<int64_t> readInt64(std::string_view text, Blanks blanks) { return readSigned<int64_t>(text, blanks); }
Parsed<uint64_t> readUInt64(std::string_view text, Blanks blanks) { return readUnsigned<uint64_t>(text, blanks); }
Parsed<double> readDouble(std::string_view text, Blanks blanks) { return readFloating(text, blanks); }

size_t formatInt64(char* out, size_t size, int64_t value) { return formatInteger(out, size, value); }
size_t formatUInt64(char* out, size_t size, uint64_t value) { return formatInteger(out, size, value); }
size_t formatUInt64AsSigned(char* out, size_t size, uint64_t value) { return formatInteger(out, size, static_cast<int64_t>(value)); }

size_t formatFixed(char* out, size_t size, double value, int decimals)
{
    auto result = std::to_chars(out, out + size, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? static_cast<size_t>(result.ptr - out) : 0;
}

std::string int64Text(int64_t value)
{
    char text[maxIntegerLength];
    return std::string(text, formatInt64(text, sizeof text, value));
}

std::string uint64Text(uint64_t value)
{
    char text[maxIntegerLength];
    return std::string(text, formatUInt64(text, sizeof text, value));
}

std::string fixedText(double value, int decimals)
{
    char text[maxFixedLength];
    size_t n = formatFixed(text, sizeof text, value, decimals);
    if (n == 0 && decimals > 6) {
        std::string large(maxFixedLength + static_cast<size_t>(decimals), '\0');
        large.resize(formatFixed(large.data(), large.size(), value, decimals));
        return large;
    }
    return std::string(text, n);
}

std::u16string fixedText16(double value, int decimals)
{
    std::string narrow = fixedText(value, decimals);
    return std::u16string(narrow.begin(), narrow.end());
}

}
