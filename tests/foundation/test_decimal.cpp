#include "foundation/str/Decimal.h"
#include "tests/common/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

namespace decimal = s::str::decimal;
using decimal::Blanks;
using namespace std::string_view_literals;

namespace {

std::string narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t u : text)
        out += u < 0x80 ? static_cast<char>(u) : '?';
    return out;
}

// Runs the checks as they are, then again with the process under a decimal-comma locale.
void inBothLocales(const std::function<void()>& checks)
{
    {
        SCOPED_TRACE("process locale");
        checks();
    }
    fetchwick::test::DecimalCommaLocale comma;
    if (!comma.active()) {
        GTEST_LOG_(WARNING) << "the decimal-comma locale could not be built; the comma run is skipped";
        return;
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the C library now writes a decimal comma";
    SCOPED_TRACE("decimal-comma locale");
    checks();
}

constexpr double inf = std::numeric_limits<double>::infinity();

}

TEST(Decimal, IntegersReadLikeTheCLibrary)
{
    struct Case {
        std::u16string_view text;
        int32_t int32;
        int64_t int64;
        uint32_t uint32;
        size_t used;
    };
    const Case cases[] = {
        { u"12abc", 12, 12, 12, 2 },
        { u"abc", 0, 0, 0, 0 },
        { u"", 0, 0, 0, 0 },
        { u"-", 0, 0, 0, 0 },
        { u"+", 0, 0, 0, 0 },
        { u"--5", 0, 0, 0, 0 },
        { u" \t\n\v\f\r-42", -42, -42, 4294967254u, 9 },
        { u"+7", 7, 7, 7, 2 },
        { u"007", 7, 7, 7, 3 },
        { u"2147483647", 2147483647, 2147483647, 2147483647u, 10 },
        { u"2147483648", INT32_MAX, 2147483648LL, 2147483648u, 10 },
        { u"-2147483648", INT32_MIN, -2147483648LL, 2147483648u, 11 },
        { u"-2147483649", INT32_MIN, -2147483649LL, 2147483647u, 11 },
        { u"4294967295", INT32_MAX, 4294967295LL, 4294967295u, 10 },
        { u"4294967296", INT32_MAX, 4294967296LL, 4294967295u, 10 },
        { u"9223372036854775807", INT32_MAX, INT64_MAX, UINT32_MAX, 19 },
        { u"9223372036854775808", INT32_MAX, INT64_MAX, UINT32_MAX, 19 },
        { u"-9223372036854775808", INT32_MIN, INT64_MIN, UINT32_MAX, 20 },
        { u"-99999999999999999999999", INT32_MIN, INT64_MIN, UINT32_MAX, 24 },
        { u"3.75 MiB", 3, 3, 3, 1 },
        { u"12\u00005"sv, 12, 12, 12, 2 },
        { u"١٢", 0, 0, 0, 0 }, // only ASCII digits
        { u"\u00a012", 0, 0, 0, 0 }, // no-break space is no blank
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(narrow(c.text));
            EXPECT_EQ(decimal::parseInt32(c.text), c.int32);
            EXPECT_EQ(decimal::parseInt64(c.text), c.int64);
            EXPECT_EQ(decimal::parseUInt32(c.text), c.uint32);
            EXPECT_EQ(decimal::readInt64(c.text).used, c.used);
            EXPECT_EQ(decimal::readInt64(c.text).found, c.used != 0);
        }
    });
}

TEST(Decimal, OutOfRangeIsReported)
{
    EXPECT_FALSE(decimal::readInt32(u"2147483647").outOfRange);
    EXPECT_TRUE(decimal::readInt32(u"2147483648").outOfRange);
    EXPECT_FALSE(decimal::readInt32(u"-2147483648").outOfRange);
    EXPECT_TRUE(decimal::readInt32(u"-2147483649").outOfRange);
    EXPECT_FALSE(decimal::readUInt64(u"18446744073709551615").outOfRange);
    EXPECT_TRUE(decimal::readUInt64(u"18446744073709551616").outOfRange);
    EXPECT_TRUE(decimal::readDouble(u"1e400").outOfRange);
    EXPECT_TRUE(decimal::readDouble(u"1e-400").outOfRange);
    EXPECT_FALSE(decimal::readDouble(u"1e300").outOfRange);
}

TEST(Decimal, BlankSetsAreTheCallersChoice)
{
    struct Case {
        std::u16string_view text;
        Blanks blanks;
        int64_t value;
    };
    const Case cases[] = {
        { u" 5", Blanks::None, 0 },
        { u"5", Blanks::None, 5 },
        { u" \t5", Blanks::Ascii, 5 },
        { u"\u30005", Blanks::Ascii, 0 },
        { u"\u30005", Blanks::AsciiAndIdeographic, 5 },
        { u" \u3000\r5", Blanks::AsciiAndIdeographic, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        EXPECT_EQ(decimal::parseInt64(c.text, c.blanks), c.value);
        EXPECT_EQ(decimal::parseDouble(c.text, c.blanks), static_cast<double>(c.value));
    }
}

TEST(Decimal, Unsigned64BitValuesSurviveTheStoredForm)
{
    // Unsigned 64-bit values are stored as the signed number of their bits ("-1" for the largest);
    // files written before kept the plain digits. Both read back as the value written.
    struct Case {
        uint64_t value;
        std::u16string_view stored;
        std::u16string_view digits;
    };
    const Case cases[] = {
        { 0, u"0", u"0" },
        { 1, u"1", u"1" },
        { 4294967295u, u"4294967295", u"4294967295" },
        { 9223372036854775807u, u"9223372036854775807", u"9223372036854775807" },
        { 9223372036854775808u, u"-9223372036854775808", u"9223372036854775808" },
        { 18446744073709551614u, u"-2", u"18446744073709551614" },
        { UINT64_MAX, u"-1", u"18446744073709551615" },
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(narrow(c.stored));
            char text[decimal::maxIntegerLength];
            size_t n = decimal::formatUInt64AsSigned(text, sizeof text, c.value);
            EXPECT_EQ(std::string(text, n), narrow(c.stored));
            EXPECT_EQ(decimal::parseUInt64(c.stored), c.value);
            EXPECT_EQ(decimal::parseUInt64(c.digits), c.value);
            EXPECT_EQ(static_cast<uint64_t>(decimal::parseInt64(c.stored)), c.value) << "the signed reader agrees";
            EXPECT_EQ(decimal::uint64Text(c.value), narrow(c.digits));
        }
    });
}

TEST(Decimal, FloatingPointReadsWithADotWhateverTheLocale)
{
    struct Case {
        std::u16string_view text;
        double value;
        size_t used;
    };
    const Case cases[] = {
        { u"2.5", 2.5, 3 },
        { u"  -0.125xyz", -0.125, 8 },
        { u"+7", 7.0, 2 },
        { u"3.75 MiB", 3.75, 4 },
        { u"1e3", 1000.0, 3 },
        { u"1.5e", 1.5, 3 },
        { u"1e+", 1.0, 1 },
        { u".5", 0.5, 2 },
        { u"5.", 5.0, 2 },
        { u"2,5", 2.0, 1 },
        { u"0x1p3", 8.0, 5 },
        { u"0x", 0.0, 1 },
        { u"-inf", -inf, 4 },
        { u"Infinity", inf, 8 },
        { u"1e400", inf, 5 },
        { u"-1e400", -inf, 6 },
        { u"1e-400", 0.0, 6 },
        { u"abc", 0.0, 0 },
        { u"", 0.0, 0 },
        { u"-", 0.0, 0 },
        { u"+-5", 0.0, 0 },
        { u"--5", 0.0, 0 },
        { u"12\u00005"sv, 12.0, 2 },
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(narrow(c.text));
            auto parsed = decimal::readDouble(c.text);
            EXPECT_EQ(parsed.value, c.value);
            EXPECT_EQ(parsed.used, c.used);
            std::string bytes = narrow(c.text);
            EXPECT_EQ(decimal::readDouble(std::string_view(bytes)).value, c.value) << "8-bit text reads the same";
        }
        EXPECT_TRUE(std::isnan(decimal::parseDouble(u"nan")));
        EXPECT_TRUE(std::signbit(decimal::parseDouble(u"-1e-400")));
        // Long numbers are read in full, not cut at some buffer size.
        std::u16string longNumber = u"0." + std::u16string(600, u'0') + u"1e601";
        EXPECT_DOUBLE_EQ(decimal::parseDouble(longNumber), 1.0);
    });
}

TEST(Decimal, FormatsWithADotWhateverTheLocale)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        { 0.5, 6, "0.500000" },
        { -1234.5678916, 6, "-1234.567892" },
        { 0.0, 6, "0.000000" },
        { -0.0, 6, "-0.000000" },
        { 2.5e-7, 6, "0.000000" },
        { 1e20, 6, "100000000000000000000.000000" },
        { 99.95, 1, "100.0" },
        { 3.0, 0, "3" },
        { inf, 6, "inf" },
        { -inf, 6, "-inf" },
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(decimal::fixedText(c.value, c.decimals), c.text);
            EXPECT_EQ(decimal::fixedText16(c.value, c.decimals), std::u16string(c.text, c.text + std::char_traits<char>::length(c.text)));
            // What is written reads back.
            if (std::isfinite(c.value) && c.decimals == 6) {
                EXPECT_NEAR(decimal::parseDouble(decimal::fixedText16(c.value)), c.value, 5e-7);
            }
        }
        EXPECT_EQ(decimal::fixedText(std::numeric_limits<double>::max()).size(), 309u + 7u);
        EXPECT_EQ(decimal::int64Text(INT64_MIN), "-9223372036854775808");
        EXPECT_EQ(decimal::int64Text(INT64_MIN).size(), decimal::maxIntegerLength);
        EXPECT_EQ(decimal::uint64Text(UINT64_MAX), "18446744073709551615");
    });
    char small[3];
    EXPECT_EQ(decimal::formatInt64(small, sizeof small, 12345), 0u) << "too little room writes nothing";
    EXPECT_EQ(decimal::formatFixed(small, sizeof small, 0.5), 0u);
}
