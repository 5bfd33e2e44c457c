#include "foundation/str/StrBuffer.h"

#include "foundation/col/Growth.h"
#include "foundation/str/Iterator.h"
#include "foundation/str/Utf8.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

// The text buffer's storage: its block and growth, appending, copying, trimming, iterators and the
// byte-stream view. The other families live in StrBufferSearch, StrBufferCodec, StrBufferNumbers
// and StrBufferWords.
namespace s::str::strbuffer {

// --- storage ---

StrBuffer::~StrBuffer()
{
    std::free(m_units);
}

void StrBuffer::reset()
{
    m_length = 0;
    m_readPosition = 0;
    m_writeEnd = 0;
}

void StrBuffer::reallocate(uint32_t capacity)
{
    // One spare unit for the NUL that c_str() writes. realloc keeps the text, and moves a large
    // block by remapping its pages instead of copying them: a long log grows without stalls.
    auto* block = static_cast<char16_t*>(std::realloc(m_units, (static_cast<size_t>(capacity) + 1) * sizeof(char16_t)));
    if (!block)
        std::abort();
    m_units = block;
    m_capacity = capacity;
}

void StrBuffer::grow(uint32_t needed)
{
    uint64_t capacity = col::grownCapacity(m_capacity, needed);
    if (capacity >= std::numeric_limits<uint32_t>::max())
        capacity = std::max<uint64_t>(needed, std::numeric_limits<uint32_t>::max() - 1);
    reallocate(static_cast<uint32_t>(capacity));
}

void StrBuffer::reserveExactly(uint32_t capacity)
{
    if (capacity > m_capacity)
        reallocate(capacity);
}

void StrBuffer::growOnce()
{
    grow(m_capacity + 1);
}

void StrBuffer::freeStorage()
{
    std::free(m_units);
    m_units = nullptr;
    m_length = 0;
    m_capacity = 0;
    m_readPosition = 0;
    m_writeEnd = 0;
}

const char16_t* StrBuffer::c_str() const
{
    if (m_length == 0)
        return u"";
    // Only written when missing, so that readers sharing a terminated text never write.
    if (m_units[m_length] != 0)
        m_units[m_length] = 0;
    return m_units;
}

// --- conveniences ---

thread::Pooled<StrBuffer> StrBuffer::make(std::u16string_view text)
{
    thread::Pooled<StrBuffer> buffer;
    buffer->append(text);
    return buffer;
}

thread::Pooled<StrBuffer> StrBuffer::makeUtf8(std::string_view utf8)
{
    thread::Pooled<StrBuffer> buffer;
    buffer->appendUtf8(utf8);
    return buffer;
}

std::string StrBuffer::toStdUtf8() const
{
    std::string out;
    out.resize(Utf8::maxEncodedSize(m_length));
    out.resize(Utf8::encode(m_units, m_length, reinterpret_cast<uint8_t*>(out.data())));
    return out;
}

// --- trim ---

void StrBuffer::trimEnd(uint32_t minLength)
{
    trimEndOf(whitespace, minLength);
}

void StrBuffer::trimEndOf(std::u16string_view set, uint32_t minLength)
{
    while (m_length > minLength && set.find(m_units[m_length - 1]) != std::u16string_view::npos)
        --m_length;
}

void StrBuffer::trimStart()
{
    trimStartOf(whitespace);
}

void StrBuffer::trimStartOf(std::u16string_view set)
{
    uint32_t skip = 0;
    while (skip < m_length && set.find(m_units[skip]) != std::u16string_view::npos)
        ++skip;
    if (skip == 0)
        return;
    std::memmove(m_units, m_units + skip, (m_length - skip) * sizeof(char16_t));
    m_length -= skip;
}

// --- insert and append ---

void StrBuffer::prepend(const char16_t* units, uint32_t count)
{
    if (count == 0)
        return;
    if (units >= m_units && units <= m_units + m_capacity && m_units) {
        // A piece of this very text: copy it out before the block moves.
        std::u16string copy(units, count);
        prepend(copy.data(), count);
        return;
    }
    if (m_length + static_cast<uint64_t>(count) > m_capacity)
        grow(m_length + count);
    std::memmove(m_units + count, m_units, m_length * sizeof(char16_t));
    std::memcpy(m_units, units, count * sizeof(char16_t));
    m_length += count;
}

void StrBuffer::appendGrowing(const char16_t* units, uint32_t count)
{
    // The source may be a piece of this very text, which moves with the block.
    bool own = m_units && units >= m_units && units <= m_units + m_capacity;
    size_t offset = own ? static_cast<size_t>(units - m_units) : 0;
    grow(m_length + count);
    if (own)
        units = m_units + offset;
    std::memmove(m_units + m_length, units, count * sizeof(char16_t));
    m_length += count;
}

void StrBuffer::appendLatin1(const char* bytes, int64_t count)
{
    uint32_t n = static_cast<uint32_t>(count < 0 ? std::strlen(bytes) : static_cast<size_t>(count));
    reserve(m_length + n);
    char16_t* out = m_units + m_length;
    for (uint32_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(bytes[i]);
    m_length += n;
}

// --- copy ---

thread::Pooled<StrBuffer> StrBuffer::clone() const
{
    return make(view());
}

void StrBuffer::keepRange(uint32_t start, uint32_t end)
{
    end = std::min(end, m_length);
    if (start >= end) {
        m_length = 0;
        return;
    }
    if (start)
        std::memmove(m_units, m_units + start, (end - start) * sizeof(char16_t));
    m_length = end - start;
}

thread::Pooled<StrBuffer> StrBuffer::substring(uint32_t start, uint32_t end) const
{
    end = std::min(end, m_length);
    thread::Pooled<StrBuffer> piece;
    if (start < end)
        piece->append(m_units + start, end - start);
    return piece;
}

// --- assign ---

void StrBuffer::assign(const IStr& text)
{
    if (&text == this)
        return;
    m_length = 0;
    append(text.units(), text.length());
}

void StrBuffer::assign(std::u16string_view text)
{
    if (isOwnUnit(text.data())) {
        std::u16string copy(text);
        assign(copy);
        return;
    }
    m_length = 0;
    append(text);
}

void StrBuffer::assignLatin1(const char* bytes, int64_t count)
{
    m_length = 0;
    appendLatin1(bytes, count);
}

// --- iterators ---

thread::Pooled<Iterator> StrBuffer::iteratorAtStart() const
{
    return iteratorAt(0);
}

thread::Pooled<Iterator> StrBuffer::iteratorAtEnd() const
{
    return iteratorAt(m_length);
}

thread::Pooled<Iterator> StrBuffer::iteratorAt(uint32_t index) const
{
    thread::Pooled<Iterator> it;
    it->attach(this, index);
    return it;
}

thread::Pooled<Iterator> StrBuffer::iteratorFromEnd(uint32_t index) const
{
    return iteratorAt(m_length - index);
}

// --- byte streams ---

bool StrBuffer::read(void* buffer, uint32_t count, uint32_t& got)
{
    uint64_t total = static_cast<uint64_t>(m_length) * sizeof(char16_t);
    if (m_readPosition >= total || count == 0) {
        got = 0;
        return false;
    }
    got = static_cast<uint32_t>(std::min<uint64_t>(count, total - m_readPosition));
    std::memcpy(buffer, reinterpret_cast<const uint8_t*>(m_units) + m_readPosition, got);
    m_readPosition += got;
    return true;
}

bool StrBuffer::write(const void* data, uint32_t count, uint32_t& written)
{
    // An odd byte left by the previous write is continued, as long as nothing changed the text.
    uint64_t start = static_cast<uint64_t>(m_length) * sizeof(char16_t);
    if (m_writeEnd == start + 1)
        start = m_writeEnd;
    uint64_t end = start + count;
    uint64_t unitsNeeded = (end + 1) / 2;
    if (unitsNeeded >= std::numeric_limits<uint32_t>::max()) {
        written = 0;
        return false;
    }
    reserve(static_cast<uint32_t>(unitsNeeded));
    if (count)
        std::memcpy(reinterpret_cast<uint8_t*>(m_units) + start, data, count);
    m_length = std::max(m_length, static_cast<uint32_t>(end / 2));
    m_writeEnd = end;
    written = count;
    return true;
}

}
