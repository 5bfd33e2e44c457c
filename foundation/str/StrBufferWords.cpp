#include "foundation/str/StrBuffer.h"

#include "foundation/str/Ascii.h"
#include "foundation/str/CaseFold.h"
#include "foundation/str/StrArray.h"

#include <string_view>
#include <unordered_map>

// The text buffer cut into pieces at a separator or into keywords.
namespace s::str::strbuffer {

namespace {

bool isKeywordUnit(char16_t u)
{
    if (u < 0x80)
        return ascii::isAlnum(u) || u == u'%' || u == u'+' || u == u'-';
    if (u <= 0xFF)
        // Latin-1 letters: a word such as "café" stays one word.
        return (u >= 0xC0 && u != 0xD7 && u != 0xF7) || u == 0xAA || u == 0xB5 || u == 0xBA;
    switch (u) {
    case 0x3000:
    case 0x3001:
    case 0x3002:
    case 0x300C:
    case 0x300D:
    case 0x3010:
    case 0x3011:
    case 0xFF08:
    case 0xFF09:
        return false;
    default:
        return true;
    }
}

uint32_t foldedHash(std::u16string_view text)
{
    uint32_t h = 0;
    for (char16_t u : text)
        h = h * 31 + CaseFold::fold(u);
    return h;
}

}

// --- split ---

thread::Pooled<StrArray> StrBuffer::split(char16_t separator) const
{
    thread::Pooled<StrArray> pieces;
    uint32_t start = 0;
    while (start < m_length) {
        uint32_t end = m_length;
        indexOf(separator, end, start);
        if (end > start)
            pieces->add(substring(start, end));
        start = end + 1;
    }
    return pieces;
}

thread::Pooled<StrArray> StrBuffer::splitKeywords(bool dropCommonWords) const
{
    thread::Pooled<StrArray> words;
    // Words already kept, by a hash that agrees with equalsIgnoreCase.
    std::unordered_multimap<uint32_t, uint32_t> kept;
    uint32_t i = 0;
    while (i < m_length) {
        while (i < m_length && !isKeywordUnit(m_units[i]))
            ++i;
        uint32_t start = i;
        while (i < m_length && isKeywordUnit(m_units[i]))
            ++i;
        if (i == start)
            continue;
        std::u16string_view word(m_units + start, i - start);
        if (dropCommonWords) {
            bool common = false;
            for (std::u16string_view skip : { std::u16string_view(u"the"), std::u16string_view(u"of"), std::u16string_view(u"and") }) {
                if (ascii::equalsIgnoreCase(word, skip))
                    common = true;
            }
            if (common)
                continue;
        }
        uint32_t h = foldedHash(word);
        bool seen = false;
        auto [first, last] = kept.equal_range(h);
        for (auto it = first; it != last && !seen; ++it) {
            std::u16string_view other = words->at(it->second)->view();
            seen = other.size() == word.size() && compareUnitsIgnoreCase(other, word) == 0;
        }
        if (seen)
            continue;
        kept.emplace(h, words->size());
        words->addCopy(word);
    }
    return words;
}

}
