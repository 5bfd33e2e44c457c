#include "foundation/col/ArrayU08.h"
#include "foundation/str/CaseFold.h"
#include "foundation/str/Iterator.h"
#include "foundation/str/StrArray.h"
#include "foundation/str/StrBuffer.h"
#include "tests/common/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using s::str::StrArray;
using s::str::StrBuffer;
using s::thread::Pooled;

namespace s::str::strbuffer {
void PrintTo(const StrBuffer& text, std::ostream* out)
{
    *out << '"' << text.toStdUtf8() << '"';
}
}

namespace {

constexpr uint32_t fromEnd = StrBuffer::fromEnd;

// A buffer without a block, as a new one has.
Pooled<StrBuffer> fresh()
{
    Pooled<StrBuffer> text;
    text->freeStorage();
    return text;
}

std::string utf8(std::u16string_view text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

// Runs number checks as they are, then again with the process under a decimal-comma locale.
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

std::vector<std::u16string> pieces(const StrArray& array)
{
    std::vector<std::u16string> out;
    for (uint32_t i = 0; i < array.size(); ++i)
        out.emplace_back(array.at(i)->view());
    return out;
}

}

// --- storage and growth ---

TEST(StrBufferStorage, GrowsByTheGrowthRule)
{
    Pooled<StrBuffer> text = fresh();
    EXPECT_EQ(text->capacity(), 0u);
    text->append(u'a');
    EXPECT_EQ(text->capacity(), 100u);
    for (int i = 1; i < 100; ++i)
        text->append(u'a');
    EXPECT_EQ(text->capacity(), 100u);
    text->append(u'b'); // the 101st unit
    EXPECT_EQ(text->capacity(), 300u);
    EXPECT_EQ(text->length(), 101u);
    EXPECT_EQ(text->at(100), u'b');

    struct Case {
        uint32_t reserve;
        uint32_t capacity;
    };
    for (Case c : std::initializer_list<Case> { { 1, 100 }, { 100, 100 }, { 101, 300 }, { 1000, 2700 }, { 2701, 8100 } }) {
        Pooled<StrBuffer> empty = fresh();
        empty->reserve(c.reserve);
        EXPECT_EQ(empty->capacity(), c.capacity) << "reserve " << c.reserve;
    }

    Pooled<StrBuffer> exact = fresh();
    exact->reserveExactly(37);
    EXPECT_EQ(exact->capacity(), 37u);
    exact->reserveExactly(10); // never shrinks
    EXPECT_EQ(exact->capacity(), 37u);
    exact->growOnce();
    EXPECT_EQ(exact->capacity(), 100u);
    exact->growOnce();
    EXPECT_EQ(exact->capacity(), 300u);
}

TEST(StrBufferStorage, ReleaseKeepsTheBlockAndEmptiesTheText)
{
    StrBuffer* text = StrBuffer::get();
    text->append(u"some text");
    const char16_t* block = text->units();
    uint32_t capacity = text->capacity();
    text->release();
    StrBuffer* again = StrBuffer::get();
    EXPECT_EQ(again, text);
    EXPECT_EQ(again->length(), 0u);
    EXPECT_EQ(again->units(), block);
    EXPECT_EQ(again->capacity(), capacity);
    EXPECT_EQ(again->readPosition(), 0u);
    again->freeStorage();
    EXPECT_EQ(again->units(), nullptr);
    EXPECT_EQ(again->capacity(), 0u);
    again->release();
}

TEST(StrBufferStorage, TerminationAndAccess)
{
    auto empty = fresh();
    EXPECT_STREQ(reinterpret_cast<const char*>(empty->c_str()), "");

    auto text = StrBuffer::make(u"abc");
    text->reserve(500);
    text->units()[3] = u'X'; // stale unit after the text
    EXPECT_EQ(std::u16string(text->c_str()), u"abc");
    text->setLength(2);
    text->terminate();
    EXPECT_EQ(text->units()[2], 0);
    EXPECT_EQ(*text->pointerAt(1), u'b');

    // Embedded NULs are part of the text but end it for NUL-terminated readers.
    auto nul = StrBuffer::make(std::u16string_view(u"12\0" u"34", 5));
    EXPECT_EQ(nul->length(), 5u);
    EXPECT_EQ(nul->parseInt32(), 12);
    EXPECT_EQ(nul->view().substr(3), u"34");
}

TEST(StrBufferStorage, AppendingAPieceOfItselfSurvivesGrowth)
{
    auto text = StrBuffer::make(u"0123456789");
    for (int i = 0; i < 6; ++i)
        text->append(text->view()); // crosses 100 and 300 units
    EXPECT_EQ(text->length(), 640u);
    EXPECT_TRUE(text->startsWith(u"01234567890123456789"));
    EXPECT_TRUE(text->endsWith(u"0123456789"));
    text->prepend(text->view().substr(0, 3));
    EXPECT_TRUE(text->startsWith(u"0120123"));
    text->assign(text->view().substr(5, 4));
    EXPECT_EQ(*text, u"2345");
}

// --- case ---

TEST(StrBufferCase, ConvertsInPlaceWhateverTheLocale)
{
    std::setlocale(LC_ALL, "C"); // the mappings must not depend on it
    struct Case {
        std::u16string_view text, lower, upper, capitalized;
    };
    const Case cases[] = {
        { u"", u"", u"", u"" },
        { u"Hello World", u"hello world", u"HELLO WORLD", u"Hello world" },
        { u"ÉCOLE été", u"école été", u"ÉCOLE ÉTÉ", u"école été" }, // capitalising raises ASCII only
        { u"ΣΊΣΥΦΟΣ", u"σίσυφοσ", u"ΣΊΣΥΦΟΣ", u"σίσυφοσ" },
        { u"straße", u"straße", u"STRAßE", u"Straße" }, // no one-unit upper case of ß
        { u"Привет", u"привет", u"ПРИВЕТ", u"привет" },
        { u"\U0001F600x", u"\U0001F600x", u"\U0001F600X", u"\U0001F600x" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        auto t = StrBuffer::make(c.text);
        t->toLower();
        EXPECT_EQ(*t, c.lower);
        t = StrBuffer::make(c.text);
        t->toUpper();
        EXPECT_EQ(*t, c.upper);
        t = StrBuffer::make(c.text);
        t->capitalize();
        EXPECT_EQ(*t, c.capitalized);
    }
    auto t = StrBuffer::make(u"aÉz");
    EXPECT_EQ(t->upperAt(0), u'A');
    EXPECT_EQ(t->lowerAt(1), u'É'); // ASCII only
    t->reverse();
    EXPECT_EQ(*t, u"zÉa");
}

// --- find ---

TEST(StrBufferFind, UnitsForwardAndBackward)
{
    auto text = StrBuffer::make(u"axbxAXbx");
    struct Case {
        const char* what;
        bool found;
        uint32_t at;
        bool gotFound;
        uint32_t gotAt;
    };
    std::vector<Case> cases;
    auto run = [&](const char* what, bool expectFound, uint32_t expectAt, auto&& search) {
        uint32_t at = 0xDEAD;
        bool found = search(at);
        cases.push_back({ what, expectFound, expectAt, found, found ? at : 0xDEAD });
    };
    run("x from 0", true, 1, [&](uint32_t& at) { return text->indexOf(u'x', at); });
    run("x from 2", true, 3, [&](uint32_t& at) { return text->indexOf(u'x', at, 2); });
    run("x from length", false, 0, [&](uint32_t& at) { return text->indexOf(u'x', at, 8); });
    run("X exact", true, 5, [&](uint32_t& at) { return text->indexOf(u'X', at); });
    run("X ignoring case", true, 1, [&](uint32_t& at) { return text->indexOfIgnoreCase(u'X', at); });
    run("any of Xq", true, 5, [&](uint32_t& at) { return text->indexOfAny(u"Xq", at); });
    run("any of Xq ignoring case", true, 1, [&](uint32_t& at) { return text->indexOfAnyIgnoreCase(u"Xq", at); });
    run("any of Xq ignoring case from 2", true, 3, [&](uint32_t& at) { return text->indexOfAnyIgnoreCase(u"Xq", at, 2); });
    run("any of empty set", false, 0, [&](uint32_t& at) { return text->indexOfAny(u"", at); });
    run("last x", true, 7, [&](uint32_t& at) { return text->lastIndexOf(u'x', at); });
    run("last x below 7", true, 3, [&](uint32_t& at) { return text->lastIndexOf(u'x', at, 7); });
    run("last x below 1", false, 0, [&](uint32_t& at) { return text->lastIndexOf(u'x', at, 1); });
    run("last x bound 0", false, 0, [&](uint32_t& at) { return text->lastIndexOf(u'x', at, 0); });
    run("last x bound beyond", true, 7, [&](uint32_t& at) { return text->lastIndexOf(u'x', at, 100); });
    run("last X ignoring case below 7", true, 5, [&](uint32_t& at) { return text->lastIndexOfIgnoreCase(u'X', at, 7); });
    run("last any of ab", true, 6, [&](uint32_t& at) { return text->lastIndexOfAny(u"ab", at); });
    run("last any of A ignoring case below 4", true, 0, [&](uint32_t& at) { return text->lastIndexOfAnyIgnoreCase(u"A", at, 4); });
    run("last any of z", false, 0, [&](uint32_t& at) { return text->lastIndexOfAny(u"z", at); });
    for (const Case& c : cases) {
        EXPECT_EQ(c.gotFound, c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(c.gotAt, c.at) << c.what;
        }
    }

    // The examples of the backward bound, on "axbx".
    auto short_ = StrBuffer::make(u"axbx");
    uint32_t at = 0;
    ASSERT_TRUE(short_->lastIndexOf(u'x', at, fromEnd));
    EXPECT_EQ(at, 3u);
    ASSERT_TRUE(short_->lastIndexOf(u'x', at, 3));
    EXPECT_EQ(at, 1u);
    auto empty = StrBuffer::make(u"");
    EXPECT_FALSE(empty->lastIndexOf(u'x', at));
    EXPECT_FALSE(empty->indexOf(u'x', at));
}

TEST(StrBufferFind, UnitSearchAcrossLongTexts)
{
    // The vectorised scans must report the right lane of every step and the tail after the last
    // full step. A second mark at 0 must never be taken for the one at `where`.
    const char16_t mark = u'\xFFFF';
    for (uint32_t length : { 1u, 7u, 8u, 9u, 15u, 16u, 17u, 100u }) {
        for (uint32_t where = 0; where < length; ++where) {
            SCOPED_TRACE(std::to_string(length) + " units, mark at " + std::to_string(where));
            Pooled<StrBuffer> text;
            for (uint32_t i = 0; i < length; ++i)
                text->append(i == where || i == 0 ? mark : u'a');
            uint32_t at = 0;
            ASSERT_TRUE(text->indexOf(mark, at, where ? 1 : 0));
            EXPECT_EQ(at, where);
            EXPECT_FALSE(text->indexOf(mark, at, where + 1));
            ASSERT_TRUE(text->indexOf(std::u16string_view(&mark, 1), at, where ? 1 : 0));
            EXPECT_EQ(at, where);
            ASSERT_TRUE(text->lastIndexOf(mark, at));
            EXPECT_EQ(at, where);
            if (where > 0) {
                ASSERT_TRUE(text->lastIndexOf(mark, at, where));
                EXPECT_EQ(at, 0u);
            }
        }
    }
}

TEST(StrBufferFind, Texts)
{
    auto text = StrBuffer::make(u"abcABCabc");
    // Each search runs in the lambda, so `at` is read after it.
    auto check = [](const char* what, bool expectFound, uint32_t expectAt, auto&& search) {
        uint32_t at = 0xDEAD;
        bool found = search(at);
        EXPECT_EQ(found, expectFound) << what;
        if (found && expectFound) {
            EXPECT_EQ(at, expectAt) << what;
        }
    };
    check("bc", true, 1, [&](uint32_t& at) { return text->indexOf(u"bc", at); });
    check("bc from 2", true, 7, [&](uint32_t& at) { return text->indexOf(u"bc", at, 2); });
    check("BC", true, 4, [&](uint32_t& at) { return text->indexOf(u"BC", at); });
    check("BC ignoring case", true, 1, [&](uint32_t& at) { return text->indexOfIgnoreCase(u"BC", at); });
    check("BC ignoring case from 2", true, 4, [&](uint32_t& at) { return text->indexOfIgnoreCase(u"BC", at, 2); });
    check("longer than text", false, 0, [&](uint32_t& at) { return text->indexOf(u"abcABCabcX", at); });
    check("whole text", true, 0, [&](uint32_t& at) { return text->indexOf(u"abcABCabc", at); });
    check("at the very end", true, 8, [&](uint32_t& at) { return text->indexOf(u"c", at, 8); });
    check("empty at start", true, 3, [&](uint32_t& at) { return text->indexOf(u"", at, 3); });
    check("empty ignoring case", false, 0, [&](uint32_t& at) { return text->indexOfIgnoreCase(u"", at); });
    check("last bc", true, 7, [&](uint32_t& at) { return text->lastIndexOf(u"bc", at); });
    check("last bc below 7", true, 1, [&](uint32_t& at) { return text->lastIndexOf(u"bc", at, 7); });
    check("last bc below 1", false, 0, [&](uint32_t& at) { return text->lastIndexOf(u"bc", at, 1); });
    check("last BC ignoring case below 7", true, 4, [&](uint32_t& at) { return text->lastIndexOfIgnoreCase(u"BC", at, 7); });
    check("last empty", false, 0, [&](uint32_t& at) { return text->lastIndexOf(u"", at); });
    check("last empty ignoring case", false, 0, [&](uint32_t& at) { return text->lastIndexOfIgnoreCase(u"", at); });
    check("last longer than text", false, 0, [&](uint32_t& at) { return text->lastIndexOf(u"abcABCabcX", at); });
    check("last abcA at 0", true, 0, [&](uint32_t& at) { return text->lastIndexOf(u"abcA", at); });
}

TEST(StrBufferFind, MatchesStartsAndEnds)
{
    auto text = StrBuffer::make(u"abcdef");
    struct Case {
        uint32_t index;
        std::u16string_view with;
        int32_t count;
        bool exact, ignoringCase;
    };
    const Case cases[] = {
        { 0, u"abc", 3, true, true },
        { 0, u"abc", -1, false, false }, // -1: the rest must equal it all
        { 3, u"def", -1, true, true },
        { 3, u"DEF", -1, false, true },
        { 3, u"DEFG", 3, false, true },
        { 3, u"DEFG", 4, false, false }, // the text ends before the argument
        { 4, u"ef", 5, true, true }, // both end together
        { 6, u"", -1, true, true },
        { 1, u"bcX", 2, true, true },
        { 0, u"ABCDEF", 0, true, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.with) + " at " + std::to_string(c.index) + " count " + std::to_string(c.count));
        EXPECT_EQ(text->matchesAt(c.index, c.with, c.count), c.exact);
        EXPECT_EQ(text->matchesAtIgnoreCase(c.index, c.with, c.count), c.ignoringCase);
    }
    // Matching ignoring case folds every unit.
    auto greek = StrBuffer::make(u"ΑΒΓ");
    EXPECT_TRUE(greek->matchesAtIgnoreCase(0, u"αβγ"));

    EXPECT_TRUE(text->startsWithIgnoreCase(u"ABC"));
    EXPECT_FALSE(text->startsWith(u"ABC"));
    EXPECT_TRUE(text->startsWith(u""));
    EXPECT_TRUE(text->endsWith(u"def"));
    EXPECT_TRUE(text->endsWithIgnoreCase(u"DeF"));
    EXPECT_FALSE(text->endsWith(u"abcdefg"));
    auto bc = StrBuffer::make(u"bc");
    EXPECT_FALSE(bc->endsWith(u"abc"));
    EXPECT_FALSE(bc->startsWithIgnoreCase(u"bcd"));
}

// --- trim ---

TEST(StrBufferTrim, CutsTheSetDownToTheMinimum)
{
    struct Case {
        const char* what;
        std::u16string_view text;
        std::u16string_view result;
    };
    auto trimmed = [](std::u16string_view text, auto&& trim) {
        auto t = StrBuffer::make(text);
        trim(*t);
        return std::u16string(t->view());
    };
    EXPECT_EQ(trimmed(u"ab \n", [](StrBuffer& t) { t.trimEnd(); }), u"ab");
    EXPECT_EQ(trimmed(u"ab  ", [](StrBuffer& t) { t.trimEnd(3); }), u"ab ");
    EXPECT_EQ(trimmed(u"a   ", [](StrBuffer& t) { t.trimEnd(10); }), u"a   ");
    EXPECT_EQ(trimmed(u" \t\r\n\u3000", [](StrBuffer& t) { t.trimEnd(); }), u"");
    EXPECT_EQ(trimmed(u"a\u00A0", [](StrBuffer& t) { t.trimEnd(); }), u"a\u00A0"); // not in the set
    EXPECT_EQ(trimmed(u"x--==", [](StrBuffer& t) { t.trimEndOf(u"=-"); }), u"x");
    EXPECT_EQ(trimmed(u"x--==", [](StrBuffer& t) { t.trimEndOf(u"=-", 2); }), u"x-");
    EXPECT_EQ(trimmed(u"\u3000 \tab ", [](StrBuffer& t) { t.trimStart(); }), u"ab ");
    EXPECT_EQ(trimmed(u"   ", [](StrBuffer& t) { t.trimStart(); }), u"");
    EXPECT_EQ(trimmed(u"//a/", [](StrBuffer& t) { t.trimStartOf(u"/"); }), u"a/");
    EXPECT_EQ(trimmed(u"", [](StrBuffer& t) { t.trimStartOf(u"/"); }), u"");
}

// --- append, prepend, hex ---

TEST(StrBufferAppend, UnitsBytesAndHex)
{
    Pooled<StrBuffer> text;
    text->append(u"b");
    text->prepend(u"a");
    text->append(u'c');
    const char latin1[] = { 'd', static_cast<char>(0xE9), 0 };
    text->appendLatin1(latin1);
    text->appendLatin1("xyz", 1);
    text->prepend(u"", 0);
    EXPECT_EQ(*text, u"abcdéx");
    auto other = StrBuffer::make(u"!");
    text->append(*other);
    EXPECT_EQ(*text, u"abcdéx!");

    Pooled<StrBuffer> hex;
    const uint32_t words[] = { 0xDEADBEEF, 0x1 };
    const uint8_t bytes[] = { 0x0A, 0xFF };
    const uint16_t halves[] = { 0xABC };
    const uint64_t longs[] = { 0x0123456789ABCDEFull };
    hex->appendHex32(words, 2);
    hex->append(u'|');
    hex->appendHex8(bytes, 2);
    hex->append(u'|');
    hex->appendHex16(halves, 1);
    hex->append(u'|');
    hex->appendHex64(longs, 1);
    hex->appendHex8(bytes, 0);
    EXPECT_EQ(*hex, u"deadbeef00000001|0aff|0abc|0123456789abcdef");
}

// --- replace ---

TEST(StrBufferReplace, NonOverlappingLeftToRight)
{
    struct Case {
        std::u16string_view text, from, to, result;
        uint32_t count;
    };
    const Case cases[] = {
        { u"aaaa", u"aa", u"b", u"bb", 2 },
        { u"aa", u"a", u"aa", u"aaaa", 2 },
        { u"aaa", u"aa", u"x", u"xa", 1 },
        { u"abab", u"ab", u"ab", u"abab", 2 },
        { u"abc", u"x", u"yy", u"abc", 0 },
        { u"abc", u"", u"yy", u"abc", 0 }, // an empty search text changes nothing
        { u"a.b.c", u".", u"", u"abc", 2 },
        { u"a.b.c", u".", u"::", u"a::b::c", 2 },
        { u"", u"a", u"b", u"", 0 },
        { u"xx", u"xx", u"", u"", 1 },
        { u"ab", u"ab", u"abab", u"abab", 1 }, // resumes after the inserted text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text) + ": " + utf8(c.from) + " -> " + utf8(c.to));
        auto t = StrBuffer::make(c.text);
        EXPECT_EQ(t->replaceAll(c.from, c.to), c.count);
        EXPECT_EQ(*t, c.result);
    }
    auto t = StrBuffer::make(u"Path/PATH/path");
    EXPECT_EQ(t->replaceAllIgnoreCase(u"path", u"dir"), 3u);
    EXPECT_EQ(*t, u"dir/dir/dir");
    t = StrBuffer::make(u"ÉÉé");
    EXPECT_EQ(t->replaceAllIgnoreCase(u"é", u"e"), 1u); // ASCII only
    EXPECT_EQ(*t, u"ÉÉe");

    // A growing replace on a long text crosses the capacity steps.
    Pooled<StrBuffer> big;
    for (int i = 0; i < 1000; ++i)
        big->append(u"a,");
    EXPECT_EQ(big->replaceAll(u",", u", "), 1000u);
    EXPECT_EQ(big->length(), 3000u);
    EXPECT_GE(big->capacity(), 3000u);
    EXPECT_TRUE(big->startsWith(u"a, a, "));
}

// --- copy and head before last ---

TEST(StrBufferCopy, RangesAreClippedToTheLength)
{
    auto text = StrBuffer::make(u"0123456789");
    EXPECT_EQ(*text->clone(), u"0123456789");
    EXPECT_EQ(*text->substring(2, 5), u"234");
    EXPECT_EQ(*text->substring(8, 100), u"89");
    EXPECT_EQ(*text->substring(5, 5), u"");
    EXPECT_EQ(*text->substring(7, 3), u"");
    text->keepRange(3, 99);
    EXPECT_EQ(*text, u"3456789");
    text->keepRange(1, 3);
    EXPECT_EQ(*text, u"45");
    text->keepRange(2, 2);
    EXPECT_EQ(*text, u"");

    auto path = StrBuffer::make(u"C:/dir/Sub/file.TXT");
    EXPECT_EQ(*path->headBeforeLast(u'/'), u"C:/dir/Sub");
    EXPECT_EQ(*path->headBeforeLast(u'?'), u"");
    EXPECT_EQ(*path->headBeforeLastIgnoreCase(u's'), u"C:/dir/");
    EXPECT_EQ(*path->headBeforeLastOfAny(u"/."), u"C:/dir/Sub/file");
    EXPECT_EQ(*path->headBeforeLastOfAnyIgnoreCase(u"d"), u"C:/");
    EXPECT_EQ(*path->headBeforeLast(u"/"), u"C:/dir/Sub");
    EXPECT_EQ(*path->headBeforeLast(u".txt"), u"");
    EXPECT_EQ(*path->headBeforeLastIgnoreCase(u".txt"), u"C:/dir/Sub/file");
}

// --- numbers ---

TEST(StrBufferNumbers, ParseLikeTheCLibrary)
{
    struct Case {
        std::u16string_view text;
        int32_t int32;
        int64_t int64;
        double real;
    };
    const Case cases[] = {
        { u"12abc", 12, 12, 12.0 },
        { u"abc", 0, 0, 0.0 },
        { u"", 0, 0, 0.0 },
        { u"  -42", -42, -42, -42.0 },
        { u"+7", 7, 7, 7.0 },
        { u"2147483647", 2147483647, 2147483647, 2147483647.0 },
        { u"2147483648", 2147483647, 2147483648LL, 2147483648.0 },
        { u"-2147483649", -2147483647 - 1, -2147483649LL, -2147483649.0 },
        { u"9223372036854775808", 2147483647, INT64_MAX, 9223372036854775808.0 },
        { u"-9223372036854775808", -2147483647 - 1, INT64_MIN, -9223372036854775808.0 },
        { u"3.75 MiB", 3, 3, 3.75 },
        { u"1e3", 1, 1, 1000.0 },
        { u"-", 0, 0, 0.0 },
        { u"١٢", 0, 0, 0.0 }, // only ASCII digits
        { u"2,5", 2, 2, 2.0 }, // a comma is never a decimal point
        { u"\u30007", 0, 0, 0.0 }, // the blanks are the C library's, not the ideographic space
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(utf8(c.text));
            auto t = StrBuffer::make(c.text);
            EXPECT_EQ(t->parseInt32(), c.int32);
            EXPECT_EQ(t->parseInt64(), c.int64);
            EXPECT_DOUBLE_EQ(t->parseDouble(), c.real);
            EXPECT_FLOAT_EQ(t->parseFloat(), static_cast<float>(c.real));
        }
    });
    auto t = StrBuffer::make(u"id=35;");
    EXPECT_EQ(t->parseInt32(3), 35);
    EXPECT_EQ(t->parseInt64(3), 35);
    EXPECT_EQ(t->parseInt32(99), 0);
}

TEST(StrBufferNumbers, UnsignedSixtyFourBitValuesReadBackAsWritten)
{
    // Written as the signed number of their bits ("%I64d"), the form stored files hold; plain
    // digits (as older files may have them) read back to the same value.
    struct Case {
        uint64_t value;
        std::u16string_view text;
        std::u16string_view digits;
    };
    const Case cases[] = {
        { 0, u"0", u"0" },
        { 1, u"1", u"1" },
        { 9223372036854775807u, u"9223372036854775807", u"9223372036854775807" },
        { 9223372036854775808u, u"-9223372036854775808", u"9223372036854775808" },
        { 18446744073709551615u, u"-1", u"18446744073709551615" },
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(utf8(c.text));
            Pooled<StrBuffer> appended, assigned;
            appended->append(u"v=");
            appended->appendUInt64(c.value);
            assigned->assignUInt64(c.value);
            EXPECT_EQ(std::u16string(appended->view()), u"v=" + std::u16string(c.text));
            EXPECT_EQ(*assigned, c.text);
            EXPECT_EQ(appended->parseUInt64(2), c.value);
            EXPECT_EQ(assigned->parseUInt64(), c.value);
            EXPECT_EQ(static_cast<uint64_t>(assigned->parseInt64()), c.value) << "the signed reader agrees";
            EXPECT_EQ(StrBuffer::make(c.digits)->parseUInt64(), c.value);
        }
    });
    EXPECT_EQ(StrBuffer::make(u"18446744073709551616")->parseUInt64(), UINT64_MAX) << "saturates";
    EXPECT_EQ(StrBuffer::make(u"x")->parseUInt64(5), 0u);
}

TEST(StrBufferNumbers, DigitsAndHex)
{
    struct Case {
        std::u16string_view text;
        bool integer, hex;
    };
    const Case cases[] = {
        { u"-5", true, false },
        { u"7", true, true },
        { u"-", false, false },
        { u"", false, false },
        { u"5-", false, false },
        { u"--5", false, false },
        { u"0123456789", true, true },
        { u"deadBEEF", false, true },
        { u"0x1f", false, false },
        { u" 1", false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        auto t = StrBuffer::make(c.text);
        EXPECT_EQ(t->isInteger(), c.integer);
        EXPECT_EQ(t->isHex(), c.hex);
    }

    auto hex = StrBuffer::make(u"0aFfg7z");
    EXPECT_EQ(hex->hexDigitAt(1), 10);
    EXPECT_EQ(hex->hexDigitAt(2), 15);
    EXPECT_EQ(hex->hexDigitAt(4), 0); // not a digit
    Pooled<s::col::_array::ArrayU08> bytes;
    bytes->push(0x11);
    hex->hexToBytes(*bytes); // appends; the odd last unit is ignored
    ASSERT_EQ(bytes->count(), 4u);
    EXPECT_EQ(bytes->at(0), 0x11);
    EXPECT_EQ(bytes->at(1), 0x0A);
    EXPECT_EQ(bytes->at(2), 0xFF);
    EXPECT_EQ(bytes->at(3), 0x07);
    hex->hexToBytes(*bytes, false);
    EXPECT_EQ(bytes->count(), 3u);
}

TEST(StrBufferNumbers, AppendAndAssign)
{
    struct Case {
        const char* what;
        void (*fill)(StrBuffer&);
        std::u16string_view text;
    };
    const Case cases[] = {
        { "int8", [](StrBuffer& t) { t.appendInt8(-128); }, u"-128" },
        { "int16", [](StrBuffer& t) { t.appendInt16(-32768); }, u"-32768" },
        { "int32", [](StrBuffer& t) { t.appendInt32(-2147483647 - 1); }, u"-2147483648" },
        { "int64", [](StrBuffer& t) { t.appendInt64(INT64_MIN); }, u"-9223372036854775808" },
        { "uint8", [](StrBuffer& t) { t.appendUInt8(255); }, u"255" },
        { "uint16", [](StrBuffer& t) { t.appendUInt16(65535); }, u"65535" },
        { "uint32", [](StrBuffer& t) { t.appendUInt32(4294967295u); }, u"4294967295" },
        { "uint64", [](StrBuffer& t) { t.appendUInt64(UINT64_MAX); }, u"-1" },
        { "uint64 high bit", [](StrBuffer& t) { t.appendUInt64(1ull << 63); }, u"-9223372036854775808" },
        { "uint64 below the high bit", [](StrBuffer& t) { t.appendUInt64((1ull << 63) - 1); }, u"9223372036854775807" },
        { "float", [](StrBuffer& t) { t.appendFloat(0.1f); }, u"0.100000" },
        { "double", [](StrBuffer& t) { t.appendDouble(-1234.5678916); }, u"-1234.567892" },
        { "double 0", [](StrBuffer& t) { t.appendDouble(0); }, u"0.000000" },
        { "double big", [](StrBuffer& t) { t.appendDouble(1e20); }, u"100000000000000000000.000000" },
        { "assign int32", [](StrBuffer& t) { t.assignInt32(-5); }, u"-5" },
        { "assign uint64", [](StrBuffer& t) { t.assignUInt64(42); }, u"42" },
        { "assign double", [](StrBuffer& t) { t.assignDouble(99.5); }, u"99.500000" },
        { "assign float", [](StrBuffer& t) { t.assignFloat(-0.25f); }, u"-0.250000" },
        { "assign latin1", [](StrBuffer& t) { t.assignLatin1("\xE0 la"); }, u"à la" },
        { "assign text", [](StrBuffer& t) { t.assign(u"new"); }, u"new" },
    };
    inBothLocales([&] {
        for (const Case& c : cases) {
            auto t = StrBuffer::make(u"x=");
            c.fill(*t);
            bool assigns = std::strncmp(c.what, "assign", 6) == 0;
            EXPECT_EQ(std::u16string(t->view()), (assigns ? u"" : u"x=") + std::u16string(c.text)) << c.what;
        }
    });
    // Appending a number reserves 256 more units first.
    auto t = fresh();
    t->appendInt32(1);
    EXPECT_EQ(t->capacity(), 300u);
    // The largest double in "%f" form still fits.
    Pooled<StrBuffer> huge;
    huge->appendDouble(1.7976931348623157e308);
    EXPECT_EQ(huge->length(), 309u + 7u);
}

TEST(StrBufferNumbers, AssignFromManyThreads)
{
    // The assign forms share one scratch buffer; each thread must still see its own numbers.
    std::vector<std::thread> threads;
    std::atomic<int> wrong { 0 };
    for (int k = 0; k < 4; ++k) {
        threads.emplace_back([k, &wrong] {
            Pooled<StrBuffer> t;
            for (int i = 0; i < 2000; ++i) {
                int64_t value = k * 1000000 + i;
                t->assignInt64(value);
                if (t->parseInt64() != value)
                    ++wrong;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

// --- split ---

TEST(StrBufferSplit, DropsEmptyPieces)
{
    struct Case {
        std::u16string_view text;
        std::vector<std::u16string> pieces;
    };
    const Case cases[] = {
        { u",a,,b,", { u"a", u"b" } },
        { u"a", { u"a" } },
        { u"", {} },
        { u",,,", {} },
        { u"one, two", { u"one", u" two" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        auto array = StrBuffer::make(c.text)->split(u',');
        EXPECT_EQ(pieces(*array), c.pieces);
    }
    EXPECT_EQ(StrBuffer::make(u"a,é")->split(u',')->describe(), "s_str_strarray_StrArray [ \"a\" \"\xC3\xA9\"]");
}

TEST(StrBufferSplit, KeywordsOnceEachIgnoringCase)
{
    struct Case {
        std::u16string_view text;
        bool dropCommon;
        std::vector<std::u16string> words;
    };
    const Case cases[] = {
        { u"The Lord of the Rings", false, { u"The", u"Lord", u"of", u"Rings" } },
        { u"The Lord of the Rings and more", true, { u"Lord", u"Rings", u"more" } },
        { u"C++ 100% co-op, (x)!", false, { u"C++", u"100%", u"co-op", u"x" } },
        { u"東京「タワー」【公式】（HD）", false, { u"東京", u"タワー", u"公式", u"HD" } },
        { u"東京\u3000大阪、京都。", false, { u"東京", u"大阪", u"京都" } },
        { u"Café CAFÉ café", false, { u"Café" } },
        { u"ΣΟΦΙΑ σοφια", false, { u"ΣΟΦΙΑ" } },
        { u"", false, {} },
        { u"...", true, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        auto array = StrBuffer::make(c.text)->splitKeywords(c.dropCommon);
        EXPECT_EQ(pieces(*array), c.words);
    }
}

TEST(StrBufferSplit, ReleasingTheArrayReturnsItsBuffersToThePool)
{
    auto& pool = s::thread::poolOf<StrBuffer>();
    auto array = StrBuffer::make(u"a,b,c")->split(u',');
    StrBuffer* last = array->at(2);
    uint32_t before = pool.freeCount();
    array.replace();
    EXPECT_EQ(pool.freeCount(), before + 3);
    StrBuffer* again = StrBuffer::get();
    EXPECT_EQ(again, last);
    EXPECT_EQ(again->length(), 0u);
    again->release();
}

// --- comparison and hashing ---

TEST(StrBufferCompare, ByteOrderAndFoldedCase)
{
    struct Case {
        std::u16string_view a, b;
        int compare, compareIgnoreCase;
    };
    const Case cases[] = {
        { u"abc", u"abc", 0, 0 },
        { u"abc", u"abd", -1, -1 },
        { u"ab", u"abc", -1, -1 },
        { u"", u"a", -1, -1 },
        { u"\u0100", u"\u00FF", -1, 1 }, // bytes in memory order; ignoring case compares unit values
        { u"\u00FF", u"\u0100", 1, -1 },
        { u"B", u"a", -1, 1 },
        { u"ABC", u"abc", -1, 0 },
        { u"ÉCOLE", u"école", -1, 0 },
        { u"Straße", u"STRASSE", 1, 1 }, // per unit: ß is no "ss"
        { u"\u212A", u"k", -1, 0 }, // the Kelvin sign folds to k
        { u"ſ", u"S", 1, 0 }, // so does the long s to s
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.a) + " vs " + utf8(c.b));
        auto a = StrBuffer::make(c.a);
        auto b = StrBuffer::make(c.b);
        EXPECT_EQ(a->compare(b.get()), c.compare);
        EXPECT_EQ(b->compare(a.get()), -c.compare);
        EXPECT_EQ(a->compareIgnoreCase(b.get()), c.compareIgnoreCase);
        EXPECT_EQ(a->equals(b.get()), c.compare == 0);
        EXPECT_EQ(a->equalsIgnoreCase(b.get()), c.compareIgnoreCase == 0);
    }
}

TEST(StrBufferCompare, HashCarriesBitThirty)
{
    struct Case {
        std::u16string_view text;
        uint32_t hash, hashIgnoreCase;
    };
    const Case cases[] = {
        { u"", 0, 0 },
        { u"A", 65, 97 },
        { u"a", 97, 97 },
        { u"AB", (65u << 1) ^ 66u, (97u << 1) ^ 98u },
        { u"É", 0xC9, 0xC9 }, // ASCII only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        auto t = StrBuffer::make(c.text);
        EXPECT_EQ(t->hash(), c.hash);
        EXPECT_EQ(t->hashIgnoreCase(), c.hashIgnoreCase);
    }
    // Bit 30 moves to bit 31 and comes back in at bit 0.
    uint32_t h = 0;
    std::u16string long_;
    for (int i = 0; i < 40; ++i) {
        char16_t u = static_cast<char16_t>(0x4E00 + i * 7);
        long_ += u;
        h = ((h << 1) | ((h >> 30) & 1)) ^ u;
    }
    EXPECT_EQ(StrBuffer::make(long_)->hash(), h);
    auto one = StrBuffer::make(u"\x4000");
    EXPECT_EQ(one->hash(), 0x4000u);
    Pooled<StrBuffer> shifted;
    shifted->append(u'\x4000');
    for (int i = 0; i < 17; ++i)
        shifted->append(u'\0');
    EXPECT_EQ(shifted->hash(), 0x80000001u); // the 17th shift carries bit 30 into bits 31 and 0
    EXPECT_NE(shifted->hash(), 0u);
}

TEST(StrBufferCompare, OtherObjectsAndComparators)
{
    auto text = StrBuffer::make(u"a");
    auto array = StrBuffer::make(u"a")->split(u',');
    // Against an object that is no text, identity rules apply.
    EXPECT_NE(text->compare(array.get()), 0);
    EXPECT_FALSE(text->equals(array.get()));
    EXPECT_EQ(text->className(), std::string("s_str_strbuffer_StrBuffer"));
    EXPECT_EQ(array->className(), std::string("s_str_strarray_StrArray"));
}

// --- byte streams ---

TEST(StrBufferStreams, ReadsAndWritesLittleEndianBytes)
{
    auto text = StrBuffer::make(u"AB");
    uint8_t bytes[8] = {};
    uint32_t got = 0;
    ASSERT_TRUE(text->read(bytes, 3, got));
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(bytes[0], 'A');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 'B');
    ASSERT_TRUE(text->read(bytes, 8, got));
    EXPECT_EQ(got, 1u);
    EXPECT_FALSE(text->read(bytes, 8, got));
    EXPECT_EQ(got, 0u);

    // Odd byte counts continue where the last write ended.
    Pooled<StrBuffer> out;
    const uint8_t c[] = { 'C', 0, 'D' };
    const uint8_t rest[] = { 0, 'E', 0 };
    uint32_t written = 0;
    ASSERT_TRUE(out->write(c, 3, written));
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(*out, u"C");
    ASSERT_TRUE(out->write(rest, 3, written));
    EXPECT_EQ(*out, u"CDE");

    // A text written as a byte stream and read back is the same.
    auto source = StrBuffer::make(u"Grüße \U0001F600");
    Pooled<StrBuffer> copy;
    ASSERT_TRUE(source->toByteStream(*copy));
    EXPECT_EQ(copy->view(), source->view());
}

// --- iterators ---

TEST(StrBufferIterator, WalksEveryUnit)
{
    auto text = StrBuffer::make(u"abc");
    std::u16string seen;
    for (auto it = text->iteratorAtStart(); it->hasNext();)
        seen += *it->next();
    EXPECT_EQ(seen, u"abc");

    seen.clear();
    for (auto it = text->iteratorAtEnd(); it->hasPrevious();)
        seen += *it->previous();
    EXPECT_EQ(seen, u"cba");

    auto it = text->iteratorFromEnd(1);
    EXPECT_EQ(*it->next(), u'c');
    EXPECT_FALSE(it->hasNext());
    it = text->iteratorAt(0);
    it->skip(2);
    EXPECT_EQ(*it->next(), u'c');
    it->skipBack(3);
    EXPECT_EQ(*it->next(), u'a');
    EXPECT_EQ(it->className(), std::string("s_str_strbuffer_Iterator"));

    auto empty = StrBuffer::make(u"");
    EXPECT_FALSE(empty->iteratorAtStart()->hasNext());
    EXPECT_EQ(empty->iteratorAtStart()->previous(), nullptr);
}
