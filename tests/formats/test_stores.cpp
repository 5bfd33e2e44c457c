#include "TempFolder.h"
#include "tests/common/DecimalCommaLocale.h"

#include "formats/reg/MappedData.h"
#include "formats/reg/os/Hive.h"
#include "formats/xml/MappedData.h"
#include "formats/xml/Node.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/str/StrBuffer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using s::map::IMappedData;
using s::str::StrBuffer;
using s::thread::Pooled;

namespace {

std::u16string utf16(std::string_view text)
{
    return std::u16string(StrBuffer::makeUtf8(text)->view());
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// One store of either kind over files in a temporary folder.
struct StoreKind {
    const char* name;
    std::function<Pooled<IMappedData>(const TempFolder&)> make;
};

Pooled<IMappedData> makeXml(const TempFolder& temp)
{
    std::u16string path = utf16(temp / "SaveData.xml");
    return Pooled<IMappedData>::adopt(s::xml::MappedData::create(path.c_str(), u"savedata", true).take());
}

Pooled<IMappedData> makeRegistry(const TempFolder& temp)
{
    Pooled<s::reg::MappedData> store = s::reg::MappedData::create(s::reg::os::RootKey::CurrentUser, u"Software\\Pellix\\Fetchwick\\SaveData");
    store->setHive(&s::reg::os::Hive::forFile(temp / "registry.reg"));
    return Pooled<IMappedData>::adopt(store.take());
}

class EveryStore : public ::testing::TestWithParam<StoreKind> {
protected:
    TempFolder temp;
    Pooled<IMappedData> store { GetParam().make(temp) };
};

}

TEST_P(EveryStore, ValuesRoundTripThroughEveryType)
{
    IMappedData& d = *store;
    d.setU8(u"T", u"u8", 200);
    d.setU16(u"T", u"u16", 60000);
    d.setU32(u"T", u"u32", 4000000000u);
    d.setU64(u"T", u"u64", 0xFEDCBA9876543210ull);
    d.setS8(u"T", u"s8", -100);
    d.setS16(u"T", u"s16", -30000);
    d.setS32(u"T", u"s32", -2000000000);
    d.setS64(u"T", u"s64", -5000000000ll);
    d.setFloat(u"T", u"f", 0.25f);
    d.setDouble(u"T", u"d", 0.5);
    d.setBool(u"T", u"b", true);
    d.setString(u"T", u"str", u"a \"quoted\" <tag> & \\back\\slash\r\n\u00e9\U0001F600");
    const uint8_t bytes[] = { 0x01, 0xAB };
    d.setBytes(u"T", u"bytes", bytes, 2);

    EXPECT_EQ(d.getU8(u"T", u"u8", 0), 200);
    EXPECT_EQ(d.getU16(u"T", u"u16", 0), 60000);
    EXPECT_EQ(d.getU32(u"T", u"u32", 0), 4000000000u);
    EXPECT_EQ(d.getU64(u"T", u"u64", 0), 0xFEDCBA9876543210ull);
    EXPECT_EQ(d.getS8(u"T", u"s8", 0), -100);
    EXPECT_EQ(d.getS16(u"T", u"s16", 0), -30000);
    EXPECT_EQ(d.getS32(u"T", u"s32", 0), -2000000000);
    EXPECT_EQ(d.getS64(u"T", u"s64", 0), -5000000000ll);
    EXPECT_EQ(d.getFloat(u"T", u"f", 0), 0.25f);
    EXPECT_EQ(d.getDouble(u"T", u"d", 0), 0.5);
    EXPECT_TRUE(d.getBool(u"T", u"b", false));
    EXPECT_EQ(d.getString(u"T", u"str", nullptr).view(), u"a \"quoted\" <tag> & \\back\\slash\r\n\u00e9\U0001F600");
    Pooled<s::col::_array::ArrayU08> out;
    ASSERT_EQ(d.getBytes(u"T", u"bytes", out.get()), out.get());
    ASSERT_EQ(out->count(), 2u);
    EXPECT_EQ((*out)[0], 0x01);
    EXPECT_EQ((*out)[1], 0xAB);
    // value names ignore case in both stores
    EXPECT_EQ(d.getU32(u"T", u"U32", 0), 4000000000u);
}

TEST_P(EveryStore, AbsentKeysAndValuesGiveTheDefault)
{
    IMappedData& d = *store;
    d.setU32(u"A/B", u"x", 5);
    EXPECT_EQ(d.getU32(u"A/B", u"x", 9), 5u);
    EXPECT_EQ(d.getU32(u"A/B", u"y", 9), 9u);
    EXPECT_EQ(d.getU32(u"A/C", u"x", 9), 9u);
    EXPECT_EQ(d.getString(u"Nope", u"s", u"fallback").view(), u"fallback");
    EXPECT_EQ(d.getString(u"Nope", u"s", nullptr).view(), u"");
    EXPECT_EQ(d.getBytes(u"Nope", u"s"), nullptr);
    EXPECT_FALSE(d.getBool(u"A/B", u"missing", false));
    EXPECT_TRUE(d.getBool(u"A/B", u"missing", true));
    EXPECT_TRUE(d.openKey(u"A"));
    EXPECT_TRUE(d.openKey(u"A/B"));
    EXPECT_TRUE(d.openKey(u"A\\B")) << "either separator";
    EXPECT_FALSE(d.openKey(u"A/C"));
    EXPECT_TRUE(d.hasValue(u"A/B", u"x"));
    EXPECT_FALSE(d.hasValue(u"A/B", u"y"));
    EXPECT_TRUE(d.deleteValue(u"A/B", u"x"));
    EXPECT_FALSE(d.hasValue(u"A/B", u"x"));
    EXPECT_FALSE(d.deleteValue(u"A/B", u"x"));
}

TEST_P(EveryStore, DeleteKeyTakesTheSubtreeAndLeavesTheParent)
{
    IMappedData& d = *store;
    d.setU32(u"A/B", u"x", 1);
    d.setU32(u"A/B/C", u"y", 2);
    d.setU32(u"A", u"keep", 3);
    d.setU32(u"DlList/Item", u"n", 4);
    EXPECT_TRUE(d.deleteKey(u"A/B"));
    EXPECT_FALSE(d.openKey(u"A/B/C"));
    EXPECT_FALSE(d.openKey(u"A/B"));
    EXPECT_TRUE(d.openKey(u"A"));
    EXPECT_EQ(d.getU32(u"A", u"keep", 0), 3u);
    EXPECT_TRUE(d.deleteKey(u"DlList"));
    EXPECT_FALSE(d.openKey(u"DlList"));
    EXPECT_FALSE(d.deleteKey(u"DlList"));
    // a key made again after its deletion starts empty
    d.setU32(u"A/B", u"z", 7);
    EXPECT_EQ(d.getU32(u"A/B", u"x", 0), 0u);
    EXPECT_EQ(d.getU32(u"A/B", u"z", 0), 7u);
}

TEST_P(EveryStore, TheEmptyPathIsTheTopAndTheRememberedKeyFollowsChanges)
{
    IMappedData& d = *store;
    d.setS32(u"", u"top", -7);
    EXPECT_EQ(d.getS32(u"", u"top", 0), -7);
    EXPECT_EQ(d.getS32(nullptr, u"top", 0), -7);
    d.setS32(u"X", u"v", 1);
    d.setS32(u"Y", u"v", 2);
    EXPECT_EQ(d.getS32(u"X", u"v", 0), 1);
    EXPECT_EQ(d.getS32(u"Y", u"v", 0), 2);
    EXPECT_TRUE(d.deleteKey(u"Y"));
    EXPECT_EQ(d.getS32(u"Y", u"v", 0), 0) << "the remembered key must not outlive its deletion";
    d.setS32(u"Y", u"v", 3);
    EXPECT_EQ(d.getS32(u"Y", u"v", 0), 3);
}

// Qt puts the process under the user's locale at start-up: in most of Europe a decimal comma.
TEST_P(EveryStore, NumbersIgnoreTheProcessLocale)
{
    fetchwick::test::DecimalCommaLocale german;
    if (!german.active())
        GTEST_SKIP() << "the de_DE.UTF-8 locale could not be built with localedef";
    const double values[] = { 0.5, -1.25, 1e300, 3.0, -0.125, 1234567.875, 0.0, 0.000001 };
    IMappedData& d = *store;
    for (size_t i = 0; i < std::size(values); ++i) {
        std::u16string name = u"v" + utf16(std::to_string(i));
        ASSERT_TRUE(d.setDouble(u"N", name.c_str(), values[i]));
        ASSERT_TRUE(d.setFloat(u"N", (name + u"f").c_str(), static_cast<float>(values[i] == 1e300 ? 1e30 : values[i])));
    }
    ASSERT_TRUE(d.flush() || GetParam().name == std::string("Registry"));
    // A second store over the same file reads what the first one wrote.
    Pooled<IMappedData> again { GetParam().make(temp) };
    for (size_t i = 0; i < std::size(values); ++i) {
        std::u16string name = u"v" + utf16(std::to_string(i));
        EXPECT_EQ(again->getDouble(u"N", name.c_str(), -7), values[i]) << values[i];
        EXPECT_EQ(again->getFloat(u"N", (name + u"f").c_str(), -7), static_cast<float>(values[i] == 1e300 ? 1e30 : values[i])) << values[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, EveryStore,
    ::testing::Values(StoreKind { "Xml", makeXml }, StoreKind { "Registry", makeRegistry }),
    [](const auto& info) { return std::string(info.param.name); });

// --- the XML store ---

TEST(XmlStore, FoldersAreExactAndValuesMoveToTheEnd)
{
    TempFolder temp;
    Pooled<IMappedData> d = makeXml(temp);
    d->setU32(u"A/B", u"x", 1);
    d->setU32(u"A/B", u"y", 2);
    EXPECT_EQ(d->getU32(u"A/B", u"x", 0), 1u);
    d->setU32(u"Other", u"x", 0);
    EXPECT_EQ(d->getU32(u"a/B", u"x", 99), 99u) << "folder names are case-sensitive";
    d->setU32(u"A/B", u"X", 3);
    auto& xml = static_cast<s::xml::MappedData&>(*d);
    s::xml::Node* b = xml.root()->getChild(u"A", 1)->getChild(u"B", 1);
    ASSERT_EQ(b->getAttributes()->count(), 2u) << "setting again leaves one attribute";
    EXPECT_EQ(std::u16string(b->getAttributes()->at(1)->name), u"X") << "at the end, with the new name";
    EXPECT_EQ(d->getU32(u"A/B", u"x", 0), 3u);
}

TEST(XmlStore, TextFormsAndParsing)
{
    TempFolder temp;
    Pooled<IMappedData> d = makeXml(temp);
    d->setDouble(u"", u"half", 0.5);
    d->setBool(u"", u"on", true);
    d->setBool(u"", u"off", false);
    const uint8_t bytes[] = { 0x01, 0xAB };
    d->setBytes(u"", u"bin", bytes, 2);
    d->setU64(u"", u"big", 0x8000000000000001ull);
    d->setExpandString(u"", u"exp", u"%HOME%");
    auto& xml = static_cast<s::xml::MappedData&>(*d);
    s::xml::Node* root = xml.root();
    struct Written {
        const char16_t* name;
        const char16_t* text;
    } written[] = {
        { u"half", u"0.500000" }, { u"on", u"1" }, { u"off", u"0" }, { u"bin", u"01ab" },
        { u"big", u"-9223372036854775807" }, { u"exp", u"%HOME%" },
    };
    for (const Written& w : written)
        EXPECT_EQ(std::u16string(root->getRaw(w.name)), w.text);
    bool expandable = true;
    EXPECT_EQ(d->getString(u"", u"exp", nullptr, &expandable, true).view(), u"%HOME%") << "the XML store does not expand";
    EXPECT_FALSE(expandable);

    root->getAttributes()->addRaw(u"t1", u"true");
    root->getAttributes()->addRaw(u"t2", u"yes");
    root->getAttributes()->addRaw(u"n1", u"12abc");
    root->getAttributes()->addRaw(u"n2", u"abc");
    root->getAttributes()->addRaw(u"hex", u"0A0bzz1");
    root->getAttributes()->addRaw(u"dbl", u" 2.5e1x");
    EXPECT_TRUE(d->getBool(u"", u"t1", false));
    EXPECT_FALSE(d->getBool(u"", u"t2", true));
    EXPECT_EQ(d->getS32(u"", u"n1", 5), 12);
    EXPECT_EQ(d->getS32(u"", u"n2", 5), 0) << "present but not a number: 0, not the default";
    EXPECT_EQ(d->getDouble(u"", u"dbl", 0), 25.0);
    EXPECT_EQ(d->getDouble(u"", u"n2", 5), 0.0);
    Pooled<s::col::_array::ArrayU08> out;
    d->getBytes(u"", u"hex", out.get());
    ASSERT_EQ(out->count(), 3u) << "pairs in either case; a stray odd digit is ignored";
    EXPECT_EQ((*out)[0], 0x0A);
    EXPECT_EQ((*out)[1], 0x0B);
    EXPECT_EQ((*out)[2], 0x00);
}

// A hand-edited settings file may start with a comment or a declaration; its values must survive a
// load and a save, and the comment must not become the root.
TEST(XmlStore, ASettingsFileStartingWithACommentKeepsItsValues)
{
    TempFolder temp;
    std::string file = temp / "SaveData.xml";
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                             "<!-- edited by hand: keep the window where it was -->\n"
                                             "<!DOCTYPE savedata>\n"
                                             "<savedata>\n  <!-- the main window -->\n  <W x=\"10\" y=\"2\" z=\"0.5\"/>\n</savedata>\n"
                                             "<!-- trailing -->\n";
    {
        Pooled<IMappedData> d = makeXml(temp);
        EXPECT_EQ(static_cast<s::xml::MappedData&>(*d).root()->getName(), std::u16string_view(u"savedata"));
        EXPECT_EQ(d->getU32(u"W", u"x", 0), 10u);
        EXPECT_EQ(d->getDouble(u"W", u"z", 0), 0.5);
        ASSERT_TRUE(d->setU32(u"W", u"y", 3));
        ASSERT_TRUE(d->flush());
    }
    EXPECT_EQ(readFile(file), "<savedata><W x=\"10\" z=\"0.5\" y=\"3\"></W></savedata>");
    Pooled<IMappedData> d = makeXml(temp);
    EXPECT_EQ(d->getU32(u"W", u"x", 0), 10u);
    EXPECT_EQ(d->getU32(u"W", u"y", 0), 3u);
}

// A key path or value name written unchecked would change the document: "My Folder" reads back
// as "My", a quote in a value name starts another attribute.
TEST(XmlStore, NamesTheDocumentCannotHoldAreRefusedAndNothingIsWritten)
{
    TempFolder temp;
    Pooled<IMappedData> d = makeXml(temp);
    d->setAutoSave(true);
    ASSERT_TRUE(d->setU32(u"W", u"keep", 1));
    std::string before = readFile(temp / "SaveData.xml");
    struct Case {
        const char16_t* path;
        const char16_t* name;
    } cases[] = {
        { u"My Folder", u"v" },
        { u"Good/My Folder/Deeper", u"v" },
        { u"W", u"a\" injected=\"1" },
        { u"W", u"two words" },
        { u"W", u"1st" },
        { u"W/<x>", u"v" },
        { u"New/9", u"v" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StrBuffer::make(std::u16string_view(c.path))->toStdUtf8() + " / " + StrBuffer::make(std::u16string_view(c.name))->toStdUtf8());
        EXPECT_FALSE(d->setU32(c.path, c.name, 1));
        EXPECT_FALSE(d->setString(c.path, c.name, u"x"));
        EXPECT_FALSE(d->setDouble(c.path, c.name, 0.5));
        EXPECT_FALSE(d->setBool(c.path, c.name, true));
        EXPECT_FALSE(d->setBytes(c.path, c.name, reinterpret_cast<const uint8_t*>("\1"), 1));
        EXPECT_FALSE(d->hasValue(c.path, c.name));
    }
    EXPECT_FALSE(d->createKey(u"My Folder"));
    EXPECT_FALSE(d->createKey(u"Good/My Folder"));
    EXPECT_FALSE(d->openKey(u"Good")) << "no folder on the way was created";
    EXPECT_FALSE(d->openKey(u"New"));
    EXPECT_EQ(readFile(temp / "SaveData.xml"), before);
    EXPECT_EQ(before, "<savedata><W keep=\"1\"></W></savedata>");
    EXPECT_TRUE(d->setString(u"ns:Folder/sub-key.x/_y", u"\u00e9t\u00e9", u"ok"));
    EXPECT_EQ(d->getString(u"ns:Folder/sub-key.x/_y", u"\u00e9t\u00e9", nullptr).view(), u"ok");
}

TEST(XmlStore, AutoSaveRewritesTheFileAfterEveryChange)
{
    TempFolder temp;
    Pooled<IMappedData> d = makeXml(temp);
    std::string file = temp / "SaveData.xml";
    d->setU32(u"W", u"x", 1);
    EXPECT_EQ(readFile(file), "") << "without auto-save nothing is written until flush";
    EXPECT_TRUE(d->flush());
    EXPECT_EQ(readFile(file), "<savedata><W x=\"1\"></W></savedata>");

    d->setAutoSave(true);
    d->setString(u"W", u"s", u"a b");
    EXPECT_EQ(readFile(file), "<savedata><W x=\"1\" s=\"a b\"></W></savedata>");
    d->deleteValue(u"W", u"x");
    EXPECT_EQ(readFile(file), "<savedata><W s=\"a b\"></W></savedata>");
    d->deleteKey(u"W");
    EXPECT_EQ(readFile(file), "<savedata></savedata>");
}

TEST(XmlStore, LoadsAnExistingFileOrStartsAFreshRoot)
{
    TempFolder temp;
    struct Case {
        const char* content; // null: no file
        bool load;
        const char* written;
    } cases[] = {
        { nullptr, true, "<VideoDlXml></VideoDlXml>" },
        { "<VideoDlXml><DlList n=\"2\"/></VideoDlXml>", true, "<VideoDlXml><DlList n=\"2\"></DlList></VideoDlXml>" },
        { "<VideoDlXml><DlList n=\"2\"/></VideoDlXml>", false, "<VideoDlXml></VideoDlXml>" },
        { "", true, "<VideoDlXml></VideoDlXml>" },
        { "garbage without elements", true, "<VideoDlXml></VideoDlXml>" },
        { "<other/>", true, "<other></other>" },
    };
    int i = 0;
    for (const Case& c : cases) {
        std::string file = temp / ("list" + std::to_string(i++) + ".dat");
        if (c.content)
            std::ofstream(file, std::ios::binary) << c.content;
        std::u16string path = utf16(file);
        Pooled<s::xml::MappedData> d = s::xml::MappedData::create(path.c_str(), u"VideoDlXml", c.load);
        Pooled<StrBuffer> out;
        d->root()->writeTo(out.get());
        EXPECT_EQ(out->toStdUtf8(), c.written) << (c.content ? c.content : "(no file)");
    }
}

// --- the registry store ---

class RegistryStore : public ::testing::Test {
protected:
    TempFolder temp;
    std::string file { temp / "registry.reg" };
    Pooled<IMappedData> d { makeRegistry(temp) };
};

TEST_F(RegistryStore, KeyNamesIgnoreCaseAsThePlatformDoes)
{
    d->setU32(u"A/B", u"x", 5);
    d->setU32(u"Other", u"x", 0);
    EXPECT_EQ(d->getU32(u"a/b", u"x", 99), 5u) << "unlike the XML store's folders";
    EXPECT_TRUE(d->deleteKey(u"a"));
    EXPECT_FALSE(d->openKey(u"A/B"));
}

TEST_F(RegistryStore, GettersCheckTheLengthNotTheType)
{
    d->setU64(u"K", u"wide", 5);
    d->setU32(u"K", u"narrow", 0xFFFFFFFE);
    d->setS8(u"K", u"neg", -2);
    d->setDouble(u"K", u"dbl", 0.5);
    d->setFloat(u"K", u"flt", 0.5f);
    d->setString(u"K", u"txt", u"1");
    struct Case {
        const char16_t* name;
        uint32_t u32;
        uint64_t u64;
        bool boolean;
    } cases[] = {
        { u"wide", 77, 5, true },                   // 8 bytes: every 4-byte getter gives the default
        { u"narrow", 0xFFFFFFFE, 77, true },        // 4 bytes: 64-bit getters give the default
        { u"neg", 0xFFFFFFFE, 77, true },           // sign-extended into the DWORD
        { u"dbl", 77, 0x3FE0000000000000ull, true }, // the double's 8 bytes
        { u"flt", 0x3F000000, 77, true },           // the float's 4 bytes
        { u"txt", 77, 77, true },                   // "1" and its NUL: 4 bytes of UTF-16!
        { u"none", 77, 77, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)));
        if (std::u16string_view(c.name) == u"txt") {
            EXPECT_EQ(d->getU32(u"K", c.name, 77), 0x31u) << "a 4-byte text reads as a number, as on the platform";
            continue;
        }
        EXPECT_EQ(d->getU32(u"K", c.name, 77), c.u32);
        EXPECT_EQ(d->getU64(u"K", c.name, 77), c.u64);
        EXPECT_EQ(d->getBool(u"K", c.name, c.boolean), c.boolean);
    }
    EXPECT_EQ(d->getS8(u"K", u"neg", 0), -2);
    EXPECT_EQ(d->getS16(u"K", u"neg", 0), -2);
    EXPECT_EQ(d->getString(u"K", u"narrow", u"dflt").view(), u"dflt") << "a DWORD is not a text";
    EXPECT_EQ(d->getDouble(u"K", u"flt", 9.0), 9.0);
    d->setString(u"K", u"empty", u"");
    EXPECT_EQ(d->getString(u"K", u"empty", u"dflt").view(), u"");
    Pooled<s::col::_array::ArrayU08> raw;
    d->getBytes(u"K", u"txt", raw.get());
    EXPECT_EQ(raw->count(), 4u) << "REG_SZ keeps its terminating NUL";
}

TEST_F(RegistryStore, ExpandableTextsExpandFromTheEnvironmentWhenAsked)
{
    ::setenv("FETCHWICK_TEST_DIR", "/data/videos", 1);
    ::unsetenv("FETCHWICK_TEST_UNSET");
    struct Case {
        const char16_t* stored;
        const char16_t* expanded;
    } cases[] = {
        { u"%FETCHWICK_TEST_DIR%\\x", u"/data/videos\\x" },
        { u"$FETCHWICK_TEST_DIR/y", u"/data/videos/y" },
        { u"${FETCHWICK_TEST_DIR}z", u"/data/videosz" },
        { u"%FETCHWICK_TEST_UNSET% $FETCHWICK_TEST_UNSET", u"%FETCHWICK_TEST_UNSET% $FETCHWICK_TEST_UNSET" },
        { u"100% $ 5%", u"100% $ 5%" },
    };
    for (const Case& c : cases) {
        d->setExpandString(u"E", u"v", c.stored);
        bool expandable = false;
        EXPECT_EQ(d->getString(u"E", u"v", nullptr, &expandable, false).view(), c.stored);
        EXPECT_TRUE(expandable);
        EXPECT_EQ(d->getString(u"E", u"v", nullptr, &expandable, true).view(), c.expanded);
    }
    d->setString(u"E", u"plain", u"%FETCHWICK_TEST_DIR%");
    bool expandable = true;
    EXPECT_EQ(d->getString(u"E", u"plain", nullptr, &expandable, true).view(), u"%FETCHWICK_TEST_DIR%");
    EXPECT_FALSE(expandable);
}

TEST_F(RegistryStore, EveryChangeIsInTheFileAtOnceAndPrivate)
{
    d->setU32(u"", u"Count", 10);
    d->setString(u"Window", u"Title", u"say \"hi\"");
    d->setString(u"Window", u"", u"default");
    d->setBytes(u"Window", u"Blob", reinterpret_cast<const uint8_t*>("\x01\xab"), 2);
    std::string text = readFile(file);
    EXPECT_EQ(text,
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_CURRENT_USER]\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software]\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Pellix]\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Pellix\\Fetchwick]\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Pellix\\Fetchwick\\SaveData]\n"
        "\"Count\"=dword:0000000a\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Pellix\\Fetchwick\\SaveData\\Window]\n"
        "\"Title\"=\"say \\\"hi\\\"\"\n"
        "@=\"default\"\n"
        "\"Blob\"=hex:01,ab\n"
        "\n");
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Another process may replace the file at any time; the next call sees its content.
TEST_F(RegistryStore, SeesChangesOtherProcessesMade)
{
    d->setU32(u"P", u"mine", 1);
    {
        std::ofstream out(file + ".new", std::ios::binary);
        out << "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Pellix\\Fetchwick\\SaveData\\P]\r\n"
               "\"mine\"=dword:00000002\r\n"
               "\"theirs\"=\"x\"\r\n";
    }
    ASSERT_EQ(std::rename((file + ".new").c_str(), file.c_str()), 0);
    EXPECT_EQ(d->getU32(u"P", u"mine", 0), 2u);
    EXPECT_EQ(d->getString(u"P", u"theirs", nullptr).view(), u"x");
    d->setU32(u"P", u"more", 3);
    EXPECT_NE(readFile(file).find("\"theirs\"=\"x\""), std::string::npos) << "a change keeps what the other process wrote";
}

// The temporary file cannot be made when a folder stands in its place (whatever the rights of
// the user running the test): the change must not show in memory either.
TEST_F(RegistryStore, AFailedWriteChangesNothing)
{
    d->setU32(u"F", u"v", 1);
    ASSERT_EQ(::mkdir((file + ".tmp").c_str(), 0700), 0);
    d->setU32(u"F", u"v", 2);
    d->setU32(u"F", u"w", 3);
    EXPECT_EQ(d->getU32(u"F", u"v", 0), 1u);
    EXPECT_FALSE(d->hasValue(u"F", u"w"));
    EXPECT_FALSE(d->createKey(u"G"));
    ::rmdir((file + ".tmp").c_str());
    d->setU32(u"F", u"v", 4);
    EXPECT_EQ(d->getU32(u"F", u"v", 0), 4u);
}

// A writer killed at any moment of a save leaves the old file or the new one, whole. The child
// saves a large text and a counter together in a loop; every file the parent finds must be a
// complete document whose two values agree.
TEST(XmlStore, SurvivesAWriterKilledMidSave)
{
    TempFolder temp;
    std::string file = temp / "DlList.dat";
    std::u16string path = utf16(file);
    std::mt19937 random(4242);
    auto fileIdentity = [&] {
        struct stat st;
        return ::stat(file.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_ino) : 0;
    };
    constexpr size_t blobSize = 512 * 1024;
    for (int round = 0; round < 12; ++round) {
        uint64_t before = fileIdentity();
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Pooled<s::xml::MappedData> store = s::xml::MappedData::create(path.c_str(), u"VideoDlXml", true);
            std::u16string blob(blobSize, u'a');
            for (uint32_t n = store->getU32(u"Stress", u"n", 0) + 1;; ++n) {
                std::fill(blob.begin(), blob.end(), static_cast<char16_t>(u'a' + n % 26));
                store->setString(u"Stress", u"blob", blob.c_str());
                store->setU32(u"Stress", u"n", n);
                store->flush();
            }
        }
        // Once the child has replaced the file at least once, kill it at a random moment of its
        // later saves.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (fileIdentity() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 60));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        std::string text = readFile(file);
        SCOPED_TRACE("round " + std::to_string(round));
        Pooled<s::xml::Node> root;
        ASSERT_TRUE(root->parseBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
        Pooled<StrBuffer> again;
        root->writeTo(again.get());
        EXPECT_EQ(again->toStdUtf8(), text) << "the file is one whole document";
        s::xml::Node* stress = root->getChild(u"Stress", 6);
        ASSERT_NE(stress, nullptr);
        const char16_t* blob = stress->getRaw(u"blob");
        ASSERT_NE(blob, nullptr);
        std::u16string_view value(blob);
        ASSERT_EQ(value.size(), blobSize);
        EXPECT_EQ(value.find_first_not_of(value[0]), std::u16string_view::npos);
        EXPECT_EQ(value[0], static_cast<char16_t>(u'a' + stress->getU32(u"n", 0) % 26)) << "the values of one save";
    }
    // The next save clears whatever temporary the last kill left behind.
    Pooled<s::xml::MappedData> store = s::xml::MappedData::create(path.c_str(), u"VideoDlXml", true);
    ASSERT_TRUE(store->setU32(u"Stress", u"n", 0));
    ASSERT_TRUE(store->flush());
    EXPECT_NE(::access((file + ".tmp").c_str(), F_OK), 0);
    EXPECT_EQ(store->getString(u"Stress", u"blob", nullptr).length(), blobSize);
}

namespace {

constexpr uid_t nobody = 65534;

// As an unprivileged user, for whom permissions are real: the store made over a file it cannot
// read starts empty, and its flush must not put that empty document in the file's place.
[[noreturn]] void saveOverAnUnreadableFile(const std::u16string& path)
{
    if (::getuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
        std::_Exit(11);
    int failures = 0;
    {
        Pooled<s::xml::MappedData> store = s::xml::MappedData::create(path.c_str(), u"savedata", true);
        failures += store->getU32(u"W", u"x", 99) == 99 ? 0 : 1;
        failures += store->setU32(u"W", u"y", 1) ? 0 : 1;
        failures += store->flush() ? 1 : 0;
        store->setAutoSave(true);
        failures += store->setU32(u"W", u"z", 1) ? 1 : 0;
    }
    std::_Exit(failures);
}

}

TEST(XmlStore, AFileThatCannotBeReadIsNotOverwritten)
{
    TempFolder temp;
    std::string file = temp / "SaveData.xml";
    const std::string content = "<savedata><W x=\"10\"></W></savedata>";
    std::ofstream(file, std::ios::binary) << content;
    ASSERT_EQ(::chown(temp.path().c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0200), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        saveOverAnUnreadableFile(utf16(file));
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(readFile(file), content) << "left byte for byte as it was";

    // Once the file is gone there is nothing left to lose, and the store saves again.
    ::mkdir((temp / "folder.xml").c_str(), 0700);
    Pooled<s::xml::MappedData> blocked = s::xml::MappedData::create(utf16(temp / "folder.xml").c_str(), u"savedata", true);
    EXPECT_FALSE(blocked->flush());
    ::rmdir((temp / "folder.xml").c_str());
    EXPECT_TRUE(blocked->flush());
    EXPECT_EQ(readFile(temp / "folder.xml"), "<savedata></savedata>");
}
