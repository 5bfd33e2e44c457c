#include "TempFolder.h"
#include "tests/common/DecimalCommaLocale.h"

#include "formats/xml/Node.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/file/os/Path.h"
#include "foundation/str/StrBuffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

using s::str::StrBuffer;
using s::thread::Pooled;
using s::xml::Node;

namespace {

std::string utf8(std::u16string_view text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

std::u16string utf16(std::string_view text)
{
    return std::u16string(StrBuffer::makeUtf8(text)->view());
}

// A parsed document, released at the end of the test.
Pooled<Node> parsed(std::string_view utf8Text)
{
    Pooled<Node> node;
    node->parseBytes(reinterpret_cast<const uint8_t*>(utf8Text.data()), utf8Text.size());
    return node;
}

std::string written(const Node& node)
{
    Pooled<StrBuffer> out;
    node.writeTo(out.get());
    return out->toStdUtf8();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

}

// --- reading and writing back ---

TEST(XmlParse, ReadsTheSubsetItWritesAndSkipsTheRest)
{
    struct Case {
        const char* input;
        const char* written;
    } cases[] = {
        // empty-element forms
        { "<a/>", "<a></a>" },
        { "<a / >", "<a></a>" },
        { "<a></a>", "<a></a>" },
        // spaces around "=" are skipped; tabs and line breaks separate attributes
        { "<a x = \"1\" y=\"2\"/>", "<a x=\"1\" y=\"2\"></a>" },
        { "<a\tx=\"1\"\n\ty=\"2\"\r\n/>", "<a x=\"1\" y=\"2\"></a>" },
        // values are kept raw, entities and all
        { "<a v=\"&amp;&lt;&gt;&#10;\"/>", "<a v=\"&amp;&lt;&gt;&#10;\"></a>" },
        { "<a v=\"\"/>", "<a v=\"\"></a>" },
        // text: leading whitespace dropped, trailing kept; only the first run is written
        { "<a>  hello world  </a>", "<a>hello world  </a>" },
        { "<r>t1<c/>t2</r>", "<r>t1<c></c></r>" },
        { "<r>\n  <c/>\n</r>", "<r><c></c></r>" },
        // comments are read and dropped
        { "<r><!-- note --><c/></r>", "<r><c></c></r>" },
        { "<r><!----><c/><!-- x --></r>", "<r><c></c></r>" },
        // the root is the first element: a declaration, comments, a document type (with an
        // internal subset holding ">") and stray end tags before it are passed over
        { "<!-- lead --><a/>", "<a></a>" },
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a k=\"v\"/>", "<a k=\"v\"></a>" },
        { "<!DOCTYPE a [ <!ENTITY e \"x>y\"> <!-- ]> --> ]>\n<a/>", "<a></a>" },
        { "<!DOCTYPE a SYSTEM 'a>b.dtd'><a/>", "<a></a>" },
        { "</stray><?pi x?><!----><!-->  <!--->\n<a/>", "<a></a>" },
        { "<![CDATA[ <no/> ]]><a/>", "<a></a>" },
        // a comment or declaration without its end stops at its first ">"
        { "<!-- never closed <a x=\"1\"/><b/>", "<b></b>" },
        { "<?xml version=\"1.0\"> <a/>", "<a></a>" },
        { "<!-- only a comment -->", "<></>" },
        // the same markup inside an element is dropped, and a section's content with it
        { "<r><?pi x?><c/><![CDATA[<d/>]]><!DOCTYPE x><e/></r>", "<r><c></c><e></e></r>" },
        // text before the root and after it is ignored, and so is the end tag's name
        { "junk <a><b></x></a> trailing <c/>", "<a><b></b></a>" },
        // nesting and order
        { "<a><b><c/></b><d x=\"y\">t</d><b/></a>", "<a><b><c></c></b><d x=\"y\">t</d><b></b></a>" },
        // a byte-order mark is not part of the text
        { "\xEF\xBB\xBF<a k=\"v\"/>", "<a k=\"v\"></a>" },
        // non-Latin names, values and text, and a surrogate pair, pass through unchanged
        { "<\xD0\xBA\xD0\xBE\xD1\x82 \xE5\x90\x8D=\"\xF0\x9F\x98\x80\">\xC3\xA9t\xC3\xA9</\xD0\xBA\xD0\xBE\xD1\x82>",
            "<\xD0\xBA\xD0\xBE\xD1\x82 \xE5\x90\x8D=\"\xF0\x9F\x98\x80\">\xC3\xA9t\xC3\xA9</\xD0\xBA\xD0\xBE\xD1\x82>" },
        // text that ends early keeps what was read
        { "", "<></>" },
        { "no element", "<></>" },
        { "<a", "<a></a>" },
        { "<a b", "<a></a>" },
        { "<a b=\"1", "<a b=\"1\"></a>" },
        { "<a b=\"1\"", "<a b=\"1\"></a>" },
        { "<a><b>text", "<a><b>text</b></a>" },
        { "<a><!-- never closed <b/></a>", "<a></a>" },
        { "<a><", "<a><></></a>" },
        { "<a></", "<a></a>" },
    };
    for (const Case& c : cases) {
        Pooled<Node> node = parsed(c.input);
        EXPECT_EQ(written(*node), c.written) << "input: " << c.input;
    }
}

TEST(XmlParse, ReturnsThePositionAfterTheElement)
{
    struct Case {
        const char16_t* input;
        size_t consumed;
    } cases[] = {
        { u"<a/>rest", 4 },
        { u"  <a x=\"1\"></a>rest", 15 },
        { u"<!-- c -->rest", 14 },
        { u"<!-- c --><a/>rest", 14 },
        { u"<a><b/></a><c/>", 11 },
        { u"<a>", 3 },
        { u"none", 4 },
    };
    for (const Case& c : cases) {
        std::u16string before = c.input;
        Pooled<Node> node;
        const char16_t* end = node->parse(c.input);
        EXPECT_EQ(static_cast<size_t>(end - c.input), c.consumed) << utf8(c.input);
        EXPECT_EQ(std::u16string(c.input), before) << "the caller's text is left as it was";
    }

    // Parsing again into the same node replaces nothing it holds: a second root read after the
    // first one's end adds to it, and both trees' texts stay valid.
    const char16_t* two = u"<a x=\"1\"/><b y=\"2\">t</b>";
    Pooled<Node> node;
    const char16_t* next = node->parse(two);
    node->parse(next);
    EXPECT_EQ(std::u16string(node->getName()), u"b");
    EXPECT_EQ(std::u16string(node->getRaw(u"x")), u"1");
    EXPECT_EQ(std::u16string(node->getRaw(u"y")), u"2");
    EXPECT_EQ(written(*node), "<b x=\"1\" y=\"2\">t</b>");
}

TEST(XmlParse, KeepsTextRunsAsNamelessEntries)
{
    Pooled<Node> node = parsed("<a>  hello world  </a>");
    const s::xml::Attributes* attributes = node->getAttributes();
    ASSERT_EQ(attributes->count(), 1u);
    EXPECT_EQ(std::u16string(attributes->at(0)->value), u"hello world  ");
    Pooled<StrBuffer> text;
    node->getString(text.get(), u"");
    EXPECT_EQ(text->view(), u"hello world");

    Pooled<Node> two = parsed("<r>t1<c/>t2</r>");
    ASSERT_EQ(two->getAttributes()->count(), 2u);
    EXPECT_EQ(std::u16string(two->getAttributes()->at(1)->value), u"t2");
    EXPECT_EQ(two->childCount(), 1u);
}

// The reader and writer keep their own stacks: a document nested deeper than any thread's stack
// could hold is read, written and released.
TEST(XmlParse, SurvivesVeryDeepNesting)
{
    constexpr int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<d>";
    Pooled<Node> node = parsed(text);
    int levels = 1;
    for (Node* n = node.get(); n->childCount() == 1; n = n->childAt(0))
        ++levels;
    EXPECT_EQ(levels, depth);
    std::string out = written(*node);
    EXPECT_EQ(out.size(), static_cast<size_t>(depth) * 7);
}

// --- typed values ---

TEST(XmlValues, TypedGettersReadTheFirstMatch)
{
    Pooled<Node> node = parsed(
        "<a n=\"12abc\" w=\"abc\" neg=\"-1\" big=\"99999999999\" sp=\"  42\" N=\"second\" u8=\"300\" s8=\"200\" plus=\"+7\"/>");
    struct Case {
        const char16_t* name;
        int32_t s32;
        uint32_t u32;
        int64_t s64;
    } cases[] = {
        { u"n", 12, 12, 12 },
        { u"w", 0, 0, 0 },
        { u"neg", -1, 0xFFFFFFFFu, -1 },
        { u"big", 2147483647, 0xFFFFFFFFu, 99999999999ll },
        { u"sp", 42, 42, 42 },
        { u"plus", 7, 7, 7 },
        { u"missing", 77, 77, 77 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(node->getS32(c.name, 77), c.s32) << utf8(c.name);
        EXPECT_EQ(node->getU32(c.name, 77), c.u32) << utf8(c.name);
        EXPECT_EQ(node->getS64(c.name, 77), c.s64) << utf8(c.name);
    }
    EXPECT_EQ(node->getU8(u"u8", 1), 44) << "300 narrowed to a byte";
    EXPECT_EQ(node->getS8(u"s8", 1), -56) << "200 narrowed to a signed byte";
    EXPECT_EQ(node->getU8(u"neg", 1), 255);
    EXPECT_EQ(node->getU64(u"big", 1), 99999999999ull);
    EXPECT_EQ(node->getS16(u"missing", -3), -3);
    // value names match ignoring case; the first record wins
    EXPECT_EQ(std::u16string(node->getRaw(u"N")), u"12abc");
    EXPECT_EQ(node->getRaw(u"missing"), nullptr);
}

TEST(XmlValues, GetBoolAcceptsOneOrLowercaseTrue)
{
    Pooled<Node> node = parsed("<a a=\"1\" b=\"true\" c=\"truex\" d=\"TRUE\" e=\"0\" f=\"yes\" g=\"\" h=\"10\" i=\"tru\"/>");
    struct Case {
        const char16_t* name;
        bool expected;
    } cases[] = {
        { u"a", true }, { u"b", true }, { u"c", true }, { u"h", true },
        { u"d", false }, { u"e", false }, { u"f", false }, { u"g", false }, { u"i", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(node->getBool(c.name, !c.expected), c.expected) << utf8(c.name);
    EXPECT_TRUE(node->getBool(u"missing", true));
    EXPECT_FALSE(node->getBool(u"missing", false));
}

TEST(XmlValues, SettersWriteTheirTextForms)
{
    Pooled<Node> node;
    node->setName(u"v");
    node->setS8(u"s8", -1);
    node->setU8(u"u8", 255);
    node->setS16(u"s16", -2);
    node->setU16(u"u16", 65535);
    node->setS32(u"s32", -2147483647 - 1);
    node->setU32(u"u32", 4294967295u);
    node->setS64(u"s64", -5);
    node->setU64(u"u64", 0x8000000000000000ull);
    node->setFloat(u"f", 1.25f);
    node->setDouble(u"d", 0.5);
    node->setDouble(u"huge", 1e300);
    const uint64_t one64[] = { 1 };
    node->setU64Array(u"a64", one64, 1);
    const int32_t minusOne[] = { -1, 16 };
    node->setS32Array(u"a32", minusOne, 2);
    const int8_t bytes[] = { -1, 1 };
    node->setS8Array(u"a8", bytes, 2);
    const uint16_t shorts[] = { 0xabc };
    node->setU16Array(u"a16", shorts, 1);
    const float floats[] = { 1.0f };
    node->setFloatArray(u"af", floats, 1);
    const double doubles[] = { 1.0 };
    node->setDoubleArray(u"ad", doubles, 1);
    node->setU8Array(u"empty", nullptr, 0);

    struct Case {
        const char16_t* name;
        const char16_t* text;
    } cases[] = {
        { u"s8", u"-1" }, { u"u8", u"255" }, { u"s16", u"-2" }, { u"u16", u"65535" },
        { u"s32", u"-2147483648" }, { u"u32", u"4294967295" }, { u"s64", u"-5" },
        { u"u64", u"-9223372036854775808" }, { u"f", u"1.250000" }, { u"d", u"0.500000" },
        { u"a64", u"0000000000000001" }, { u"a32", u"ffffffff00000010" }, { u"a8", u"ff01" },
        { u"a16", u"0abc" }, { u"af", u"3f800000" }, { u"ad", u"000000003ff00000" }, { u"empty", u"" },
    };
    for (const Case& c : cases) {
        const char16_t* raw = node->getRaw(c.name);
        ASSERT_NE(raw, nullptr) << utf8(c.name);
        EXPECT_EQ(std::u16string(raw), c.text) << utf8(c.name);
    }
    std::u16string huge = node->getRaw(u"huge");
    EXPECT_EQ(huge.size(), 308u) << "301 digits, a point and six decimals: the whole number";
    EXPECT_EQ(huge.substr(huge.size() - 7), u".000000");
    EXPECT_EQ(node->getU64(u"u64"), 0x8000000000000000ull) << "the negative text reads back as the same bits";
}

// Qt switches the process to the user's locale at start-up; numbers must not follow it.
TEST(XmlValues, NumbersIgnoreTheProcessLocale)
{
    fetchwick::test::DecimalCommaLocale german;
    if (!german.active())
        GTEST_SKIP() << "the de_DE.UTF-8 locale could not be built with localedef";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the locale is in force";

    struct Case {
        double value;
        const char16_t* text;
    } cases[] = {
        { 0.5, u"0.500000" }, { -1.25, u"-1.250000" }, { 3.0, u"3.000000" }, { 1234567.125, u"1234567.125000" },
        { 0.000001, u"0.000001" }, { -0.0000004, u"-0.000000" }, { 0.0, u"0.000000" },
    };
    for (const Case& c : cases) {
        Pooled<Node> node;
        node->setName(u"n");
        ASSERT_TRUE(node->setDouble(u"d", c.value));
        ASSERT_TRUE(node->setFloat(u"f", static_cast<float>(c.value)));
        EXPECT_EQ(std::u16string(node->getRaw(u"d")), c.text) << c.value;
        Pooled<Node> back = parsed(written(*node));
        ASSERT_NE(back->getRaw(u"d"), nullptr);
        EXPECT_EQ(utf8(back->getRaw(u"d")), utf8(c.text)) << c.value;
    }
    Pooled<Node> node;
    node->setDouble(u"huge", 1e300);
    node->setS32(u"neg", -1234567);
    node->setU64(u"big", 18446744073709551615ull);
    std::u16string huge = node->getRaw(u"huge");
    EXPECT_EQ(huge.size(), 308u);
    EXPECT_EQ(huge.find(u','), std::u16string::npos);
    EXPECT_EQ(std::u16string(node->getRaw(u"neg")), u"-1234567") << "no digit grouping";
    EXPECT_EQ(std::u16string(node->getRaw(u"big")), u"-1");
}

// A name the writer would put into the document unchecked could change its meaning when read
// back ("a b" reads as "a"; a quote starts another attribute).
TEST(XmlValues, NamesThatAreNotXmlNamesAreRefused)
{
    const char16_t* refused[] = {
        u"My Folder", u"a\"b", u"x=\"1\" y", u"1st", u"-x", u".x", u"a>b", u"a<b", u"a/b", u"a&b", u"tab\tname",
        u"\xD800x", u"a\xDC00", u"\u00D7times",
    };
    for (const char16_t* name : refused) {
        SCOPED_TRACE(utf8(name));
        Pooled<Node> node;
        ASSERT_TRUE(node->setName(u"n"));
        EXPECT_FALSE(node->setName(name));
        EXPECT_EQ(std::u16string(node->getName()), u"n") << "the old name stays";
        EXPECT_EQ(node->addChild(name), nullptr);
        EXPECT_FALSE(node->setString(name, u"v"));
        EXPECT_FALSE(node->setU32(name, 1));
        EXPECT_FALSE(node->setDouble(name, 1));
        const uint8_t b[] = { 1 };
        EXPECT_FALSE(node->setU8Array(name, b, 1));
        EXPECT_EQ(written(*node), "<n></n>") << "nothing was written";
    }
    const char16_t* accepted[] = {
        u"a", u"_x", u":ns", u"ns:a-b.c_9", u"\u00e9t\u00e9", u"\u0412\u0438\u0434\u0435\u043e", u"\U00010000x", u"a\u00B7b",
    };
    for (const char16_t* name : accepted) {
        SCOPED_TRACE(utf8(name));
        Pooled<Node> node;
        ASSERT_TRUE(node->setName(u"n"));
        EXPECT_TRUE(node->setU32(name, 7));
        ASSERT_NE(node->addChild(name), nullptr);
        Pooled<Node> back = parsed(written(*node));
        EXPECT_EQ(back->getU32(name, 0), 7u);
        EXPECT_NE(back->getChild(name, static_cast<int32_t>(std::u16string_view(name).size())), nullptr);
    }
    Pooled<Node> node;
    EXPECT_TRUE(node->setString(u"", u"the element's text")) << "the empty name is the text";
    EXPECT_TRUE(node->setName(u"")) << "an unnamed node, as a fresh one";
}

TEST(XmlValues, EscapingRoundTripsAndDiffersForTextAndAttributes)
{
    struct Case {
        const char16_t* name;
        const char16_t* value;
        const char16_t* stored;
    } cases[] = {
        { u"", u" a b ", u"&#160;a&#160;b&#160;" },
        { u"v", u"say \"hi\" <b> & c", u"say &quot;hi&quot; &lt;b> &amp; c" },
        { u"", u"x > y & \"q\"", u"x&#160;&gt;&#160;y&#160;&amp;&#160;\"q\"" },
        { u"v", u"line1\r\nline2", u"line1&#13;&#10;line2" },
        { u"", u"\n  two\r\n", u"&#10;&#160;&#160;two&#13;&#10;" },
        { u"v", u"  spaced  ", u"  spaced  " },
        { u"v", u"\u00e9\u4e2d\U0001F600", u"\u00e9\u4e2d\U0001F600" },
        { u"", u"\u00e9\u4e2d\U0001F600", u"\u00e9\u4e2d\U0001F600" },
        { u"v", u"", u"" },
    };
    for (const Case& c : cases) {
        Pooled<Node> node;
        node->setName(u"n");
        node->setString(c.name, c.value);
        EXPECT_EQ(std::u16string(node->getRaw(c.name)), c.stored) << utf8(c.value);
        Pooled<StrBuffer> back;
        node->getString(back.get(), c.name);
        EXPECT_EQ(back->view(), c.value) << utf8(c.value);

        // and through the file form
        Pooled<Node> again = parsed(written(*node));
        Pooled<StrBuffer> reread;
        again->getString(reread.get(), c.name, u"<missing>");
        if (std::u16string_view(c.value).empty() && std::u16string_view(c.name).empty())
            EXPECT_EQ(reread->view(), u"<missing>") << "empty text is not written, so there is no entry";
        else
            EXPECT_EQ(reread->view(), c.value) << utf8(c.value);
    }
}

TEST(XmlValues, DecodingOfHandWrittenValues)
{
    Pooled<Node> node = parsed(
        "<a v=\"&gt;&quot;&apos;&#160;&amp;amp;&unknown;&\" w=\"a&#10;\">  &quot;x&quot; &#160;&gt;&#x41;  \n </a>");
    Pooled<StrBuffer> value;
    node->getString(value.get(), u"v");
    EXPECT_EQ(value->view(), u"&gt;\"&apos;&#160;&amp;&unknown;&") << "attribute values know five references";
    node->getString(value.get(), u"");
    EXPECT_EQ(value->view(), u"&quot;x&quot;  >&#x41;") << "text drops layout whitespace, keeps an escaped space";
    node->getString(value.get(), u"w", nullptr, true);
    EXPECT_EQ(value->view(), u"&quot;x&quot;  >&#x41;a\n") << "append flag";
    node->getString(value.get(), u"missing", u"fallback");
    EXPECT_EQ(value->view(), u"fallback");
    node->getString(value.get(), u"missing", u"+", true);
    EXPECT_EQ(value->view(), u"fallback+");
    node->getString(value.get(), u"missing");
    EXPECT_EQ(value->view(), u"");
}

// --- names and children ---

TEST(XmlTree, ChildLookupIsExactWithALengthAndCaseBlindWithout)
{
    Pooled<Node> root = parsed("<r><item/><Item x=\"2\"/><other/></r>");
    uint32_t index = 99;
    struct Case {
        const char16_t* name;
        int32_t length;
        bool found;
        uint32_t index;
    } cases[] = {
        { u"Item", 4, true, 1 },
        { u"item", 4, true, 0 },
        { u"ITEM", 4, false, 0 },
        { u"ITEM", -1, true, 0 },
        { u"Itemize", 4, true, 1 },
        { u"Ite", 3, false, 0 },
        { u"oth", -1, false, 0 },
    };
    for (const Case& c : cases) {
        bool found = root->findChild(c.name, &index, c.length);
        EXPECT_EQ(found, c.found) << utf8(c.name) << " " << c.length;
        if (found && c.found) {
            EXPECT_EQ(index, c.index) << utf8(c.name);
        }
        EXPECT_EQ(root->getChild(c.name, c.length) != nullptr, c.found);
    }
    EXPECT_TRUE(root->findChild(u"other", nullptr, -1));
}

TEST(XmlTree, BuildsRemovesAndNamesItsClass)
{
    Pooled<Node> root;
    root->setName(u"savedata");
    Node* w = root->addChild(u"w");
    w->setString(u"", u"hi there");
    root->addChild(u"gone")->addChild(u"deeper");
    Node* extra = Node::get();
    extra->setName(u"xyz", 2);
    root->appendChild(extra);
    EXPECT_EQ(written(*root), "<savedata><w>hi&#160;there</w><gone><deeper></deeper></gone><xy></xy></savedata>");
    root->removeChildAt(1);
    EXPECT_EQ(written(*root), "<savedata><w>hi&#160;there</w><xy></xy></savedata>");
    EXPECT_FALSE(root->isComment());
    EXPECT_STREQ(root->className(), "s_xml_Node");
    EXPECT_STREQ(root->getAttributes()->className(), "s_xml_Attributes");

    // writeTo without a target takes a buffer; with append it adds to what is there
    Pooled<StrBuffer> fresh = Pooled<StrBuffer>::adopt(w->writeTo());
    EXPECT_EQ(fresh->view(), u"<w>hi&#160;there</w>");
    w->writeTo(fresh.get(), true);
    EXPECT_EQ(fresh->view(), u"<w>hi&#160;there</w><w>hi&#160;there</w>");

    root->clear();
    EXPECT_EQ(root->childCount(), 0u);
    EXPECT_EQ(root->nameLength(), 0u);
    EXPECT_EQ(root->getAttributes()->count(), 0u);
}

// --- files ---

TEST(XmlFile, RoundTripGivesTheSameBytes)
{
    TempFolder temp;
    Pooled<Node> root;
    root->setName(u"VideoDlXml");
    root->setString(u"Version", u"1.0 \"beta\" <x> & y");
    Node* list = root->addChild(u"DlList");
    for (int i = 0; i < 3; ++i) {
        Node* item = list->addChild(u"Item");
        item->setS32(u"Id", i);
        item->setString(u"Title", u"\u0412\u0438\u0434\u0435\u043e \U0001F3AC\r\nnext line");
        item->setS64(u"TotalSize", 5000000000ll + i);
        item->setDouble(u"Progress", 12.5);
        item->setString(u"", u" text with  spaces ");
    }
    std::u16string path = utf16(temp / "sub/dir/list.xml");
    ASSERT_TRUE(root->save(path.c_str())) << "missing folders are created";
    std::string first = readFile(temp / "sub/dir/list.xml");
    EXPECT_EQ(first, written(*root)) << "the file is the written form, UTF-8 without a byte-order mark";
    EXPECT_NE(first.substr(0, 3), "\xEF\xBB\xBF");

    Pooled<Node> loaded;
    ASSERT_TRUE(loaded->load(path.c_str()));
    std::u16string again = utf16(temp / "again.xml");
    ASSERT_TRUE(loaded->save(again.c_str()));
    EXPECT_EQ(readFile(temp / "again.xml"), first);
    Pooled<StrBuffer> title;
    loaded->getChild(u"DlList")->childAt(2)->getString(title.get(), u"Title");
    EXPECT_EQ(title->view(), u"\u0412\u0438\u0434\u0435\u043e \U0001F3AC\r\nnext line");
    EXPECT_EQ(loaded->getChild(u"DlList")->childAt(2)->getS64(u"TotalSize"), 5000000002ll);
}

TEST(XmlFile, LoadsWhatItCanAndNeverMore)
{
    TempFolder temp;
    {
        std::ofstream(temp / "bom.xml", std::ios::binary) << "\xEF\xBB\xBF<a x=\"1\"/>";
        std::ofstream(temp / "empty.xml", std::ios::binary) << "";
        std::ofstream(temp / "bad-utf8.xml", std::ios::binary) << "<a x=\"\xFF\xC3\"/>";
        std::ofstream(temp / "nul.xml", std::ios::binary) << std::string("<a x=\"1\"/>\0<b/>", 15);
    }
    ::mkdir((temp / "folder.xml").c_str(), 0700);
    struct Case {
        const char* file;
        bool loads;
        const char* written;
    } cases[] = {
        { "bom.xml", true, "<a x=\"1\"></a>" },
        { "empty.xml", true, "<></>" },
        { "bad-utf8.xml", true, "<a x=\"\xEF\xBF\xBD\xEF\xBF\xBD\"></a>" },
        { "nul.xml", true, "<a x=\"1\"></a>" },
        { "missing.xml", false, "<></>" },
        { "folder.xml", false, "<></>" },
    };
    for (const Case& c : cases) {
        Pooled<Node> node;
        node->setName(u"stale");
        std::u16string path = utf16(temp / c.file);
        EXPECT_EQ(node->load(path.c_str()), c.loads) << c.file;
        EXPECT_EQ(written(*node), c.written) << c.file;
    }
}
