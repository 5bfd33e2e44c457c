#include "formats/lang/LangPack.h"

namespace s::lang {

LangPack::~LangPack()
{
    // The map points into the arrays: empty it before they release their buffers.
    m_named.clear();
}

void LangPack::reset()
{
    m_named.clear();
    m_tag.clear();
    m_englishName.clear();
    m_ownName.clear();
    m_ids.clear();
    m_texts.disposeAll();
    m_namedIds.disposeAll();
    m_namedTexts.disposeAll();
    m_replaceBarredL = false;
}

void LangPack::adjust(str::StrBuffer& text) const
{
    if (!m_replaceBarredL)
        return;
    for (uint32_t i = 0, n = text.length(); i < n; ++i) {
        if (text.at(i) == u'\u019A')
            *text.pointerAt(i) = u'\u0142';
    }
}

void LangPack::addText(int32_t id, std::u16string_view text)
{
    str::StrBuffer* copy = m_texts.addCopy(text);
    adjust(*copy);
    m_ids.push(id);
}

void LangPack::addNamedText(std::u16string_view id, std::u16string_view text)
{
    str::StrBuffer* key = m_namedIds.addCopy(id);
    str::StrBuffer* copy = m_namedTexts.addCopy(text);
    adjust(*copy);
    // A name already present keeps its first text: the insert refuses the second.
    m_named.insert(key, copy);
}

std::u16string_view LangPack::text(int32_t id) const
{
    int64_t index = m_ids.find(id);
    return index < 0 ? std::u16string_view() : m_texts.at(static_cast<uint32_t>(index))->view();
}

std::u16string_view LangPack::namedText(std::u16string_view id) const
{
    thread::Pooled<str::StrBuffer> key = str::StrBuffer::make(id);
    auto* found = static_cast<str::StrBuffer*>(m_named.get(key.get()));
    return found ? found->view() : std::u16string_view();
}

bool LangPack::hasNamedText(std::u16string_view id) const
{
    thread::Pooled<str::StrBuffer> key = str::StrBuffer::make(id);
    return m_named.contains(key.get());
}

}
