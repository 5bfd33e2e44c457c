#include "foundation/str/StrBuffer.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/col/Growth.h"
#include "foundation/str/Ascii.h"
#include "foundation/str/CaseFold.h"
#include "foundation/str/CodePage.h"
#include "foundation/str/Decimal.h"
#include "foundation/str/Iterator.h"
#include "foundation/str/StrArray.h"
#include "foundation/str/Utf8.h"
#include "foundation/thread/ObjLocker.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace s::str::strbuffer {

namespace {

const char16_t* findUnit(const char16_t* p, const char16_t* end, char16_t unit)
{
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi16(static_cast<short>(unit));
    while (end - p >= 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, needle));
        if (mask)
            return p + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
        p += 8;
    }
#endif
    for (; p < end; ++p) {
        if (*p == unit)
            return p;
    }
    return nullptr;
}

// The last position of unit in [begin, end), scanning backwards.
const char16_t* findUnitBackward(const char16_t* begin, const char16_t* end, char16_t unit)
{
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi16(static_cast<short>(unit));
    while (end - begin >= 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 8));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, needle));
        if (mask)
            return end - 8 + ((31 - __builtin_clz(static_cast<unsigned>(mask))) >> 1);
        end -= 8;
    }
#endif
    while (end > begin) {
        if (*--end == unit)
            return end;
    }
    return nullptr;
}

bool inSet(std::u16string_view set, char16_t unit)
{
    return set.find(unit) != std::u16string_view::npos;
}

bool inSetIgnoreCase(std::u16string_view set, char16_t unit)
{
    char16_t lowered = CaseFold::asciiLower(unit);
    for (char16_t s : set) {
        if (CaseFold::asciiLower(s) == lowered)
            return true;
    }
    return false;
}

bool equalAscii(const char16_t* a, const char16_t* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i] && CaseFold::asciiLower(a[i]) != CaseFold::asciiLower(b[i]))
            return false;
    }
    return true;
}

bool equalFolded(const char16_t* a, const char16_t* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i] && CaseFold::fold(a[i]) != CaseFold::fold(b[i]))
            return false;
    }
    return true;
}

// Backward searches treat the bound 0xFFFFFF as "the whole text", also for texts longer than it.
uint32_t backwardLimit(uint32_t bound, uint32_t length)
{
    return bound >= IStr::fromEnd ? length : std::min(bound, length);
}

size_t formatSigned(char* text, size_t size, int64_t value)
{
    return decimal::formatInt64(text, size, value);
}

// Unsigned 64-bit values take the "%I64d" form, their bits as a signed number ("-1" for the
// largest), which is what stored texts hold and what parseInt64 and parseUInt64 read back.
size_t formatUnsigned(char* text, size_t size, uint64_t value)
{
    return decimal::formatUInt64AsSigned(text, size, value);
}

size_t formatDouble(char* text, size_t size, double value)
{
    return decimal::formatFixed(text, size, value);
}

constexpr size_t formatRoom = decimal::maxFixedLength;

// The process-wide scratch text that the assign-number operations format into.
struct Scratch {
    thread::ObjLocker lock;
    char text[formatRoom];
};

Scratch& scratch()
{
    static Scratch instance;
    return instance;
}

bool isKeywordUnit(char16_t u)
{
    if (u < 0x80)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'%' || u == u'+' || u == u'-';
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

// --- comparison and hashing ---

int StrBuffer::compareUnits(std::u16string_view a, std::u16string_view b)
{
    size_t common = std::min(a.size(), b.size());
    int result = common ? std::memcmp(a.data(), b.data(), common * sizeof(char16_t)) : 0;
    if (result != 0)
        return result < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int StrBuffer::compareUnitsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (a[i] == b[i])
            continue;
        char16_t x = CaseFold::fold(a[i]);
        char16_t y = CaseFold::fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

uint32_t StrBuffer::hashUnits(std::u16string_view text)
{
    uint32_t h = 0;
    for (char16_t u : text)
        h = ((h << 1) | ((h >> 30) & 1)) ^ u;
    return h;
}

uint32_t StrBuffer::hashUnitsIgnoreCase(std::u16string_view text)
{
    uint32_t h = 0;
    for (char16_t u : text)
        h = ((h << 1) | ((h >> 30) & 1)) ^ CaseFold::asciiLower(u);
    return h;
}

int StrBuffer::compare(const base::IComparable* other, const base::IComparator* comparator) const
{
    const auto* text = comparator ? nullptr : dynamic_cast<const StrBuffer*>(other);
    if (!text)
        return IStr::compare(other, comparator);
    return compareUnits(view(), text->view());
}

int StrBuffer::compareIgnoreCase(const base::IComparable* other, const base::IComparator* comparator) const
{
    const auto* text = comparator ? nullptr : dynamic_cast<const StrBuffer*>(other);
    if (!text)
        return IStr::compareIgnoreCase(other, comparator);
    return compareUnitsIgnoreCase(view(), text->view());
}

bool StrBuffer::equals(const base::IComparable* other, const base::IComparator* comparator) const
{
    const auto* text = comparator ? nullptr : dynamic_cast<const StrBuffer*>(other);
    if (!text)
        return IStr::equals(other, comparator);
    return m_length == text->m_length && (m_length == 0 || std::memcmp(m_units, text->m_units, m_length * sizeof(char16_t)) == 0);
}

bool StrBuffer::equalsIgnoreCase(const base::IComparable* other, const base::IComparator* comparator) const
{
    const auto* text = comparator ? nullptr : dynamic_cast<const StrBuffer*>(other);
    if (!text)
        return IStr::equalsIgnoreCase(other, comparator);
    return m_length == text->m_length && equalFolded(m_units, text->m_units, m_length);
}

uint32_t StrBuffer::hash() const
{
    return hashUnits(view());
}

uint32_t StrBuffer::hashIgnoreCase() const
{
    return hashUnitsIgnoreCase(view());
}

// --- case ---

void StrBuffer::reverse()
{
    std::reverse(m_units, m_units + m_length);
}

void StrBuffer::toLower()
{
    for (uint32_t i = 0; i < m_length; ++i)
        m_units[i] = CaseFold::lower(m_units[i]);
}

void StrBuffer::toUpper()
{
    for (uint32_t i = 0; i < m_length; ++i)
        m_units[i] = CaseFold::upper(m_units[i]);
}

void StrBuffer::capitalize()
{
    toLower();
    if (m_length)
        m_units[0] = CaseFold::asciiUpper(m_units[0]);
}

char16_t StrBuffer::lowerAt(uint32_t index) const
{
    return CaseFold::asciiLower(m_units[index]);
}

char16_t StrBuffer::upperAt(uint32_t index) const
{
    return CaseFold::asciiUpper(m_units[index]);
}

// --- find unit ---

bool StrBuffer::indexOf(char16_t unit, uint32_t& at, uint32_t start) const
{
    if (start >= m_length)
        return false;
    const char16_t* found = findUnit(m_units + start, m_units + m_length, unit);
    if (!found)
        return false;
    at = static_cast<uint32_t>(found - m_units);
    return true;
}

// The first position at or after start whose unit satisfies the predicate.
template<class Predicate>
static bool firstWhere(const char16_t* units, uint32_t length, uint32_t start, uint32_t& at, Predicate matches)
{
    for (uint32_t i = start; i < length; ++i) {
        if (matches(units[i])) {
            at = i;
            return true;
        }
    }
    return false;
}

// The last position below min(bound, length) whose unit satisfies the predicate.
template<class Predicate>
static bool lastWhere(const char16_t* units, uint32_t length, uint32_t bound, uint32_t& at, Predicate matches)
{
    for (uint32_t i = backwardLimit(bound, length); i-- > 0;) {
        if (matches(units[i])) {
            at = i;
            return true;
        }
    }
    return false;
}

bool StrBuffer::indexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t start) const
{
    char16_t lower = CaseFold::asciiLower(unit);
    char16_t upper = CaseFold::asciiUpper(unit);
    if (lower == upper)
        return indexOf(unit, at, start);
    return firstWhere(m_units, m_length, start, at, [&](char16_t u) { return u == lower || u == upper; });
}

bool StrBuffer::indexOfAny(std::u16string_view set, uint32_t& at, uint32_t start) const
{
    return firstWhere(m_units, m_length, start, at, [&](char16_t u) { return inSet(set, u); });
}

bool StrBuffer::indexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t start) const
{
    return firstWhere(m_units, m_length, start, at, [&](char16_t u) { return inSetIgnoreCase(set, u); });
}

bool StrBuffer::lastIndexOf(char16_t unit, uint32_t& at, uint32_t bound) const
{
    uint32_t limit = backwardLimit(bound, m_length);
    if (limit == 0)
        return false;
    const char16_t* found = findUnitBackward(m_units, m_units + limit, unit);
    if (!found)
        return false;
    at = static_cast<uint32_t>(found - m_units);
    return true;
}

bool StrBuffer::lastIndexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t bound) const
{
    char16_t lower = CaseFold::asciiLower(unit);
    char16_t upper = CaseFold::asciiUpper(unit);
    return lastWhere(m_units, m_length, bound, at, [&](char16_t u) { return u == lower || u == upper; });
}

bool StrBuffer::lastIndexOfAny(std::u16string_view set, uint32_t& at, uint32_t bound) const
{
    return lastWhere(m_units, m_length, bound, at, [&](char16_t u) { return inSet(set, u); });
}

bool StrBuffer::lastIndexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t bound) const
{
    return lastWhere(m_units, m_length, bound, at, [&](char16_t u) { return inSetIgnoreCase(set, u); });
}

// --- find text ---

bool StrBuffer::indexOf(std::u16string_view text, uint32_t& at, uint32_t start) const
{
    if (start > m_length)
        return false;
    size_t n = text.size();
    if (n == 0) {
        at = start;
        return true;
    }
    if (n > m_length - start)
        return false;
    const char16_t* p = m_units + start;
    const char16_t* lastStart = m_units + (m_length - n);
    const char16_t first = text[0];
    const size_t restBytes = (n - 1) * sizeof(char16_t);
    while (p <= lastStart) {
        p = findUnit(p, lastStart + 1, first);
        if (!p)
            return false;
        if (std::memcmp(p + 1, text.data() + 1, restBytes) == 0) {
            at = static_cast<uint32_t>(p - m_units);
            return true;
        }
        ++p;
    }
    return false;
}

bool StrBuffer::indexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t start) const
{
    size_t n = text.size();
    if (n == 0 || start > m_length || n > m_length - start)
        return false;
    for (uint32_t i = start; i + n <= m_length; ++i) {
        if (equalAscii(m_units + i, text.data(), n)) {
            at = i;
            return true;
        }
    }
    return false;
}

bool StrBuffer::lastIndexOf(std::u16string_view text, uint32_t& at, uint32_t bound) const
{
    size_t n = text.size();
    uint32_t limit = backwardLimit(bound, m_length);
    if (n == 0 || n > m_length || limit == 0)
        return false;
    uint32_t i = std::min<uint32_t>(limit - 1, static_cast<uint32_t>(m_length - n));
    for (;; --i) {
        if (std::memcmp(m_units + i, text.data(), n * sizeof(char16_t)) == 0) {
            at = i;
            return true;
        }
        if (i == 0)
            return false;
    }
}

bool StrBuffer::lastIndexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t bound) const
{
    size_t n = text.size();
    uint32_t limit = backwardLimit(bound, m_length);
    if (n == 0 || n > m_length || limit == 0)
        return false;
    uint32_t i = std::min<uint32_t>(limit - 1, static_cast<uint32_t>(m_length - n));
    for (;; --i) {
        if (equalAscii(m_units + i, text.data(), n)) {
            at = i;
            return true;
        }
        if (i == 0)
            return false;
    }
}

// --- match ---

namespace {

template<class Fold>
bool matchCounted(const char16_t* units, uint32_t length, uint32_t index, std::u16string_view text, uint32_t count, Fold fold)
{
    for (uint32_t k = 0; k < count; ++k) {
        char16_t a = index + static_cast<uint64_t>(k) < length ? units[index + k] : 0;
        char16_t b = k < text.size() ? text[k] : 0;
        if (a != b && fold(a) != fold(b))
            return false;
        if (a == 0)
            return true;
    }
    return true;
}

}

bool StrBuffer::matchesAt(uint32_t index, std::u16string_view text, int32_t count) const
{
    if (count >= 0)
        return matchCounted(m_units, m_length, index, text, static_cast<uint32_t>(count), [](char16_t u) { return u; });
    if (index > m_length || m_length - index != text.size())
        return false;
    return text.empty() || std::memcmp(m_units + index, text.data(), text.size() * sizeof(char16_t)) == 0;
}

bool StrBuffer::matchesAtIgnoreCase(uint32_t index, std::u16string_view text, int32_t count) const
{
    if (count >= 0)
        return matchCounted(m_units, m_length, index, text, static_cast<uint32_t>(count), [](char16_t u) { return CaseFold::fold(u); });
    if (index > m_length || m_length - index != text.size())
        return false;
    return equalFolded(m_units + index, text.data(), text.size());
}

// --- ends and starts ---

bool StrBuffer::endsWith(std::u16string_view text) const
{
    return text.size() <= m_length && (text.empty() || std::memcmp(m_units + m_length - text.size(), text.data(), text.size() * sizeof(char16_t)) == 0);
}

bool StrBuffer::endsWithIgnoreCase(std::u16string_view text) const
{
    return text.size() <= m_length && equalAscii(m_units + m_length - text.size(), text.data(), text.size());
}

bool StrBuffer::startsWith(std::u16string_view text) const
{
    return text.size() <= m_length && (text.empty() || std::memcmp(m_units, text.data(), text.size() * sizeof(char16_t)) == 0);
}

bool StrBuffer::startsWithIgnoreCase(std::u16string_view text) const
{
    return text.size() <= m_length && equalAscii(m_units, text.data(), text.size());
}

// --- trim ---

void StrBuffer::trimEnd(uint32_t minLength)
{
    trimEndOf(whitespace, minLength);
}

void StrBuffer::trimEndOf(std::u16string_view set, uint32_t minLength)
{
    while (m_length > minLength && inSet(set, m_units[m_length - 1]))
        --m_length;
}

void StrBuffer::trimStart()
{
    trimStartOf(whitespace);
}

void StrBuffer::trimStartOf(std::u16string_view set)
{
    uint32_t skip = 0;
    while (skip < m_length && inSet(set, m_units[skip]))
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

// --- hex append ---

namespace {

template<class T>
void appendHexValues(StrBuffer& text, const T* values, uint32_t count)
{
    constexpr uint32_t digits = sizeof(T) * 2;
    static constexpr char16_t hex[] = u"0123456789abcdef";
    uint32_t start = text.length();
    text.reserve(start + count * digits);
    char16_t* out = text.units() + start;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t value = values[i];
        for (uint32_t d = digits; d-- > 0;) {
            out[d] = hex[value & 0xF];
            value >>= 4;
        }
        out += digits;
    }
    text.setLength(start + count * digits);
}

}

void StrBuffer::appendHex32(const uint32_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex8(const uint8_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex16(const uint16_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex64(const uint64_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

// --- replace ---

namespace {

// Replaces every match that `find(start, at)` reports; in place when the replacement is not
// longer, into a new block otherwise.
template<class Find>
uint32_t replaceMatches(char16_t*& units, uint32_t& length, uint32_t& capacity, size_t fromSize, std::u16string_view to, Find find)
{
    uint32_t at = 0;
    if (fromSize == 0 || !find(0u, at))
        return 0;

    const uint32_t n = static_cast<uint32_t>(fromSize);
    const uint32_t m = static_cast<uint32_t>(to.size());
    uint32_t replaced = 0;

    if (m <= n) {
        // Step 1 (shrinking or same size): copy forward over the matches.
        uint32_t read = 0, write = 0;
        do {
            std::memmove(units + write, units + read, (at - read) * sizeof(char16_t));
            write += at - read;
            std::memcpy(units + write, to.data(), m * sizeof(char16_t));
            write += m;
            read = at + n;
            ++replaced;
        } while (find(read, at));
        std::memmove(units + write, units + read, (length - read) * sizeof(char16_t));
        length = write + (length - read);
        return replaced;
    }

    // Step 1 (growing): count the matches to size the new text.
    uint32_t first = at;
    uint64_t matches = 0;
    for (uint32_t next = first;;) {
        ++matches;
        if (!find(next + n, next))
            break;
    }
    uint64_t newLength = length + matches * (m - n);
    if (newLength >= std::numeric_limits<uint32_t>::max())
        std::abort();

    // Step 2: build the new block and move the pieces over.
    uint32_t newCapacity = capacity >= newLength ? capacity : static_cast<uint32_t>(std::min<uint64_t>(col::grownCapacity(capacity, newLength), std::numeric_limits<uint32_t>::max() - 1));
    auto* block = static_cast<char16_t*>(std::malloc((static_cast<size_t>(newCapacity) + 1) * sizeof(char16_t)));
    if (!block)
        std::abort();
    uint32_t read = 0, write = 0;
    at = first;
    do {
        std::memcpy(block + write, units + read, (at - read) * sizeof(char16_t));
        write += at - read;
        std::memcpy(block + write, to.data(), m * sizeof(char16_t));
        write += m;
        read = at + n;
        ++replaced;
    } while (find(read, at));
    std::memcpy(block + write, units + read, (length - read) * sizeof(char16_t));
    std::free(units);
    units = block;
    length = static_cast<uint32_t>(newLength);
    capacity = newCapacity;
    return replaced;
}

bool pointsInto(std::u16string_view text, const char16_t* block, uint32_t capacity)
{
    return block && text.data() >= block && text.data() <= block + capacity;
}

}

uint32_t StrBuffer::replaceAll(std::u16string_view from, std::u16string_view to)
{
    if (pointsInto(from, m_units, m_capacity) || pointsInto(to, m_units, m_capacity)) {
        std::u16string fromCopy(from), toCopy(to);
        return replaceAll(fromCopy, toCopy);
    }
    return replaceMatches(m_units, m_length, m_capacity, from.size(), to,
        [&](uint32_t start, uint32_t& at) { return indexOf(from, at, start); });
}

uint32_t StrBuffer::replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to)
{
    if (pointsInto(from, m_units, m_capacity) || pointsInto(to, m_units, m_capacity)) {
        std::u16string fromCopy(from), toCopy(to);
        return replaceAllIgnoreCase(fromCopy, toCopy);
    }
    return replaceMatches(m_units, m_length, m_capacity, from.size(), to,
        [&](uint32_t start, uint32_t& at) { return indexOfIgnoreCase(from, at, start); });
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

// --- head before last ---

thread::Pooled<StrBuffer> StrBuffer::headBeforeLast(char16_t unit) const
{
    uint32_t at = 0;
    return lastIndexOf(unit, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

thread::Pooled<StrBuffer> StrBuffer::headBeforeLastIgnoreCase(char16_t unit) const
{
    uint32_t at = 0;
    return lastIndexOfIgnoreCase(unit, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

thread::Pooled<StrBuffer> StrBuffer::headBeforeLastOfAny(std::u16string_view set) const
{
    uint32_t at = 0;
    return lastIndexOfAny(set, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

thread::Pooled<StrBuffer> StrBuffer::headBeforeLastOfAnyIgnoreCase(std::u16string_view set) const
{
    uint32_t at = 0;
    return lastIndexOfAnyIgnoreCase(set, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

thread::Pooled<StrBuffer> StrBuffer::headBeforeLast(std::u16string_view text) const
{
    uint32_t at = 0;
    return lastIndexOf(text, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

thread::Pooled<StrBuffer> StrBuffer::headBeforeLastIgnoreCase(std::u16string_view text) const
{
    uint32_t at = 0;
    return lastIndexOfIgnoreCase(text, at) ? substring(0, at) : thread::Pooled<StrBuffer>();
}

// --- conversion to and from bytes ---

bool StrBuffer::toByteStream(io::IOutputStream& out) const
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(m_units);
    uint64_t left = static_cast<uint64_t>(m_length) * sizeof(char16_t);
    while (left > 0) {
        uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(left, 1u << 30));
        uint32_t written = 0;
        if (!out.write(bytes, chunk, written) || written != chunk)
            return false;
        bytes += chunk;
        left -= chunk;
    }
    return true;
}

namespace {

// Makes `out` hold `count` bytes from `data` followed by an uncounted 0 byte.
void setBytes(col::_array::ArrayU08& out, const void* data, size_t count)
{
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(count + 2));
    if (count)
        std::memcpy(out.items(), data, count);
    out.setCount(static_cast<uint32_t>(count));
    out.items()[count] = 0;
}

void encodeUtf8Into(col::_array::ArrayU08& out, const char16_t* units, uint32_t length)
{
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(Utf8::maxEncodedSize(length) + 2));
    size_t n = Utf8::encode(units, length, out.items());
    out.setCount(static_cast<uint32_t>(n));
    out.items()[n] = 0;
}

void encodeUtf16Into(col::_array::ArrayU08& out, const char16_t* units, uint32_t length, bool swap)
{
    size_t bytes = static_cast<size_t>(length) * 2;
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(bytes + 2));
    uint8_t* o = out.items();
    if (length)
        std::memcpy(o, units, bytes);
    if (swap) {
        for (size_t i = 0; i < bytes; i += 2)
            std::swap(o[i], o[i + 1]);
    }
    out.setCount(static_cast<uint32_t>(bytes));
    o[bytes] = 0;
    o[bytes + 1] = 0;
}

void encodeInto(col::_array::ArrayU08& out, const char16_t* units, uint32_t length, const system::codepage::CodePage& page)
{
    using system::codepage::CodePage;
    switch (page.number()) {
    case CodePage::utf8:
        encodeUtf8Into(out, units, length);
        return;
    case CodePage::utf16LE:
        encodeUtf16Into(out, units, length, false);
        return;
    case CodePage::utf16BE:
        encodeUtf16Into(out, units, length, true);
        return;
    default: {
        std::string bytes;
        page.encode(units, length, bytes);
        setBytes(out, bytes.data(), bytes.size());
        return;
    }
    }
}

// Adds the terminating 0 (a 0 unit for the UTF-16 pages) and counts it.
void terminateBytes(col::_array::ArrayU08& out, uint32_t number)
{
    bool wide = number == system::codepage::CodePage::utf16LE || number == system::codepage::CodePage::utf16BE;
    out.push(0);
    if (wide)
        out.push(0);
}

}

void StrBuffer::toUtf8Terminated(ArrayU08& out) const
{
    encodeUtf8Into(out, m_units, m_length);
    out.push(0);
}

void StrBuffer::toUtf8(ArrayU08& out) const
{
    encodeUtf8Into(out, m_units, m_length);
}

void StrBuffer::fromUtf8(const void* bytes, int64_t count, bool append)
{
    const auto* in = static_cast<const uint8_t*>(bytes);
    size_t n = count < 0 ? std::strlen(static_cast<const char*>(bytes)) : static_cast<size_t>(count);
    if (!append)
        m_length = 0;
    reserve(static_cast<uint32_t>(m_length + Utf8::maxDecodedSize(n)));
    m_length += static_cast<uint32_t>(Utf8::decode(in, n, m_units + m_length));
}

void StrBuffer::toCodePageTerminated(ArrayU08& out, const CodePage& page) const
{
    encodeInto(out, m_units, m_length, page);
    terminateBytes(out, page.number());
}

void StrBuffer::toCodePage(ArrayU08& out, const CodePage& page) const
{
    encodeInto(out, m_units, m_length, page);
}

void StrBuffer::fromCodePage(const void* bytes, int64_t count, const CodePage& page, bool append)
{
    const auto* in = static_cast<const uint8_t*>(bytes);
    const uint32_t number = page.number();
    if (number == CodePage::utf8) {
        fromUtf8(bytes, count, append);
        return;
    }
    if (!append)
        m_length = 0;
    if (number == CodePage::utf16LE || number == CodePage::utf16BE) {
        size_t units = 0;
        if (count < 0) {
            while (in[units * 2] != 0 || in[units * 2 + 1] != 0)
                ++units;
        } else {
            units = static_cast<size_t>(count) / 2; // an odd last byte is no unit
        }
        reserve(static_cast<uint32_t>(m_length + units));
        char16_t* out = m_units + m_length;
        for (size_t i = 0; i < units; ++i) {
            uint8_t first = in[2 * i], second = in[2 * i + 1];
            out[i] = number == CodePage::utf16LE ? static_cast<char16_t>(first | (second << 8)) : static_cast<char16_t>((first << 8) | second);
        }
        m_length += static_cast<uint32_t>(units);
        return;
    }
    size_t n = count < 0 ? std::strlen(static_cast<const char*>(bytes)) : static_cast<size_t>(count);
    page.decode(in, n, *this);
}

void StrBuffer::toOemTerminated(ArrayU08& out) const
{
    auto page = CodePage::make(CodePage::oem);
    toCodePageTerminated(out, *page);
}

void StrBuffer::toOem(ArrayU08& out) const
{
    auto page = CodePage::make(CodePage::oem);
    toCodePage(out, *page);
}

void StrBuffer::fromOem(const void* bytes, int64_t count, bool append)
{
    auto page = CodePage::make(CodePage::oem);
    fromCodePage(bytes, count, *page, append);
}

// --- numbers in ---

int32_t StrBuffer::parseInt32(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    // Like the platform's wcstol, the text ends at an embedded NUL: a NUL is no digit.
    return decimal::parseInt32(std::u16string_view(m_units + from, m_length - from));
}

int64_t StrBuffer::parseInt64(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    return decimal::parseInt64(std::u16string_view(m_units + from, m_length - from));
}

uint64_t StrBuffer::parseUInt64(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    return decimal::parseUInt64(std::u16string_view(m_units + from, m_length - from));
}

float StrBuffer::parseFloat() const
{
    return static_cast<float>(parseDouble());
}

double StrBuffer::parseDouble() const
{
    return decimal::parseDouble(view());
}

bool StrBuffer::isHex() const
{
    if (m_length == 0)
        return false;
    for (uint32_t i = 0; i < m_length; ++i) {
        if (ascii::hexValue(m_units[i]) < 0)
            return false;
    }
    return true;
}

uint8_t StrBuffer::hexDigitAt(uint32_t index) const
{
    int value = ascii::hexValue(m_units[index]);
    return value < 0 ? 0 : static_cast<uint8_t>(value);
}

void StrBuffer::hexToBytes(ArrayU08& out, bool append) const
{
    if (!append)
        out.clear();
    uint32_t pairs = m_length / 2;
    uint32_t start = out.count();
    out.ensureCapacity(start + pairs);
    uint8_t* o = out.items() + start;
    for (uint32_t i = 0; i < pairs; ++i)
        o[i] = static_cast<uint8_t>((hexDigitAt(2 * i) << 4) | hexDigitAt(2 * i + 1));
    out.setCount(start + pairs);
}

bool StrBuffer::isInteger() const
{
    if (m_length == 0)
        return false;
    uint32_t i = m_length > 1 && m_units[0] == u'-' ? 1 : 0;
    for (; i < m_length; ++i) {
        if (m_units[i] < u'0' || m_units[i] > u'9')
            return false;
    }
    return true;
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
                if (word.size() == skip.size() && equalAscii(word.data(), skip.data(), skip.size()))
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
            seen = other.size() == word.size() && equalFolded(other.data(), word.data(), word.size());
        }
        if (seen)
            continue;
        kept.emplace(h, words->size());
        words->addCopy(word);
    }
    return words;
}

// --- append numbers ---

void StrBuffer::appendInt64(int64_t value)
{
    reserve(m_length + 256);
    char text[32];
    appendLatin1(text, static_cast<int64_t>(formatSigned(text, sizeof text, value)));
}

void StrBuffer::appendUInt64(uint64_t value)
{
    reserve(m_length + 256);
    char text[32];
    appendLatin1(text, static_cast<int64_t>(formatUnsigned(text, sizeof text, value)));
}

void StrBuffer::appendDouble(double value)
{
    reserve(m_length + 256);
    char text[formatRoom];
    appendLatin1(text, static_cast<int64_t>(formatDouble(text, sizeof text, value)));
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
    if (pointsInto(text, m_units, m_capacity)) {
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

template<class Format>
void StrBuffer::assignFormatted(Format format)
{
    Scratch& shared = scratch();
    std::lock_guard guard(shared.lock);
    size_t n = format(shared.text, sizeof shared.text);
    m_length = 0;
    appendLatin1(shared.text, static_cast<int64_t>(n));
}

void StrBuffer::assignInt64(int64_t value)
{
    assignFormatted([value](char* text, size_t size) { return formatSigned(text, size, value); });
}

void StrBuffer::assignUInt64(uint64_t value)
{
    assignFormatted([value](char* text, size_t size) { return formatUnsigned(text, size, value); });
}

void StrBuffer::assignDouble(double value)
{
    assignFormatted([value](char* text, size_t size) { return formatDouble(text, size, value); });
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
