#include "formats/lang/ILangListener.h"
#include "formats/lang/LangPack.h"
#include "formats/lang/LanguageNames.h"
#include "formats/lang/Localizer.h"
#include "formats/lang/os/UserLanguage.h"
#include "formats/xml/Node.h"
#include "foundation/str/Utf8.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using s::lang::ILangListener;
using s::lang::LangPack;
using s::lang::LanguageNames;
using s::lang::Localizer;
using s::lang::os::UserLanguage;
using s::thread::Pooled;

namespace {

std::string utf8(std::u16string_view text)
{
    std::string out(s::str::Utf8::maxEncodedSize(text.size()), '\0');
    out.resize(s::str::Utf8::encode(text.data(), text.size(), reinterpret_cast<uint8_t*>(out.data())));
    return out;
}


// A localizer over a document, choosing `systemName` as the system's language.
Pooled<Localizer> load(std::string_view document, std::u16string_view systemName = u"English", bool replaceBarredL = false)
{
    Pooled<Localizer> localizer;
    localizer->setSystemLanguageName(systemName);
    localizer->setReplaceBarredL(replaceBarredL);
    Pooled<s::xml::Node> root;
    root->parseBytes(reinterpret_cast<const uint8_t*>(document.data()), document.size());
    localizer->load(root.get());
    return localizer;
}

// Four languages and entries that exercise the fallback rules: a German-only pair, a named id
// between numeric ones, children in unknown tags, padding and line feeds kept by the text rules.
constexpr std::string_view fixture = R"(<lang>
  <languages>
    <entry tagName="eng" engName="English" trueName="English"></entry>
    <entry tagName="deu" engName="German" trueName="Deutsch"/>
    <entry tagName="fra" engName="French" trueName="Fran&amp;çais &quot;FR&quot;"/>
    <entry tagName="vec" engName="Venetian" trueName="V&#232;neto"/>
    <!-- a comment among the languages -->
    <other tagName="xx" engName="Not a language"/>
  </languages>
  <entries>
    <entry id="100">Greeting, for translators
      <eng>Hello</eng>
      <deu>Hallo</deu>
    </entry>
    <entry id="name"><eng>Named</eng><DEU>Benannt</DEU></entry>
    <entry id="200"><eng>&#160;  Yes  &#160;</eng><fra>Oui</fra></entry>
    <entry id="300"><xyz>not a language</xyz><deu>Nur Deutsch</deu></entry>
    <entry id="400"><xyz>no language at all</xyz></entry>
    <entry id="0500"><eng>Leading zero</eng></entry>
    <entry id="-7"><eng>Minus</eng></entry>
    <entry id="600"><eng>Line&#10;two &amp; &lt;three&gt;</eng><vec>ƚa línea</vec></entry>
    <entry id="610"><eng>ƚ in English</eng></entry>
    <entry id="700"><eng></eng><deu>Leer auf Englisch</deu></entry>
    <entry id="100"><eng>Second hello</eng><fra>Bonjour</fra></entry>
  </entries>
</lang>)";

}

TEST(LangLoad, LanguagesInDocumentOrderWithDecodedNames)
{
    Pooled<Localizer> localizer = load(fixture);
    ASSERT_EQ(localizer->languageCount(), 4u);
    struct Expected {
        const char* tag;
        const char* english;
        const char* own;
    };
    const Expected expected[] = {
        { "eng", "English", "English" },
        { "deu", "German", "Deutsch" },
        { "fra", "French", "Fran&çais \"FR\"" },
        { "vec", "Venetian", "V&#232;neto" }, // attributes decode only &amp; &lt; &quot; &#13; &#10;
    };
    for (uint32_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(utf8(localizer->languageAt(i)->tag()), expected[i].tag);
        EXPECT_EQ(utf8(localizer->languageAt(i)->englishName()), expected[i].english);
        EXPECT_EQ(utf8(localizer->languageAt(i)->ownName()), expected[i].own);
        EXPECT_STREQ(localizer->languageAt(i)->className(), "s_lang_LangPack");
    }
    EXPECT_STREQ(localizer->className(), "s_lang_Localizer");
}

TEST(LangLoad, TextsWithFallbacks)
{
    Pooled<Localizer> localizer = load(fixture);
    struct Case {
        uint32_t language;
        int32_t id;
        const char* text;
    };
    const Case cases[] = {
        // An entry with only eng and deu: German in German, English everywhere else.
        { 0, 100, "Hello" }, { 1, 100, "Hallo" }, { 2, 100, "Hello" }, { 3, 100, "Hello" },
        // Padding written as &#160; survives the trimming of layout whitespace.
        { 0, 200, "   Yes   " }, { 1, 200, "   Yes   " }, { 2, 200, "Oui" },
        // A child in an unknown tag is skipped; the first known language's text is the fallback,
        // and the named id before this entry does not shift it.
        { 0, 300, "Nur Deutsch" }, { 1, 300, "Nur Deutsch" }, { 3, 300, "Nur Deutsch" },
        // No known language in the entry: nobody gets the id.
        { 0, 400, "" }, { 1, 400, "" },
        { 0, 500, "Leading zero" }, { 2, 500, "Leading zero" },
        { 0, 600, "Line\ntwo & <three>" }, { 3, 600, "\xC6\x9A" "a l\xC3\xADnea" },
        // An empty English text is still the fallback.
        { 0, 700, "" }, { 1, 700, "Leer auf Englisch" }, { 2, 700, "" },
        // A repeated id keeps the first text each language received.
        { 0, 100, "Hello" }, { 2, 100, "Hello" },
        // Ids no entry defines.
        { 0, 999, "" }, { 1, 0, "" }, { 3, -7, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language << " id " << c.id);
        EXPECT_EQ(utf8(localizer->languageAt(c.language)->text(c.id)), c.text);
    }

    struct NamedCase {
        uint32_t language;
        std::u16string_view id;
        const char* text;
    };
    const NamedCase named[] = {
        { 0, u"name", "Named" }, { 1, u"name", "Benannt" }, { 2, u"name", "Named" },
        { 0, u"-7", "Minus" }, { 3, u"-7", "Minus" },
        { 0, u"NAME", "" }, { 1, u"missing", "" },
    };
    for (const NamedCase& c : named) {
        SCOPED_TRACE(testing::Message() << "language " << c.language << " id " << utf8(c.id));
        EXPECT_EQ(utf8(localizer->languageAt(c.language)->namedText(c.id)), c.text);
    }
}

TEST(LangLoad, VenetianBarredLReplacedOnlyWhenAsked)
{
    EXPECT_EQ(load(fixture)->languageAt(3)->text(600), u"\u019Aa l\u00EDnea");
    Pooled<Localizer> legacy = load(fixture, u"English", true);
    EXPECT_EQ(legacy->languageAt(3)->text(600), u"\u0142a l\u00EDnea");
    // Only the Venetian pack is adjusted, also where it takes over another language's text.
    EXPECT_EQ(legacy->languageAt(0)->text(610), u"\u019A in English");
    EXPECT_EQ(legacy->languageAt(1)->text(610), u"\u019A in English");
    EXPECT_EQ(legacy->languageAt(3)->text(610), u"\u0142 in English");
}

TEST(LangLoad, DocumentsWithoutLanguagesOrEntries)
{
    const std::string_view documents[] = {
        "",
        "no markup at all",
        "<lang></lang>",
        "<lang><entries><entry id=\"1\"><eng>x</eng></entry></entries></lang>",
    };
    for (std::string_view document : documents) {
        SCOPED_TRACE(document);
        Pooled<Localizer> localizer = load(document);
        EXPECT_EQ(localizer->languageCount(), 0u);
        EXPECT_EQ(localizer->currentLanguage(), nullptr);
        EXPECT_EQ(localizer->text(1), u"");
        localizer->selectLanguage(u"English");
        localizer->selectLanguageAt(0);
        EXPECT_EQ(localizer->currentLanguage(), nullptr);
    }

    // A comment or declaration before the root does not hide the document.
    Pooled<Localizer> commented = load("<?xml version=\"1.0\"?><!-- a comment first --><lang><languages><entry tagName=\"eng\" engName=\"English\"/></languages></lang>");
    EXPECT_EQ(commented->languageCount(), 1u);

    // Languages but no entries: every id is empty.
    Pooled<Localizer> localizer = load("<lang><languages><entry tagName=\"eng\" engName=\"English\"/></languages></lang>");
    ASSERT_EQ(localizer->languageCount(), 1u);
    EXPECT_EQ(localizer->text(100), u"");
    EXPECT_FALSE(localizer->currentLanguage()->hasUpdateText());
}

TEST(LangPackTexts, UpdateTextNeedsANonEmptyText)
{
    Pooled<LangPack> pack;
    EXPECT_FALSE(pack->hasUpdateText());
    pack->addText(LangPack::updateTextId, u"");
    EXPECT_FALSE(pack->hasUpdateText());
    Pooled<LangPack> other;
    other->addText(LangPack::updateTextId, u"There is a newer version available.");
    EXPECT_TRUE(other->hasUpdateText());
    // A released pack comes back empty.
    LangPack* raw = other.take();
    raw->release();
    Pooled<LangPack> again;
    EXPECT_EQ(again->textCount(), 0u);
    EXPECT_FALSE(again->hasUpdateText());
}

namespace {

class Recorder final : public ILangListener {
public:
    Recorder(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    void languageChanged(Localizer& localizer) override
    {
        m_log.push_back(m_name + ":" + utf8(localizer.currentLanguage()->englishName()));
        if (onChange)
            onChange(localizer);
    }
    std::function<void(Localizer&)> onChange;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

}

TEST(LangSelect, ListenersAreToldOnlyOfRealChanges)
{
    Pooled<Localizer> localizer = load(fixture, u"German");
    std::vector<std::string> log;
    Recorder a("a", log), b("b", log);
    localizer->addListener(&a);
    localizer->addListener(&b);

    struct Step {
        const char* action; // "name" selects by English name, "index" by position
        std::u16string_view name;
        uint32_t index;
        const char* current;
        std::vector<std::string> told;
    };
    const Step steps[] = {
        // The first request settles on the system language without telling anyone, then stops:
        // it is already current (names match ignoring case).
        { "name", u"GERMAN", 0, "German", {} },
        { "name", u"French", 0, "French", { "a:French", "b:French" } },
        { "name", u"french", 0, "French", {} },
        { "index", u"", 2, "French", {} },
        // A name without a pack falls back to English.
        { "name", u"Klingon", 0, "English", { "a:English", "b:English" } },
        { "name", u"Klingon", 0, "English", {} },
        { "index", u"", 3, "Venetian", { "a:Venetian", "b:Venetian" } },
        { "index", u"", 4, "Venetian", {} },
        { "name", u"Venetian", 0, "Venetian", {} },
        { "index", u"", 0, "English", { "a:English", "b:English" } },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.action << " " << utf8(step.name) << step.index);
        log.clear();
        if (std::string_view(step.action) == "name")
            localizer->selectLanguage(step.name);
        else
            localizer->selectLanguageAt(step.index);
        EXPECT_EQ(utf8(localizer->currentLanguage()->englishName()), step.current);
        EXPECT_EQ(log, step.told);
    }

    localizer->removeListener(&a);
    log.clear();
    localizer->selectLanguage(u"German");
    EXPECT_EQ(log, (std::vector<std::string> { "b:German" }));
    EXPECT_EQ(utf8(localizer->text(100)), "Hallo");
}

TEST(LangSelect, ListenersMayLeaveWhileBeingTold)
{
    Pooled<Localizer> localizer = load(fixture);
    std::vector<std::string> log;
    Recorder a("a", log), b("b", log), c("c", log), d("d", log);
    for (Recorder* r : { &a, &b, &c, &d, &b })
        localizer->addListener(r);
    // b leaves at its first call (only its first registration goes), c removes a.
    b.onChange = [&](Localizer& l) { l.removeListener(&b); };
    c.onChange = [&](Localizer& l) { l.removeListener(&a); };

    localizer->selectLanguage(u"German");
    EXPECT_EQ(log, (std::vector<std::string> { "a:German", "b:German", "c:German", "d:German", "b:German" }));
    EXPECT_EQ(localizer->listenerCount(), 2u); // c and d; b's second registration left at its call

    log.clear();
    b.onChange = nullptr;
    localizer->selectLanguage(u"French");
    EXPECT_EQ(log, (std::vector<std::string> { "c:French", "d:French" }));
}

TEST(LangSelect, FirstChoiceFollowsTheSystemLanguage)
{
    struct Case {
        std::u16string_view system;
        const char* chosen;
    };
    const Case cases[] = {
        { u"German", "German" },
        { u"french", "French" },
        { u"Venetian", "Venetian" },
        { u"Hebrew", "English" },
        { u"Unknown", "English" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.system));
        Pooled<Localizer> localizer = load(fixture, c.system);
        EXPECT_EQ(utf8(localizer->currentLanguage()->englishName()), c.chosen);
    }
    // Without English and without a match, the first language.
    Pooled<Localizer> localizer = load("<l><languages><entry tagName=\"a\" engName=\"Alpha\"/><entry tagName=\"b\" engName=\"Beta\"/></languages></l>", u"Gamma");
    EXPECT_EQ(localizer->currentLanguage()->englishName(), u"Alpha");
    localizer->selectLanguage(u"Beta");
    localizer->selectLanguage(u"Gamma");
    EXPECT_EQ(localizer->currentLanguage()->englishName(), u"Alpha");
}

TEST(LangSelect, FamiliesPreferTheirMostUsedPack)
{
    constexpr std::string_view both = R"(<l><languages>
        <entry tagName="eng" engName="English"/>
        <entry tagName="zht" engName="Chinese_Traditional"/>
        <entry tagName="zhs" engName="Chinese_Simplified"/>
        <entry tagName="por" engName="Portuguese"/>
        <entry tagName="bra" engName="Portuguese_Brazilian"/>
        <entry tagName="srp" engName="Serbian_Latin"/>
        <entry tagName="cpn" engName="Serbian_Cyrillic"/>
        </languages></l>)";
    constexpr std::string_view onlySecond = R"(<l><languages>
        <entry tagName="eng" engName="English"/>
        <entry tagName="zht" engName="Chinese_Traditional"/>
        <entry tagName="srp" engName="Serbian_Latin"/>
        </languages></l>)";
    struct Case {
        std::string_view document;
        std::u16string_view name;
        const char* found; // "" = none
    };
    const Case cases[] = {
        { both, u"Chinese", "Chinese_Simplified" },
        { both, u"CHINESE_TRADITIONAL", "Chinese_Traditional" },
        { both, u"chinese_hongkong", "Chinese_Simplified" },
        { both, u"Portuguese", "Portuguese" },
        { both, u"PORTUGUESE_PORTUGAL", "Portuguese_Brazilian" },
        { both, u"Serbian", "Serbian_Cyrillic" },
        { both, u"Serbian_latin", "Serbian_Latin" },
        { both, u"Croatian", "" },
        { both, u"", "" },
        { onlySecond, u"Chinese_Simplified", "Chinese_Traditional" },
        { onlySecond, u"Serbian", "Serbian_Latin" },
        { onlySecond, u"Portuguese", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.name));
        Pooled<Localizer> localizer = load(c.document);
        LangPack* pack = localizer->findLanguage(c.name);
        EXPECT_EQ(pack ? utf8(pack->englishName()) : "", c.found);
    }
}

TEST(LangNames, WholeIdsPrimaryLanguagesAndUnknown)
{
    struct Case {
        uint16_t langId;
        const char* upper;
        const char* display;
    };
    const Case cases[] = {
        { 0x0004, "CHINESE_SIMPLIFIED", "Chinese_simplified" },
        { 0x0804, "CHINESE_SIMPLIFIED", "Chinese_simplified" },
        { 0x1004, "CHINESE_SIMPLIFIED", "Chinese_simplified" },
        { 0x0404, "CHINESE_TRADITIONAL", "Chinese_traditional" },
        { 0x0C04, "CHINESE_TRADITIONAL", "Chinese_traditional" },
        { 0x7C04, "CHINESE_TRADITIONAL", "Chinese_traditional" },
        { 0x1804, "CHINESE", "Chinese" }, // a Chinese region without a name of its own
        { 0x041A, "CROATIAN", "Croatian" },
        { 0x101A, "CROATIAN", "Croatian" },
        { 0x0416, "PORTUGUESE_BRAZILIAN", "Portuguese_brazilian" },
        { 0x0816, "PORTUGUESE_PORTUGAL", "Portuguese_portugal" },
        { 0x0081A, "SERBIAN_LATIN", "Serbian_latin" },
        { 0x1C1A, "SERBIAN_CYRILLIC", "Serbian_cyrillic" },
        { 0x7C1A, "SERBIAN", "Serbian" },
        { 0x141A, "SERBIAN", "Serbian" },
        { 0x201A, "BOSNIAN", "Bosnian" },
        { 0x042E, "UPPER_SORBIAN", "Upper_sorbian" },
        { 0x082E, "LOWER_SORBIAN", "Lower_sorbian" },
        { 0x0409, "ENGLISH", "English" },
        { 0x0809, "ENGLISH", "English" },
        { 0x0411, "JAPANESE", "Japanese" },
        { 0x040D, "HEBREW", "Hebrew" },
        { 0x0429, "PERSIAN", "Persian" },
        { 0x042C, "AZERI", "Azeri" },
        { 0x043F, "KAZAK", "Kazak" },
        { 0x0401, "ARABIC", "Arabic" },  // the first primary language
        { 0x048C, "DARI", "Dari" },      // the last
        { 0x0000, "Unknown", "Unknown" },
        { 0x0430, "Unknown", "Unknown" }, // a gap in the primary languages
        { 0x048D, "Unknown", "Unknown" },
        { 0x00FF, "Unknown", "Unknown" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.langId);
        EXPECT_EQ(utf8(LanguageNames::upperCaseName(c.langId)), c.upper);
        EXPECT_EQ(utf8(LanguageNames::nameOf(c.langId)), c.display);
    }
}

TEST(LangLocale, LocaleNamesToLanguageIds)
{
    struct Case {
        const char* locale;
        uint16_t langId;
    };
    const Case cases[] = {
        { "ja_JP.UTF-8", 0x0411 },
        { "ko_KR.EUC-KR", 0x0412 },
        { "pt_BR.UTF-8", 0x0416 },
        { "pt_PT.UTF-8", 0x0816 },
        { "pt", 0x0816 },
        { "pt_AO", 0x0816 },
        { "zh_CN.UTF-8", 0x0804 },
        { "zh_CN.GB18030", 0x0804 },
        { "zh_SG", 0x1004 },
        { "zh_TW.UTF-8", 0x0404 },
        { "zh_HK.UTF-8", 0x0C04 },
        { "zh_MO", 0x1404 },
        { "zh", 0x0804 },
        { "zh-Hant", 0x7C04 },
        { "zh_Hant_TW", 0x0404 },
        { "zh-Hans", 0x0004 },
        { "zh-Hans-CN", 0x0804 },
        { "sr_RS@latin", 0x081A },
        { "sr_RS.UTF-8@latin", 0x081A },
        { "sr-Latn-RS", 0x081A },
        { "sr_RS.UTF-8", 0x0C1A },
        { "sr_RS@cyrillic", 0x0C1A },
        { "sr_ME.UTF-8", 0x081A },
        { "sr_BA@latin", 0x181A },
        { "sr_BA", 0x1C1A },
        { "hr_HR.UTF-8", 0x041A },
        { "hr_BA", 0x101A },
        { "bs_BA.UTF-8", 0x141A },
        { "bs_BA@cyrillic", 0x201A },
        { "en_US.UTF-8", 0x0409 },
        { "en_GB.ISO-8859-1", 0x0809 },
        { "en", 0x0409 },
        { "EN_us", 0x0409 },
        { "de_DE.UTF-8@euro", 0x0407 },
        { "de_AT", 0x0C07 },
        { "fr_CA.UTF-8", 0x0C0C },
        { "es_ES.UTF-8", 0x0C0A },
        { "es_MX", 0x080A },
        { "es_419", 0x040A },
        { "he_IL.UTF-8", 0x040D },
        { "iw_IL", 0x040D },
        { "nb_NO.UTF-8", 0x0414 },
        { "nn_NO", 0x0814 },
        { "fa_IR.UTF-8", 0x0429 },
        { "fa_AF", 0x048C },
        { "fil_PH", 0x0464 },
        { "hsb_DE", 0x042E },
        { "dsb_DE", 0x082E },
        { "ru_RU.KOI8-R", 0x0419 },
        { "uk_UA.UTF-8", 0x0422 },
        { "vi_VN", 0x042A },
        { "C", 0x0409 },
        { "C.UTF-8", 0x0409 },
        { "POSIX", 0x0409 },
        { "", 0 },
        { "x", 0 },
        { "english", 0 },
        { "12_34", 0 },
        { "tlh_XX", 0 }, // a language the platform has no id for
        { "_US", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(UserLanguage::langIdOfLocale(c.locale), c.langId);
    }
}

TEST(LangLocale, EnvironmentVariablesInOrder)
{
    struct Case {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        uint16_t langId;
    };
    const Case cases[] = {
        { nullptr, nullptr, nullptr, "ja_JP.UTF-8", 0x0411 },
        { "", "", "ko_KR.UTF-8", "ja_JP.UTF-8", 0x0412 },
        { "", "de_DE.UTF-8", "ko_KR.UTF-8", "ja_JP.UTF-8", 0x0407 },
        { "pt_BR:pt", "de_DE.UTF-8", nullptr, nullptr, 0x0416 },
        // LANGUAGE skips entries that name no known language, and is passed over when none does.
        { "tlh:it", "de_DE.UTF-8", nullptr, nullptr, 0x0410 },
        { "tlh", "de_DE.UTF-8", nullptr, nullptr, 0x0407 },
        { "::", nullptr, nullptr, "pl_PL", 0x0415 },
        // The first variable that is set decides, even when it names no language.
        { nullptr, "C", nullptr, "ja_JP.UTF-8", 0x0409 },
        { nullptr, "tlh_XX", nullptr, "ja_JP.UTF-8", 0 },
        { nullptr, nullptr, nullptr, nullptr, 0x0409 },
        { "", "", "", "", 0x0409 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
                                        << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-"));
        EXPECT_EQ(UserLanguage::langIdOfEnvironment(c.language, c.lcAll, c.lcMessages, c.lang), c.langId);
    }

    // The process's own environment goes through the same rules.
    setenv("LANGUAGE", "", 1);
    setenv("LC_ALL", "zh_TW.UTF-8", 1);
    EXPECT_EQ(UserLanguage::langId(), 0x0404);
    unsetenv("LC_ALL");
}
