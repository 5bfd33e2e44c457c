#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decimal numbers in text, read and written the same way for every user: "." is the decimal
// point whatever the process locale (Qt sets the locale from the environment at start-up, and a
// stored "0,5" would read back as 0 elsewhere), and nothing here allocates for ordinary numbers.
//
// Reading follows the classic C conversions: optional blanks, an optional sign, then as much of
// a number as the text holds ("12abc" is 12, "abc" is 0). Integers saturate at the limits of
// their type. The unsigned forms read like strtoul/strtoull: a leading "-" negates the magnitude
// modulo 2^N, so the signed text of a value's bits ("-1") and its unsigned digits
// ("18446744073709551615") read back as the same value.
namespace s::str::decimal {

// Which blanks may stand before a number. Callers keep the set their stored texts rely on.
enum class Blanks {
    None,
    // Space, tab, line feed, vertical tab, form feed, carriage return: what the C library skips.
    Ascii,
    // The same plus the ideographic space U+3000, which the platform's wide conversions skip.
    AsciiAndIdeographic,
};

bool isBlank(char16_t unit, Blanks blanks);

template<class T>
struct Parsed {
    T value {};
    // Units consumed, blanks included; 0 when no number starts the text.
    size_t used { 0 };
    // False when no digit was read (the value is then 0).
    bool found { false };
    // True when an integer saturated, or a floating-point value overflowed to infinity or
    // underflowed to zero.
    bool outOfRange { false };
};

Parsed<int32_t> readInt32(std::u16string_view text, Blanks blanks = Blanks::Ascii);
Parsed<int64_t> readInt64(std::u16string_view text, Blanks blanks = Blanks::Ascii);
Parsed<uint32_t> readUInt32(std::u16string_view text, Blanks blanks = Blanks::Ascii);
Parsed<uint64_t> readUInt64(std::u16string_view text, Blanks blanks = Blanks::Ascii);
// Decimal and hex ("0x1p3") floating point, "inf", "infinity" and "nan" in either case. Values
// beyond the double range read as infinity, values too small as 0 (with their sign).
Parsed<double> readDouble(std::u16string_view text, Blanks blanks = Blanks::Ascii);

inline int32_t parseInt32(std::u16string_view text, Blanks blanks = Blanks::Ascii) { return readInt32(text, blanks).value; }
inline int64_t parseInt64(std::u16string_view text, Blanks blanks = Blanks::Ascii) { return readInt64(text, blanks).value; }
inline uint32_t parseUInt32(std::u16string_view text, Blanks blanks = Blanks::Ascii) { return readUInt32(text, blanks).value; }
inline uint64_t parseUInt64(std::u16string_view text, Blanks blanks = Blanks::Ascii) { return readUInt64(text, blanks).value; }
inline double parseDouble(std::u16string_view text, Blanks blanks = Blanks::Ascii) { return readDouble(text, blanks).value; }

// The same for 8-bit text (ASCII, Latin-1 or UTF-8: only ASCII can be part of a number).
Parsed<int64_t> readInt64(std::string_view text, Blanks blanks = Blanks::Ascii);
Parsed<uint64_t> readUInt64(std::string_view text, Blanks blanks = Blanks::Ascii);
Parsed<double> readDouble(std::string_view text, Blanks blanks = Blanks::Ascii);

// Writing. Each writes into [out, out + size) without a terminating NUL and returns the number of
// characters written, 0 when the room is too small.
//
// The longest integer text, "-9223372036854775808".
inline constexpr size_t maxIntegerLength = 20;
// "%f" of the largest double has 317 characters.
inline constexpr size_t maxFixedLength = 400;

// "%d" / "%I64d".
size_t formatInt64(char* out, size_t size, int64_t value);
// "%u" and its 64-bit digits.
size_t formatUInt64(char* out, size_t size, uint64_t value);
// "%I64d" of an unsigned value: its bits as a signed number, so the largest value is "-1". This
// is the stored form of unsigned 64-bit numbers; readUInt64 reads it back to the same value.
size_t formatUInt64AsSigned(char* out, size_t size, uint64_t value);
// "%f" (or "%.<decimals>f"): fixed notation, rounded to the nearest; "inf", "-inf", "nan" as
// printf writes them.
size_t formatFixed(char* out, size_t size, double value, int decimals = 6);

std::string int64Text(int64_t value);
std::string uint64Text(uint64_t value);
std::string fixedText(double value, int decimals = 6);
std::u16string fixedText16(double value, int decimals = 6);

}
