#include "foundation/col/ArrayU08.h"
#include "foundation/str/CodePage.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/str/Utf8.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <string>
#include <vector>

using s::col::_array::ArrayU08;
using s::str::StrBuffer;
using s::system::codepage::CodePage;
using s::thread::Pooled;

namespace s::str::strbuffer {
void PrintTo(const StrBuffer& text, std::ostream* out)
{
    *out << '"' << text.toStdUtf8() << '"';
}
}

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const ArrayU08& array)
{
    return Bytes(array.begin(), array.end());
}

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

std::string hex(const Bytes& bytes)
{
    std::string out;
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X ", b);
        out += two;
    }
    return out;
}

std::string hex(std::u16string_view units)
{
    std::string out;
    char four[8];
    for (char16_t u : units) {
        std::snprintf(four, sizeof four, "%04X ", static_cast<unsigned>(u));
        out += four;
    }
    return out;
}

bool iconvKnows(const char* charset)
{
    iconv_t cd = iconv_open("UTF-16LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

}

TEST(StrBufferUtf8, EncodesUnitsToBytes)
{
    struct Case {
        const char* what;
        std::u16string_view text;
        std::string_view utf8;
    };
    const Case cases[] = {
        { "empty", u"", "" },
        { "ASCII", u"plain text 123", "plain text 123" },
        { "é, no byte-order mark", u"é", "\xC3\xA9" },
        { "two-byte limit", u"\u07FF", "\xDF\xBF" },
        { "three-byte start", u"\u0800", "\xE0\xA0\x80" },
        { "CJK", u"東京", "\xE6\x9D\xB1\xE4\xBA\xAC" },
        { "last basic unit", u"\uFFFF", "\xEF\xBF\xBF" },
        { "surrogate pair", u"\U0001F600", "\xF0\x9F\x98\x80" },
        { "highest code point", u"\U0010FFFF", "\xF4\x8F\xBF\xBF" },
        { "lone high surrogate at the end", std::u16string_view(u"a\xD83D", 2), "a\xEF\xBF\xBD" },
        { "lone high surrogate before text", std::u16string_view(u"\xD83Dz", 2), "\xEF\xBF\xBDz" },
        { "lone low surrogate", std::u16string_view(u"\xDE00", 1), "\xEF\xBF\xBD" },
        { "reversed pair", std::u16string_view(u"\xDE00\xD83D", 2), "\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "embedded NUL", std::u16string_view(u"a\0b", 3), std::string_view("a\0b", 3) },
        { "long ASCII then more", u"abcdefghijklmnopé", "abcdefghijklmnop\xC3\xA9" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto text = StrBuffer::make(c.text);
        Pooled<ArrayU08> out;
        text->toUtf8(*out);
        EXPECT_EQ(hex(bytesOf(*out)), hex(bytesOf(c.utf8)));
        ASSERT_GT(out->capacity(), out->count());
        EXPECT_EQ(out->items()[out->count()], 0); // written, not counted
        EXPECT_EQ(s::str::Utf8::encodedSize(text->units(), text->length()), c.utf8.size());

        text->toUtf8Terminated(*out);
        ASSERT_EQ(out->count(), c.utf8.size() + 1);
        EXPECT_EQ(out->last(), 0);
        EXPECT_EQ(text->toStdUtf8(), c.utf8);
    }
}

TEST(StrBufferUtf8, DecodesBytesToUnitsReplacingMalformedInput)
{
    struct Case {
        const char* what;
        std::string_view utf8;
        std::u16string_view text;
    };
    const char16_t r = 0xFFFD;
    const std::u16string rr(2, r), rrr(3, r), rrrr(4, r);
    const Case cases[] = {
        { "empty", "", u"" },
        { "é", "\xC3\xA9", u"é" },
        { "surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600" },
        { "a byte-order mark is a character", "\xEF\xBB\xBFx", u"\uFEFFx" },
        { "stray continuation", "a\x80z", u"a\uFFFDz" },
        { "two stray continuations", "\x80\xBF", rr },
        { "truncated two-byte at the end", "a\xC3", u"a\uFFFD" },
        { "truncated three-byte at the end", "\xE6\x9D", std::u16string_view(&r, 1) },
        { "truncated four-byte then ASCII", "\xF0\x9F\x98z", u"\uFFFDz" },
        { "lead followed by a lead", "\xC3\xC3\xA9", u"\uFFFDé" },
        { "overlong slash C0 AF", "\xC0\xAF", rr },
        { "overlong three-byte E0 80 AF", "\xE0\x80\xAF", rrr },
        { "overlong four-byte F0 8F BF BF", "\xF0\x8F\xBF\xBF", rrrr },
        { "encoded surrogate ED A0 80", "\xED\xA0\x80", rrr },
        { "above U+10FFFF F4 90 80 80", "\xF4\x90\x80\x80", rrrr },
        { "F5 lead", "\xF5\x80", rr },
        { "FF byte", "\xFF", std::u16string_view(&r, 1) },
        { "highest valid ED", "\xED\x9F\xBF", u"\uD7FF" },
        { "NUL inside", std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3) },
        { "ASCII run then malformed", "abcdefgh\xFFijklmnop", u"abcdefgh\uFFFDijklmnop" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pooled<StrBuffer> text;
        text->fromUtf8(c.utf8.data(), static_cast<int64_t>(c.utf8.size()));
        EXPECT_EQ(hex(text->view()), hex(c.text));
    }
}

TEST(StrBufferUtf8, AppendsReplacesAndStopsAtNul)
{
    Pooled<StrBuffer> text;
    text->append(u"old ");
    text->fromUtf8("caf\xC3\xA9", -1, true);
    EXPECT_EQ(*text, u"old café");
    text->fromUtf8("new");
    EXPECT_EQ(*text, u"new");
    text->appendUtf8(std::string_view("+\0x", 3));
    EXPECT_EQ(text->view(), std::u16string_view(u"new+\0x", 6));
    text->appendUtf8("!\0ignored");
    EXPECT_EQ(text->view(), std::u16string_view(u"new+\0x!", 7));
    EXPECT_EQ(*StrBuffer::makeUtf8("\xE2\x82\xAC 5"), u"€ 5");

    // Every code point survives the trip through UTF-8.
    Pooled<StrBuffer> all;
    for (uint32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        if (cp < 0x10000) {
            all->append(static_cast<char16_t>(cp));
        } else {
            all->append(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            all->append(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    auto back = StrBuffer::makeUtf8(all->toStdUtf8());
    EXPECT_TRUE(back->equals(all.get()));
}

TEST(StrBufferCodePage, Utf16PagesCopyOrSwapWithoutByteOrderMark)
{
    auto text = StrBuffer::make(u"A\u00E9\U0001F600");
    auto le = CodePage::make(CodePage::utf16LE);
    auto be = CodePage::make(CodePage::utf16BE);
    Pooled<ArrayU08> out;

    text->toCodePage(*out, *le);
    const Bytes leBytes = { 0x41, 0x00, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE };
    EXPECT_EQ(hex(bytesOf(*out)), hex(leBytes));
    text->toCodePage(*out, *be);
    const Bytes beBytes = { 0x00, 0x41, 0x00, 0xE9, 0xD8, 0x3D, 0xDE, 0x00 };
    EXPECT_EQ(hex(bytesOf(*out)), hex(beBytes));
    text->toCodePageTerminated(*out, *be);
    EXPECT_EQ(out->count(), 10u); // a whole 0 unit
    EXPECT_EQ(out->at(8), 0);
    EXPECT_EQ(out->at(9), 0);

    Pooled<StrBuffer> back;
    back->fromCodePage(beBytes.data(), static_cast<int64_t>(beBytes.size()), *be);
    EXPECT_TRUE(back->equals(text.get()));
    back->fromCodePage(leBytes.data(), 3, *le, true); // an odd last byte is no unit
    EXPECT_EQ(back->length(), 5u);
    EXPECT_EQ(back->at(4), u'A');
    const uint8_t terminated[] = { 'h', 0, 'i', 0, 0, 0, 'x', 0 };
    back->fromCodePage(terminated, -1, *le);
    EXPECT_EQ(*back, u"hi");
}

TEST(StrBufferCodePage, OtherPagesGoThroughIconv)
{
    if (!iconvKnows("CP1252") || !iconvKnows("CP932") || !iconvKnows("ISO-8859-1"))
        GTEST_SKIP() << "the C library has no iconv modules installed";

    struct Case {
        uint32_t number;
        std::u16string_view text;
        std::string_view bytes;
    };
    const Case cases[] = {
        { 1252, u"Grüße €", "Gr\xFC\xDF" "e \x80" },
        { 1252, u"日本", "??" }, // cannot be represented
        { 1252, u"\U0001F600", "?" }, // one mark for a whole pair
        { 28591, u"é", "\xE9" },
        { 932, u"日本語", "\x93\xFA\x96\x7B\x8C\xEA" },
        { 936, u"中文", "\xD6\xD0\xCE\xC4" },
        { CodePage::utf8, u"é", "\xC3\xA9" },
    };
    for (const Case& c : cases) {
        auto page = CodePage::make(c.number);
        SCOPED_TRACE(std::string(page->charset()) + " " + std::to_string(c.number));
        auto text = StrBuffer::make(c.text);
        Pooled<ArrayU08> out;
        text->toCodePage(*out, *page);
        EXPECT_EQ(hex(bytesOf(*out)), hex(bytesOf(c.bytes)));
        EXPECT_EQ(out->items()[out->count()], 0);
        text->toCodePageTerminated(*out, *page);
        EXPECT_EQ(out->count(), c.bytes.size() + 1);

        if (c.bytes.find('?') == std::string_view::npos) {
            Pooled<StrBuffer> back;
            back->fromCodePage(c.bytes.data(), static_cast<int64_t>(c.bytes.size()), *page);
            EXPECT_EQ(back->view(), c.text);
        }
    }

    // Bytes that are not valid in the page become U+FFFD; a cut character at the end too.
    auto sjis = CodePage::make(932);
    Pooled<StrBuffer> text;
    text->fromCodePage("a\x93", -1, *sjis);
    EXPECT_EQ(hex(text->view()), hex(u"a\uFFFD"));
    auto utf8 = CodePage::make(0);
    utf8->setCharset("utf-8");
    EXPECT_EQ(utf8->number(), CodePage::utf8);
    auto latin = CodePage::make(0);
    latin->setCharset("ISO-8859-15");
    EXPECT_EQ(latin->number(), 0xFFFFFFFFu);
    text->fromCodePage("\xA4", 1, *latin);
    EXPECT_EQ(*text, u"€");
}

TEST(StrBufferCodePage, UnknownSetsKeepAscii)
{
    auto page = CodePage::make(0);
    page->setCharset("NO-SUCH-CHARSET");
    auto text = StrBuffer::make(u"ab\u00E9");
    Pooled<ArrayU08> out;
    text->toCodePage(*out, *page);
    EXPECT_EQ(hex(bytesOf(*out)), hex(bytesOf("ab?")));
    Pooled<StrBuffer> back;
    back->fromCodePage("ab\xE9", 3, *page);
    EXPECT_EQ(hex(back->view()), hex(u"ab\uFFFD"));
}

TEST(StrBufferCodePage, OemIsTheLocaleCharacterSet)
{
    auto oem = CodePage::make(CodePage::oem);
    EXPECT_EQ(std::string(oem->charset()), CodePage::localeCharset());
    EXPECT_FALSE(CodePage::localeCharset().empty());
    auto text = StrBuffer::make(u"plain ASCII");
    Pooled<ArrayU08> out;
    text->toOem(*out);
    EXPECT_EQ(hex(bytesOf(*out)), hex(bytesOf("plain ASCII")));
    text->toOemTerminated(*out);
    EXPECT_EQ(out->count(), 12u);
    Pooled<StrBuffer> back;
    back->fromOem(out->items(), -1);
    EXPECT_EQ(*back, u"plain ASCII");
    EXPECT_EQ(oem->className(), std::string("s_system_codepage_CodePage"));
}
