#include "foundation/str/Ascii.h"

#include <gtest/gtest.h>

namespace ascii = s::str::ascii;

TEST(Ascii, OnlyTheAsciiLettersChangeCase)
{
    struct Case {
        char16_t unit;
        char16_t lower;
        char16_t upper;
    };
    const Case cases[] = {
        { u'A', u'a', u'A' },
        { u'Z', u'z', u'Z' },
        { u'a', u'a', u'A' },
        { u'z', u'z', u'Z' },
        { u'@', u'@', u'@' }, // just below "A"
        { u'[', u'[', u'[' }, // just above "Z"
        { u'`', u'`', u'`' },
        { u'{', u'{', u'{' },
        { u'5', u'5', u'5' },
        { u'\u00c9', u'\u00c9', u'\u00c9' }, // É stays
        { u'\u0130', u'\u0130', u'\u0130' }, // dotted capital I stays
        { u'\uff21', u'\uff21', u'\uff21' }, // fullwidth A stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.unit));
        EXPECT_EQ(ascii::toLower(c.unit), c.lower);
        EXPECT_EQ(ascii::toUpper(c.unit), c.upper);
        if (c.unit < 0x80) {
            EXPECT_EQ(ascii::toLower(static_cast<char>(c.unit)), static_cast<char>(c.lower));
            EXPECT_EQ(ascii::toUpper(static_cast<char32_t>(c.unit)), static_cast<char32_t>(c.upper));
        }
    }
    // A Latin-1 byte that is negative as a char is left alone.
    EXPECT_EQ(ascii::toLower('\xC9'), '\xC9');
}

TEST(Ascii, ClassesAndHexDigits)
{
    EXPECT_TRUE(ascii::isDigit(u'0'));
    EXPECT_TRUE(ascii::isDigit('9'));
    EXPECT_FALSE(ascii::isDigit(u'\u0661')); // Arabic-Indic one
    EXPECT_TRUE(ascii::isAlnum(u'q'));
    EXPECT_FALSE(ascii::isAlpha(u'_'));
    for (char16_t blank : std::u16string_view(u" \t\n\v\f\r"))
        EXPECT_TRUE(ascii::isSpace(blank)) << static_cast<int>(blank);
    EXPECT_FALSE(ascii::isSpace(u'\u00a0'));
    EXPECT_FALSE(ascii::isSpace(u'\u3000'));
    EXPECT_FALSE(ascii::isSpace(u'\0'));

    struct Hex {
        char16_t unit;
        int value;
    };
    const Hex hex[] = { { u'0', 0 }, { u'9', 9 }, { u'a', 10 }, { u'f', 15 }, { u'A', 10 }, { u'F', 15 }, { u'g', -1 }, { u'G', -1 }, { u'/', -1 }, { u':', -1 }, { u'\uff10', -1 } };
    for (const Hex& h : hex)
        EXPECT_EQ(ascii::hexValue(h.unit), h.value) << static_cast<int>(h.unit);
}

TEST(Ascii, ComparesAndLowersTexts)
{
    EXPECT_TRUE(ascii::equalsIgnoreCase(u"Content-Length", u"content-LENGTH"));
    EXPECT_FALSE(ascii::equalsIgnoreCase(u"Stra\u00dfe", u"STRASSE"));
    EXPECT_FALSE(ascii::equalsIgnoreCase(u"\u00e9", u"\u00c9")) << "only ASCII letters pair";
    EXPECT_FALSE(ascii::equalsIgnoreCase(u"ab", u"abc"));
    EXPECT_TRUE(ascii::equalsIgnoreCase("", ""));
    EXPECT_TRUE(ascii::startsWithIgnoreCase(u"HTTP/1.1 200", u"http/"));
    EXPECT_FALSE(ascii::startsWithIgnoreCase(u"ht", u"http"));
    EXPECT_TRUE(ascii::endsWithIgnoreCase("video.MP4", ".mp4"));
    EXPECT_FALSE(ascii::endsWithIgnoreCase("mp4", ".mp4"));
    EXPECT_EQ(ascii::lowered("de_DE.UTF-8@Euro"), "de_de.utf-8@euro");
    EXPECT_EQ(ascii::lowered(u"\u00c9T\u00c9"), u"\u00c9t\u00c9");
}
