#include "foundation/str/StrBuffer.h"

#include "foundation/col/Growth.h"
#include "foundation/str/CaseFold.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The text buffer's comparisons and hashes, case changes, searches, matches and replacements.
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

}

uint32_t StrBuffer::replaceAll(std::u16string_view from, std::u16string_view to)
{
    if (isOwnUnit(from.data()) || isOwnUnit(to.data())) {
        std::u16string fromCopy(from), toCopy(to);
        return replaceAll(fromCopy, toCopy);
    }
    return replaceMatches(m_units, m_length, m_capacity, from.size(), to,
        [&](uint32_t start, uint32_t& at) { return indexOf(from, at, start); });
}

uint32_t StrBuffer::replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to)
{
    if (isOwnUnit(from.data()) || isOwnUnit(to.data())) {
        std::u16string fromCopy(from), toCopy(to);
        return replaceAllIgnoreCase(fromCopy, toCopy);
    }
    return replaceMatches(m_units, m_length, m_capacity, from.size(), to,
        [&](uint32_t start, uint32_t& at) { return indexOfIgnoreCase(from, at, start); });
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

}
