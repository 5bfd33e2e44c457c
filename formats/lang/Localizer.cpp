#include "formats/lang/Localizer.h"

#include "formats/lang/EmbeddedLangPack.h"
#include "formats/lang/ILangListener.h"
#include "formats/lang/os/UserLanguage.h"
#include "formats/xml/Node.h"
#include "foundation/str/CaseFold.h"

#include <cassert>
#include <limits>
#include <vector>

namespace s::lang {

namespace {

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return str::StrBuffer::compareUnitsIgnoreCase(a, b) == 0;
}

bool startsIgnoringCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && sameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool isDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// A numeric id as the C library's wcstol reads it in base 10 with a 32-bit long: leading
// digits, saturating at the 32-bit limits.
int32_t parseNumericId(const char16_t* text)
{
    int64_t value = 0;
    for (; isDigit(*text); ++text) {
        value = value * 10 + (*text - u'0');
        if (value > std::numeric_limits<int32_t>::max())
            return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

std::u16string_view nameOf(const xml::Node* node)
{
    return { node->getName(), node->nameLength() };
}

}

Localizer::Localizer() = default;

Localizer::~Localizer()
{
    reset();
}

void Localizer::reset()
{
    for (void* pack : m_languages)
        static_cast<LangPack*>(pack)->release();
    m_languages.clear();
    m_current = nullptr;
    m_listeners.clear();
    m_systemLanguageName.reset();
    m_replaceBarredL = false;
}

thread::Pooled<Localizer> Localizer::createFromBytes(std::span<const uint8_t> utf8)
{
    thread::Pooled<Localizer> localizer;
    {
        thread::Pooled<xml::Node> root;
        root->parseBytes(utf8.data(), utf8.size());
        localizer->load(root.get());
    }
    localizer->selectLanguage(localizer->systemLanguageName());
    return localizer;
}

thread::Pooled<Localizer> Localizer::createEmbedded()
{
    return createFromBytes(EmbeddedLangPack::bytes());
}

std::u16string Localizer::systemLanguageName() const
{
    return m_systemLanguageName ? *m_systemLanguageName : os::UserLanguage::name();
}

void Localizer::load(const xml::Node* root)
{
    if (!root)
        return;
    thread::Pooled<str::StrBuffer> value;

    // Step 1: the languages, in menu order.
    if (const xml::Node* languages = root->getChild(u"languages")) {
        for (uint32_t i = 0, n = languages->childCount(); i < n; ++i) {
            const xml::Node* entry = languages->childAt(i);
            if (!entry->nameEquals(u"entry"))
                continue;
            LangPack* pack = LangPack::get();
            pack->setTag(entry->getString(value.get(), u"tagName")->view());
            // Only Venetian spelling uses the barred l.
            pack->setReplaceBarredL(m_replaceBarredL && sameIgnoringCase(pack->tag(), u"vec"));
            pack->setEnglishName(entry->getString(value.get(), u"engName")->view());
            pack->setOwnName(entry->getString(value.get(), u"trueName")->view());
            m_languages.push(pack);
        }
    }

    const xml::Node* entries = root->getChild(u"entries");
    if (!entries)
        return;
    const uint32_t packCount = m_languages.count();
    std::vector<bool> received(packCount);
    thread::Pooled<str::StrBuffer> fallback;

    for (uint32_t i = 0, n = entries->childCount(); i < n; ++i) {
        const xml::Node* entry = entries->childAt(i);
        if (!entry->nameEquals(u"entry"))
            continue;
        const char16_t* id = entry->getRaw(u"id", u"");
        const bool numeric = isDigit(id[0]);
        const int32_t numericId = numeric ? parseNumericId(id) : 0;
        const std::u16string_view namedId(id);

        // Step 2: each language's own text. The first text of a known language is the fallback
        // for the others; an entry with no known language at all has none and adds nothing.
        std::fill(received.begin(), received.end(), false);
        bool haveFallback = false;
        for (uint32_t c = 0, cn = entry->childCount(); c < cn; ++c) {
            const xml::Node* child = entry->childAt(c);
            int32_t index = indexOfTag(nameOf(child));
            if (index < 0)
                continue;
            LangPack* pack = languageAt(static_cast<uint32_t>(index));
            child->getString(value.get(), u"");
            if (numeric)
                pack->addText(numericId, value->view());
            else
                pack->addNamedText(namedId, value->view());
            received[static_cast<uint32_t>(index)] = true;
            if (!haveFallback) {
                fallback->assign(value->view());
                haveFallback = true;
            }
        }
        if (!haveFallback)
            continue;

        // Step 3: every language without a text of its own for this id gets the fallback.
        for (uint32_t p = 0; p < packCount; ++p) {
            LangPack* pack = languageAt(p);
            if (received[p])
                continue;
            if (numeric) {
                if (!pack->hasText(numericId))
                    pack->addText(numericId, fallback->view());
            } else if (!pack->hasNamedText(namedId)) {
                pack->addNamedText(namedId, fallback->view());
            }
        }
    }
}

int32_t Localizer::indexOfTag(std::u16string_view tag) const
{
    for (uint32_t i = 0, n = languageCount(); i < n; ++i) {
        if (sameIgnoringCase(languageAt(i)->tag(), tag))
            return static_cast<int32_t>(i);
    }
    return -1;
}

LangPack* Localizer::findByEnglishName(std::u16string_view name) const
{
    for (uint32_t i = 0, n = languageCount(); i < n; ++i) {
        LangPack* pack = languageAt(i);
        if (sameIgnoringCase(pack->englishName(), name))
            return pack;
    }
    return nullptr;
}

LangPack* Localizer::findLanguage(std::u16string_view name) const
{
    if (LangPack* pack = findByEnglishName(name))
        return pack;
    // A system language that only names the family takes the family's most used pack.
    struct Family {
        std::u16string_view prefix;
        std::u16string_view preferred;
        std::u16string_view other;
    };
    static constexpr Family families[] = {
        { u"Chinese", u"CHINESE_SIMPLIFIED", u"CHINESE_TRADITIONAL" },
        { u"Portuguese", u"PORTUGUESE_BRAZILIAN", u"PORTUGUESE_PORTUGAL" },
        { u"Serbian", u"SERBIAN_CYRILLIC", u"SERBIAN_LATIN" },
    };
    for (const Family& family : families) {
        if (!startsIgnoringCase(name, family.prefix))
            continue;
        if (LangPack* pack = findByEnglishName(family.preferred))
            return pack;
        return findByEnglishName(family.other);
    }
    return nullptr;
}

LangPack* Localizer::currentLanguage()
{
    if (!m_current && languageCount() > 0) {
        m_current = findLanguage(systemLanguageName());
        if (!m_current)
            m_current = languageAt(0);
    }
    return m_current;
}

void Localizer::selectLanguage(std::u16string_view englishName)
{
    // Step 1: the first choice is the system's language.
    LangPack* current = currentLanguage();
    if (!current)
        return;
    // Step 2: already there.
    if (sameIgnoringCase(current->englishName(), englishName))
        return;
    // Step 3: the named language, else English, else the first one.
    LangPack* chosen = findLanguage(englishName);
    if (!chosen)
        chosen = findLanguage(u"English");
    if (!chosen)
        chosen = languageAt(0);
    if (chosen == current)
        return;
    // Step 4: switch and tell.
    m_current = chosen;
    notifyListeners();
}

void Localizer::selectLanguageAt(uint32_t index)
{
    if (index >= languageCount())
        return;
    LangPack* chosen = languageAt(index);
    if (chosen == m_current)
        return;
    m_current = chosen;
    notifyListeners();
}

std::u16string_view Localizer::text(int32_t id)
{
    LangPack* pack = currentLanguage();
    return pack ? pack->text(id) : std::u16string_view();
}

std::u16string_view Localizer::namedText(std::u16string_view id)
{
    LangPack* pack = currentLanguage();
    return pack ? pack->namedText(id) : std::u16string_view();
}

void Localizer::addListener(ILangListener* listener)
{
    assert(listener);
    m_listeners.push(listener);
}

void Localizer::removeListener(ILangListener* listener)
{
    int64_t index = m_listeners.find(listener);
    if (index >= 0)
        m_listeners.removeAt(static_cast<uint32_t>(index));
}

void Localizer::notifyListeners()
{
    // A listener may remove itself (or others) while it is told: walk the live list and step on
    // only when the entry just told is still in its place.
    for (uint32_t i = 0; i < m_listeners.count();) {
        auto* listener = static_cast<ILangListener*>(m_listeners.at(i));
        listener->languageChanged(*this);
        if (i < m_listeners.count() && m_listeners.at(i) == listener)
            ++i;
    }
}

}
