#include "formats/lang/EmbeddedLangPack.h"
#include "formats/lang/LangPack.h"
#include "formats/lang/LanguageNames.h"
#include "formats/lang/Localizer.h"
#include "formats/lang/os/UserLanguage.h"
#include "formats/xml/Node.h"
#include "foundation/str/Utf8.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

using s::lang::EmbeddedLangPack;
using s::lang::LangPack;
using s::lang::LanguageNames;
using s::lang::Localizer;
using s::thread::Pooled;

// Checks over the language pack that ships inside the program.

namespace {

std::string utf8(std::u16string_view text)
{
    std::string out(s::str::Utf8::maxEncodedSize(text.size()), '\0');
    out.resize(s::str::Utf8::encode(text.data(), text.size(), reinterpret_cast<uint8_t*>(out.data())));
    return out;
}

Pooled<Localizer> shipped(std::u16string_view systemName = u"English")
{
    Pooled<Localizer> localizer;
    localizer->setSystemLanguageName(systemName);
    Pooled<s::xml::Node> root;
    auto bytes = EmbeddedLangPack::bytes();
    EXPECT_TRUE(root->parseBytes(bytes.data(), bytes.size()));
    localizer->load(root.get());
    return localizer;
}

struct Language {
    const char* tag;
    const char* english;
    const char* own;
};

const Language languages[] = {
    { "eng", "English", "English" },
    { "zhs", "Chinese_Simplified", "简体中文" },
    { "zht", "Chinese_Traditional", "繁體中文" },
    { "ell", "Greek", "Ελληνικά" },
    { "ita", "Italian", "Italiano" },
    { "pol", "Polish", "Polski" },
    { "rus", "Russian", "Русский" },
    { "jpn", "Japanese", "日本語" },
    { "kor", "Korean", "한국어" },
    { "ara", "Arabic", "عربي (Partial)" },
    { "ind", "Indonesian", "Bahasa Indonesia (Partial)" },
    { "bul", "Bulgarian", "Български (Partial)" },
    { "bel", "Belarusian", "Беларускі (Partial)" },
    { "cze", "Czech", "Cestina (Partial)" },
    { "cpn", "Serbian_Cyrillic", "Српски (Partial)" },
    { "dan", "Danish", "Dansk (Partial)" },
    { "deu", "German", "Deutsch (Partial)" },
    { "est", "Estonian", "Eesti (Partial)" },
    { "spa", "Spanish", "Español (Partial)" },
    { "fra", "French", "Français (Partial)" },
    { "hrv", "Croatian", "Hrvatski (Partial)" },
    { "hun", "Hungarian", "Magyar (Partial)" },
    { "nld", "Dutch", "Nederlands (Partial)" },
    { "nor", "Norwegian", "Norsk (Partial)" },
    { "per", "Persian", "فارسی (Partial)" },
    { "por", "Portuguese", "Português (Partial)" },
    { "bra", "Portuguese_Brazilian", "Portugus Brasileiro (Partial)" },
    { "rom", "Romanian", "Română (Partial)" },
    { "slk", "Slovak", "Slovensky (Partial)" },
    { "srp", "Serbian_Latin", "Srpski (Partial)" },
    { "fin", "Finnish", "Suomeksi (Partial)" },
    { "swe", "Swedish", "Svenska (Partial)" },
    { "tha", "Thai", "ภาษาไทย (Partial)" },
    { "tur", "Turkish", "Türkçe (Partial)" },
    { "vec", "Venetian", "Vèneto Vec-to (Partial)" },
    { "vie", "Vietnamese", "Việt Nam (Partial)" },
    { "ukr", "Ukrainian", "Українська (Partial)" },
};

// Every numeric id of the pack, in document order.
const int32_t ids[] = {
    100000, 101000, 105000, 106000, 107000, 108000, 108100, 108200, 108500, 300000, 400010, 400020, 400030,
    400050, 400080, 400100, 400110, 400120, 400200, 400210, 400220, 400230, 400300, 400310, 400320, 400330,
    400340, 400380, 400390, 500000, 500001, 500002, 500003, 500004, 500006, 500010, 500020, 500030, 500050,
    500051, 500052, 500089, 500090, 500100, 500101, 500102, 608255, 609000, 609100, 609300, 609350, 609420,
    609440, 609450, 609460, 609500, 700000, 700001, 701000, 701100, 701200, 701300, 750000, 751000, 990000,
    990500, 991000, 992000, 992500, 993000, 993900, 994000, 1002000, 1002001, 1010000, 1200000, 1030100,
    1030101, 1030102, 1030103, 1030104, 1030105, 1030106, 1030107, 1031000, 1031100, 1031200, 1031300,
    1032000, 1032010, 1032020, 1040000, 1040100, 1040101, 1040200, 1040201, 1040300, 1040301, 1040400,
    1040401, 1040500, 1040501, 1501000, 1502100, 1502200, 1502300, 1503000, 1504000, 1505000, 1505500,
    2000100, 2000200, 2001100, 2001200, 2100000, 2100100, 2100110, 2100120, 2102100, 2102200, 2102300,
    2200000, 2201000, 2500010, 2500020, 2501000, 2600010, 2600020, 2700010, 2700020, 2710010, 3004000,
    3005000, 3005500, 3006000, 3810010, 3810020, 3810030, 3810040, 3820000, 3820100, 3820200, 3820300,
    3820400, 3820500, 3820600, 3820700, 3820750, 3820770, 3820800, 2010000000, 2010001000,
};

// What the main window, its menus, its list and its status bar show: every language has its own
// text for these.
const int32_t mainWindowIds[] = {
    107000, 108100, 400200, 400210, 400230, 400300, 400330, 400340, 608255, 609000, 609100, 609300, 609350,
    609450, 700000, 700001, 701000, 701100, 701200, 701300, 990000, 991000, 992000, 992500, 993000, 993900,
    994000, 1030100, 1031000, 1031100, 1031200, 1031300, 1032000, 1032010, 1032020, 1040000, 1040100,
    1040200, 1040300, 1040400, 1040500, 1501000, 1502100, 1502200, 1502300, 1503000, 1504000, 1505000,
    1505500, 2000100, 2000200, 2001100, 2001200, 2100000, 2100100, 2100110, 2100120, 2102100, 2102200,
    2102300, 2200000, 2201000, 2500010, 2501000, 2600010, 2600020, 2700010, 2700020, 2710010, 3005500,
    3006000, 3810010, 3810020, 3810030, 3810040, 3820000, 3820100, 3820200, 3820300, 3820400, 3820500,
    3820600, 3820700, 3820750, 3820770, 3820800,
};

// Ids whose text is the same in every language: web addresses, the program's and maker's names,
// the registry name, the version and its date.
const int32_t sameEverywhere[] = {
    100000, 101000, 106000, 108000, 108200, 108500, 300000, 500000, 500003, 500004, 500006, 500010,
    500020, 500030, 500100, 500102, 1030101, 1040101, 1040201, 1040301, 1040401, 1040501, 2010000000,
};
const int32_t webAddresses[] = {
    101000, 108000, 108200, 108500, 500003, 500004, 500006, 500100, 500102,
    1030101, 1040101, 1040201, 1040301, 1040401, 1040501,
};

bool isComplete(const Language& language)
{
    return !std::string_view(language.own).ends_with("(Partial)");
}

}

TEST(ShippedLangPack, ThirtySevenLanguagesInMenuOrder)
{
    Pooled<Localizer> localizer = shipped();
    ASSERT_EQ(localizer->languageCount(), std::size(languages));
    for (uint32_t i = 0; i < std::size(languages); ++i) {
        SCOPED_TRACE(languages[i].tag);
        LangPack* pack = localizer->languageAt(i);
        EXPECT_EQ(utf8(pack->tag()), languages[i].tag);
        EXPECT_EQ(utf8(pack->englishName()), languages[i].english);
        EXPECT_EQ(utf8(pack->ownName()), languages[i].own);
    }
    EXPECT_EQ(std::count_if(std::begin(languages), std::end(languages), isComplete), 9);
}

TEST(ShippedLangPack, EveryLanguageAnswersEveryIdWithAText)
{
    Pooled<Localizer> localizer = shipped();
    for (uint32_t i = 0; i < localizer->languageCount(); ++i) {
        LangPack* pack = localizer->languageAt(i);
        SCOPED_TRACE(utf8(pack->tag()));
        // Exactly the listed ids, in document order, none twice.
        ASSERT_EQ(pack->textCount(), std::size(ids));
        for (uint32_t k = 0; k < std::size(ids); ++k) {
            EXPECT_EQ(pack->idAt(k), ids[k]);
            EXPECT_FALSE(pack->text(ids[k]).empty()) << ids[k];
            EXPECT_EQ(utf8(pack->text(ids[k])).find('@'), std::string::npos) << ids[k] << ": a build value was not filled in";
        }
        EXPECT_TRUE(pack->hasUpdateText());
        EXPECT_EQ(pack->namedTextCount(), 0u);
    }
}

TEST(ShippedLangPack, EnglishTextsAsTheProgramQuotesThem)
{
    Pooled<Localizer> localizer = shipped();
    LangPack* english = localizer->findLanguage(u"English");
    ASSERT_NE(english, nullptr);
    struct Case {
        int32_t id;
        const char* text;
    };
    const Case cases[] = {
        { 3820000, "Error" }, { 3820100, "Canceled" }, { 3820200, "Pending" }, { 3820300, "Paused" },
        { 3820400, "Canceling" }, { 3820500, "Retrying" }, { 3820600, "Initializing" },
        { 3820700, "Downloading" }, { 3820750, "Merging Files..." }, { 3820770, "Converting Files..." },
        { 3820800, "Completed" },
        { 3810010, "d" }, { 3810020, "h" }, { 3810030, "m" }, { 3810040, "s" },
        { 990000, "Title" }, { 990500, "#" }, { 991000, "Size" }, { 992000, "Done" }, { 992500, "Status" },
        { 993000, "Speed" }, { 993900, "ETA" }, { 994000, "URL" },
        { 609000, "View" }, { 609100, "Keep on Top" }, { 609300, "Easy Drag" },
        { 609350, "Close By Mouse-Wheel Click" }, { 700000, "Language" }, { 700001, "Translate? (online)" },
        { 1040000, "Tools" }, { 701000, "About" }, { 701100, "Version Information" },
        { 701200, "Software Page (online)" }, { 701300, "Tell Developers (online)" },
        { 108100, "Using at Workplace? (online)" }, { 1030100, "Supported Sites? (1076+)" },
        { 3006000, " change " }, { 1031000, "URL:" }, { 1031100, "      Download      " },
        { 1031200, "Auto-Start from Clipboard" }, { 1031300, "MP3 Only" }, { 1032000, "require login?" },
        { 1032010, "ID:" }, { 1032020, "Password:" },
        { 2000100, "Show Details" }, { 2000200, "Hide Details" }, { 2001100, "Retry Errors" },
        { 2001200, "Clear Completed" }, { 2100000, "Information" }, { 2200000, "Log" }, { 2100100, "Play" },
        { 2100110, "Remove Entry" }, { 2100120, "Delete File and Entry" }, { 2102100, "Title:" },
        { 2102200, "URL:" }, { 2102300, "File Path:" }, { 2201000, "- The log has been cleared. -" },
        { 609450, "Ready" }, { 2501000, "ETA:" }, { 2500010, " downloading" },
        { 2600010, " (Hint: You can drag & drop links from web browsers.)" },
        { 2600020, " (Hint: You can play the video by double-clicking the list item.)" },
        { 1501000, "Retry Download" }, { 1502100, "Play" }, { 1502200, "Locate File" },
        { 1502300, "Copy URL(s)" }, { 1503000, "Cancel" }, { 1504000, "Remove from List" },
        { 1505000, "Remove and..." }, { 1505500, "Delete File" },
        { 2700010, "Already in the List." }, { 2700020, "This site requires login." },
        { 2710010, "Delete the File together?" }, { 608255, "Please select the output folder." },
        { 3005500, "Downloads" },
        { 400010, "Version:" }, { 400020, "Last Updated:" }, { 400050, "License:" }, { 400080, "URL:" },
        { 400100, "Version Information" }, { 400120, "Close" },
        { 400200, "There is a newer version available." }, { 400210, "There is improved version available." },
        { 400230, "Would you like to check it out?" }, { 400300, "Confirmation Dialog" },
        { 400320, "Are you sure you want to proceed this operation?" },
        { 400330, "       Yes       " }, { 400340, "       No       " }, { 400380, "Don't ask me again" },
        { 500089, "Is this freeware useful?" }, { 500090, "Please support us via donation." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(utf8(english->text(c.id)), c.text);
    }
}

TEST(ShippedLangPack, CompleteLanguagesTranslateEveryIdAndPartialOnesTheMainWindow)
{
    // Read the document itself: after loading, a text copied from English cannot be told apart.
    Pooled<s::xml::Node> root;
    auto bytes = EmbeddedLangPack::bytes();
    ASSERT_TRUE(root->parseBytes(bytes.data(), bytes.size()));
    const s::xml::Node* entries = root->getChild(u"entries");
    ASSERT_NE(entries, nullptr);
    const std::set<int32_t> mainWindow(std::begin(mainWindowIds), std::end(mainWindowIds));
    uint32_t entryCount = 0;
    Pooled<s::str::StrBuffer> id;
    for (uint32_t e = 0; e < entries->childCount(); ++e) {
        const s::xml::Node* entry = entries->childAt(e);
        entry->getString(id.get(), u"id");
        const int32_t number = id->parseInt32();
        SCOPED_TRACE(number);
        ++entryCount;
        std::set<std::string> tags;
        for (uint32_t c = 0; c < entry->childCount(); ++c)
            tags.insert(utf8({ entry->childAt(c)->getName(), entry->childAt(c)->nameLength() }));
        ASSERT_GT(entry->childCount(), 0u);
        EXPECT_TRUE(entry->childAt(0)->nameEquals(u"eng")) << "English comes first: it is every language's fallback";
        for (const Language& language : languages) {
            if (isComplete(language) || mainWindow.contains(number)) {
                EXPECT_TRUE(tags.contains(language.tag)) << language.tag << " has no text of its own";
            }
        }
    }
    EXPECT_EQ(entryCount, std::size(ids));
}

TEST(ShippedLangPack, SameTextsEverywhereAndWebAddressesUnderOneBase)
{
    Pooled<Localizer> localizer = shipped();
    LangPack* english = localizer->languageAt(0);
    const std::string base = utf8(english->text(101000));
    ASSERT_TRUE(base.starts_with("https://") || base.starts_with("http://")) << base;
    ASSERT_TRUE(base.ends_with("/")) << base;
    for (int32_t id : webAddresses) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(utf8(english->text(id)).starts_with(base));
        EXPECT_EQ(utf8(english->text(id)).find(' '), std::string::npos);
    }
    for (uint32_t i = 1; i < localizer->languageCount(); ++i) {
        LangPack* pack = localizer->languageAt(i);
        SCOPED_TRACE(utf8(pack->tag()));
        for (int32_t id : sameEverywhere)
            EXPECT_EQ(utf8(pack->text(id)), utf8(english->text(id))) << id;
    }

    // The update check reads the version text only when its last dot has two characters after it.
    const std::u16string_view version = english->text(500010);
    ASSERT_GE(version.size(), 3u);
    EXPECT_EQ(version.rfind(u'.'), version.size() - 3) << utf8(version);
}

TEST(ShippedLangPack, PaddedCaptionsKeepTheirSpacesInEveryLanguage)
{
    Pooled<Localizer> localizer = shipped();
    for (uint32_t i = 0; i < localizer->languageCount(); ++i) {
        LangPack* pack = localizer->languageAt(i);
        SCOPED_TRACE(utf8(pack->tag()));
        for (int32_t id : { 1031100, 3006000, 400330, 400340 }) {
            std::u16string_view text = pack->text(id);
            ASSERT_GE(text.size(), 3u) << id;
            EXPECT_EQ(text.front(), u' ') << id;
            EXPECT_EQ(text.back(), u' ') << id;
            EXPECT_NE(text.find_first_not_of(u' '), std::u16string_view::npos) << id;
        }
        for (int32_t id : { 2500010, 2600010, 2600020 })
            EXPECT_EQ(pack->text(id).front(), u' ') << id;
    }
}

TEST(ShippedLangPack, EmbeddedAndCreatedFromItTheSystemLanguageIsChosen)
{
    Pooled<Localizer> localizer = Localizer::createEmbedded();
    ASSERT_EQ(localizer->languageCount(), std::size(languages));
    ASSERT_NE(localizer->currentLanguage(), nullptr);
    // The embedded bytes end in a NUL that is not counted.
    auto bytes = EmbeddedLangPack::bytes();
    EXPECT_EQ(bytes.data()[bytes.size()], 0);
    EXPECT_NE(bytes.front(), 0xEF); // no byte-order mark
}

TEST(ShippedLangPack, SystemLanguagesChooseTheirPack)
{
    struct Case {
        uint16_t langId; // or 0 with a locale name
        const char* locale;
        const char* chosen;
    };
    const Case cases[] = {
        { 0x0411, nullptr, "Japanese" },
        { 0x0804, nullptr, "Chinese_Simplified" },
        { 0x1004, nullptr, "Chinese_Simplified" },
        { 0x0C04, nullptr, "Chinese_Traditional" },
        { 0x0404, nullptr, "Chinese_Traditional" },
        { 0x1804, nullptr, "Chinese_Simplified" }, // a region named only "CHINESE"
        // No pack is named "Portuguese_Portugal": the Portuguese family prefers the Brazilian pack.
        { 0x0816, nullptr, "Portuguese_Brazilian" },
        { 0x0416, nullptr, "Portuguese_Brazilian" },
        { 0x7C1A, nullptr, "Serbian_Cyrillic" },
        { 0x0C1A, nullptr, "Serbian_Cyrillic" },
        { 0x081A, nullptr, "Serbian_Latin" },
        { 0x141A, nullptr, "Serbian_Cyrillic" },
        { 0x201A, nullptr, "English" }, // Bosnian has no pack
        { 0x041A, nullptr, "Croatian" },
        { 0x040D, nullptr, "English" }, // Hebrew has no pack
        { 0x0000, nullptr, "English" },
        { 0x0409, nullptr, "English" },
        { 0x0407, nullptr, "German" },
        { 0x0429, nullptr, "Persian" },
        { 0x0414, nullptr, "Norwegian" },
        { 0x0814, nullptr, "Norwegian" },
        { 0x0401, nullptr, "Arabic" },
        { 0x0422, nullptr, "Ukrainian" },
        { 0, "ja_JP.UTF-8", "Japanese" },
        { 0, "pt_PT.UTF-8", "Portuguese_Brazilian" },
        { 0, "pt_BR.UTF-8", "Portuguese_Brazilian" },
        { 0, "zh_TW.UTF-8", "Chinese_Traditional" },
        { 0, "zh_CN.UTF-8", "Chinese_Simplified" },
        { 0, "sr_RS.UTF-8@latin", "Serbian_Latin" },
        { 0, "sr_RS.UTF-8", "Serbian_Cyrillic" },
        { 0, "he_IL.UTF-8", "English" },
        { 0, "C", "English" },
        { 0, "ko_KR.UTF-8", "Korean" },
    };
    for (const Case& c : cases) {
        uint16_t langId = c.locale ? s::lang::os::UserLanguage::langIdOfLocale(c.locale) : c.langId;
        SCOPED_TRACE(testing::Message() << std::hex << langId << " " << (c.locale ? c.locale : ""));
        Pooled<Localizer> localizer = shipped(LanguageNames::nameOf(langId));
        EXPECT_EQ(utf8(localizer->currentLanguage()->englishName()), c.chosen);
    }
}

TEST(ShippedLangPack, VenetianIsNeverChosenAutomatically)
{
    Pooled<Localizer> localizer = shipped();
    LangPack* venetian = localizer->findLanguage(u"Venetian");
    ASSERT_NE(venetian, nullptr);
    for (uint32_t langId = 0; langId <= 0xFFFF; ++langId) {
        LangPack* found = localizer->findLanguage(LanguageNames::nameOf(static_cast<uint16_t>(langId)));
        ASSERT_NE(found, venetian) << std::hex << langId;
    }
    // The user can still choose it, by name or from the menu.
    localizer->selectLanguage(u"venetian");
    EXPECT_EQ(localizer->currentLanguage(), venetian);
    localizer->selectLanguageAt(0);
    localizer->selectLanguageAt(static_cast<uint32_t>(localizer->indexOf(venetian)));
    EXPECT_EQ(localizer->currentLanguage(), venetian);
    EXPECT_EQ(utf8(localizer->text(1031300)), "Soƚo MP3");
}
