#pragma once

#include "formats/lang/LangPack.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ArrayP.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace s::xml {
class Node;
}

namespace s::lang {

class ILangListener;

// All languages of a language pack document, the current language and the components to tell
// when it changes. Used from the GUI thread only.
//
// The document: a root element (any name) with the children "languages" (one "entry" per
// language with the attributes "tagName", "engName" and "trueName", in menu order) and "entries"
// (one "entry" per text with an attribute "id", holding one child element per language, named by
// the language's tag, whose text is that language's text). Ids starting with a digit are numeric,
// others are named. Every language answers every id of the document: a language without a text
// of its own gets the entry's first text (English in the shipped pack).
class Localizer final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Localizer, "s_lang_Localizer")
public:
    Localizer();
    ~Localizer() override;
    Localizer(const Localizer&) = delete;
    Localizer& operator=(const Localizer&) = delete;

    void reset() override;

    // A localizer holding the shipped pack, with the user's system language chosen.
    static thread::Pooled<Localizer> createEmbedded();
    // A localizer holding the pack in these UTF-8 bytes, with the user's system language chosen.
    static thread::Pooled<Localizer> createFromBytes(std::span<const uint8_t> utf8);

    // Adds the languages and texts of a pack document (its root element).
    void load(const xml::Node* root);

    uint32_t languageCount() const { return m_languages.count(); }
    LangPack* languageAt(uint32_t index) const { return static_cast<LangPack*>(m_languages.at(index)); }
    // The index of a language of this localizer, or -1.
    int32_t indexOf(const LangPack* pack) const { return static_cast<int32_t>(m_languages.find(const_cast<LangPack*>(pack))); }

    // The language for a name: its English name ignoring case; otherwise, for a name starting
    // with "Chinese", "Portuguese" or "Serbian", that family's preferred pack (Simplified before
    // Traditional, Brazilian before Portugal, Cyrillic before Latin); otherwise none.
    LangPack* findLanguage(std::u16string_view name) const;

    // Makes the named language current (else English, else the first language) and tells every
    // listener, in registration order, when the current language changed.
    void selectLanguage(std::u16string_view englishName);
    // Makes the language at index current and tells the listeners when it changed. An index past
    // the end is ignored.
    void selectLanguageAt(uint32_t index);
    // The current language; the first call chooses the system language, or the first language.
    // Null only when the localizer has no languages.
    LangPack* currentLanguage();
    // The current language's text for id (choosing the language first when none is current);
    // the empty text for an id no entry defines.
    std::u16string_view text(int32_t id);
    std::u16string_view namedText(std::u16string_view id);

    void addListener(ILangListener* listener);
    // Removes the first registration of that listener.
    void removeListener(ILangListener* listener);
    uint32_t listenerCount() const { return m_listeners.count(); }

    // The English-style language name of the user's system (see LanguageNames), unless set here.
    void setSystemLanguageName(std::u16string_view name) { m_systemLanguageName = std::u16string(name); }
    std::u16string systemLanguageName() const;
    // Whether texts loaded from now on get the Venetian barred l replaced (see LangPack); on by
    // default only on systems whose fonts lack it (none of the supported ones).
    void setReplaceBarredL(bool replace) { m_replaceBarredL = replace; }

private:
    LangPack* findByEnglishName(std::u16string_view name) const;
    int32_t indexOfTag(std::u16string_view tag) const;
    void notifyListeners();

    // Owned packs, released to their pool with the localizer.
    col::_array::ArrayP m_languages;
    LangPack* m_current { nullptr };
    // Not owned.
    col::_array::ArrayP m_listeners;
    std::optional<std::u16string> m_systemLanguageName;
    bool m_replaceBarredL { false };
};

}
