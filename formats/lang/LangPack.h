#pragma once

#include "foundation/base/IObject.h"
#include "foundation/col/ArrayS32.h"
#include "foundation/map/MapTable.h"
#include "foundation/str/StrArray.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string_view>

namespace s::lang {

// The texts of one language: its tag (also the element name of its texts in the pack document),
// its English name and its own name, texts by numeric id and texts by named id.
//
// Numeric lookups scan the id array: a pack holds a few hundred ids and texts are fetched when
// windows are built or relabelled, not per frame.
class LangPack final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(LangPack, "s_lang_LangPack")
public:
    // The id whose text, when present and not empty, allows the update check.
    static constexpr int32_t updateTextId = 400200;

    LangPack() = default;
    ~LangPack() override;
    LangPack(const LangPack&) = delete;
    LangPack& operator=(const LangPack&) = delete;

    void reset() override;

    void setTag(std::u16string_view tag) { m_tag.assign(tag); }
    void setEnglishName(std::u16string_view name) { m_englishName.assign(name); }
    void setOwnName(std::u16string_view name) { m_ownName.assign(name); }
    std::u16string_view tag() const { return m_tag.view(); }
    std::u16string_view englishName() const { return m_englishName.view(); }
    std::u16string_view ownName() const { return m_ownName.view(); }

    // Appends the id and a copy of the text. Lookups find the first text of an id, so a later
    // text for an id already present is kept but never shown.
    void addText(int32_t id, std::u16string_view text);
    // Same for a named id; the first text of a name is the one looked up.
    void addNamedText(std::u16string_view id, std::u16string_view text);

    // The text of the first occurrence of id; the empty text when the pack lacks it. The view
    // stays valid while the pack lives and is not reset.
    std::u16string_view text(int32_t id) const;
    std::u16string_view namedText(std::u16string_view id) const;
    bool hasText(int32_t id) const { return m_ids.contains(id); }
    bool hasNamedText(std::u16string_view id) const;
    bool hasUpdateText() const { return !text(updateTextId).empty(); }

    uint32_t textCount() const { return m_ids.count(); }
    uint32_t namedTextCount() const { return m_namedIds.size(); }
    int32_t idAt(uint32_t index) const { return m_ids.at(index); }

    // Texts added from now on get U+019A replaced by U+0142: fonts of older systems lack the
    // barred l that Venetian spelling uses.
    void setReplaceBarredL(bool replace) { m_replaceBarredL = replace; }

private:
    void adjust(str::StrBuffer& text) const;

    // Held by value, not taken from pools: a pack kept in its own pool at process exit must not
    // reach into pools that may already be gone.
    str::StrBuffer m_tag;
    str::StrBuffer m_englishName;
    str::StrBuffer m_ownName;
    col::_array::ArrayS32 m_ids;
    // Parallel to m_ids.
    str::StrArray m_texts;
    str::StrArray m_namedIds;
    // Parallel to m_namedIds. Kept apart from m_texts so that a named id never shifts the
    // numeric ids' texts.
    str::StrArray m_namedTexts;
    // Named id → text; keys and values are the arrays' buffers, so the map owns nothing.
    map::MapTable m_named;
    bool m_replaceBarredL { false };
};

}
