#pragma once

#include "foundation/io/IInputStream.h"
#include "foundation/io/IOutputStream.h"
#include "foundation/str/IStr.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace s::str::strbuffer {

// The library's text: a growable block of UTF-16 code units with a length, taken from its pool
// and released back to it (see Pool.h). `Pooled<StrBuffer> text;` or `StrBuffer::make(u"...")`.
//
// Storage: the block holds capacity + 1 units so that a NUL can always be written after the
// text, but the text is not kept NUL-terminated; c_str() writes the NUL first. Embedded NULs are
// kept, and end the text only for what goes through c_str() (number parsing).
//
// Growth: below 100 units the capacity becomes 100, then it triples below 10,000,000, doubles
// below 50,000,000, grows by half below 100,000,000 and by a fifth beyond, until the request fits.
//
// Ignoring case: find, starts/ends, replace, head-before-last and hashIgnoreCase pair ASCII
// letters only; compareIgnoreCase, equalsIgnoreCase and matchesAtIgnoreCase fold each unit
// (CaseFold::fold). The two never disagree on ASCII text.
//
// As a byte stream the buffer reads out its units' little-endian bytes from the read position and
// appends written bytes at the end of the text.
class StrBuffer final : public IStr
    , public io::IInputStream
    , public io::IOutputStream
    , public thread::IPoolable {
    S_POOLED_CLASS(StrBuffer, "s_str_strbuffer_StrBuffer")
public:
    StrBuffer() = default;
    ~StrBuffer() override;
    StrBuffer(const StrBuffer&) = delete;
    StrBuffer& operator=(const StrBuffer&) = delete;

    void reset() override;

    // --- conveniences ---
    static thread::Pooled<StrBuffer> make(std::u16string_view text);
    static thread::Pooled<StrBuffer> makeUtf8(std::string_view utf8);
    std::u16string_view view() const { return { m_units ? m_units : u"", m_length }; }
    void appendUtf8(const char* utf8, int64_t count = -1) { fromUtf8(utf8, count, true); }
    void appendUtf8(std::string_view utf8) { fromUtf8(utf8.data(), static_cast<int64_t>(utf8.size()), true); }
    void assignUtf8(std::string_view utf8) { fromUtf8(utf8.data(), static_cast<int64_t>(utf8.size()), false); }
    std::string toStdUtf8() const;
    bool operator==(std::u16string_view text) const { return view() == text; }

    // Text comparisons on plain views, by the same rules as the members.
    static int compareUnits(std::u16string_view a, std::u16string_view b);
    static int compareUnitsIgnoreCase(std::u16string_view a, std::u16string_view b);
    static uint32_t hashUnits(std::u16string_view text);
    static uint32_t hashUnitsIgnoreCase(std::u16string_view text);

    // --- common operations, by value ---
    int compare(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    int compareIgnoreCase(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    bool equals(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    bool equalsIgnoreCase(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    uint32_t hash() const override;
    uint32_t hashIgnoreCase() const override;

    // --- termination ---
    void terminate() override
    {
        if (m_units && m_units[m_length] != 0)
            m_units[m_length] = 0;
    }

    // --- size ---
    uint32_t length() const override { return m_length; }
    // No checking: the caller has filled the units up to the new length.
    void setLength(uint32_t length) override { m_length = length; }
    uint32_t capacity() const override { return m_capacity; }
    void reserveExactly(uint32_t capacity) override;
    void growOnce() override;
    void reserve(uint32_t capacity) override
    {
        if (capacity > m_capacity)
            grow(capacity);
    }
    void clear() override { m_length = 0; }
    void freeStorage() override;

    // --- access ---
    char16_t* units() override { return m_units; }
    const char16_t* units() const override { return m_units; }
    const char16_t* c_str() const override;
    char16_t at(uint32_t index) const override { return m_units[index]; }
    char16_t* pointerAt(uint32_t index) override { return m_units + index; }

    // --- case ---
    void reverse() override;
    void toLower() override;
    void toUpper() override;
    void capitalize() override;
    char16_t lowerAt(uint32_t index) const override;
    char16_t upperAt(uint32_t index) const override;

    // --- find unit ---
    bool indexOf(char16_t unit, uint32_t& at, uint32_t start = 0) const override;
    bool indexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t start = 0) const override;
    bool indexOfAny(std::u16string_view set, uint32_t& at, uint32_t start = 0) const override;
    bool indexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t start = 0) const override;
    bool lastIndexOf(char16_t unit, uint32_t& at, uint32_t bound = fromEnd) const override;
    bool lastIndexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t bound = fromEnd) const override;
    bool lastIndexOfAny(std::u16string_view set, uint32_t& at, uint32_t bound = fromEnd) const override;
    bool lastIndexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t bound = fromEnd) const override;

    // --- find text ---
    // The forward form finds an empty text at `start`; the others never find an empty text.
    bool indexOf(std::u16string_view text, uint32_t& at, uint32_t start = 0) const override;
    bool indexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t start = 0) const override;
    // Backward text searches report the last match that starts below min(bound, length).
    bool lastIndexOf(std::u16string_view text, uint32_t& at, uint32_t bound = fromEnd) const override;
    bool lastIndexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t bound = fromEnd) const override;

    // --- match ---
    // With a count: the first `count` units at index equal those of text (strncmp rules: either
    // side ending early ends the comparison, equal only when both end there). With -1: the rest
    // of the buffer from index equals the whole text.
    bool matchesAt(uint32_t index, std::u16string_view text, int32_t count = -1) const override;
    bool matchesAtIgnoreCase(uint32_t index, std::u16string_view text, int32_t count = -1) const override;

    // --- ends and starts ---
    bool endsWith(std::u16string_view text) const override;
    bool endsWithIgnoreCase(std::u16string_view text) const override;
    bool startsWith(std::u16string_view text) const override;
    bool startsWithIgnoreCase(std::u16string_view text) const override;

    // --- trim (the minimum forms never cut below minLength units) ---
    void trimEnd(uint32_t minLength = 0) override;
    void trimEndOf(std::u16string_view set, uint32_t minLength = 0) override;
    void trimStart() override;
    void trimStartOf(std::u16string_view set) override;

    // --- insert and append ---
    void prepend(const char16_t* units, uint32_t count) override;
    void prepend(std::u16string_view text) override { prepend(text.data(), static_cast<uint32_t>(text.size())); }
    // Each byte widened to one unit; count -1 reads up to a 0 byte.
    void appendLatin1(const char* bytes, int64_t count = -1) override;
    void append(const char16_t* units, uint32_t count) override
    {
        if (static_cast<uint64_t>(m_length) + count <= m_capacity) {
            if (count)
                __builtin_memmove(m_units + m_length, units, count * sizeof(char16_t));
            m_length += count;
            return;
        }
        appendGrowing(units, count);
    }
    void append(char16_t unit) override
    {
        if (m_length >= m_capacity)
            grow(m_length + 1);
        m_units[m_length++] = unit;
    }
    void append(std::u16string_view text) override { append(text.data(), static_cast<uint32_t>(text.size())); }
    void append(const IStr& text) override { append(text.units(), text.length()); }

    // --- hex append ---
    void appendHex32(const uint32_t* values, uint32_t count) override;
    void appendHex8(const uint8_t* values, uint32_t count) override;
    void appendHex16(const uint16_t* values, uint32_t count) override;
    void appendHex64(const uint64_t* values, uint32_t count) override;

    // --- replace ---
    // Non-overlapping, left to right; scanning resumes after the inserted replacement. An empty
    // `from` leaves the buffer unchanged.
    uint32_t replaceAll(std::u16string_view from, std::u16string_view to) override;
    uint32_t replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to) override;

    // --- copy (end is clipped to the length) ---
    thread::Pooled<StrBuffer> clone() const override;
    void keepRange(uint32_t start, uint32_t end) override;
    thread::Pooled<StrBuffer> substring(uint32_t start, uint32_t end) const override;

    // --- head before last ---
    thread::Pooled<StrBuffer> headBeforeLast(char16_t unit) const override;
    thread::Pooled<StrBuffer> headBeforeLastIgnoreCase(char16_t unit) const override;
    thread::Pooled<StrBuffer> headBeforeLastOfAny(std::u16string_view set) const override;
    thread::Pooled<StrBuffer> headBeforeLastOfAnyIgnoreCase(std::u16string_view set) const override;
    thread::Pooled<StrBuffer> headBeforeLast(std::u16string_view text) const override;
    thread::Pooled<StrBuffer> headBeforeLastIgnoreCase(std::u16string_view text) const override;

    // --- conversion to and from bytes ---
    // The "to" forms replace the array's content. The "Terminated" forms append a 0 byte that
    // counts in the array's count; the others leave a 0 byte after the data uncounted. The "from"
    // forms take a byte count or -1 for input ending at a 0 byte (a 0 unit for UTF-16 pages) and
    // replace the content unless `append`. Malformed input becomes U+FFFD; no byte-order mark is
    // written or expected.
    bool toByteStream(io::IOutputStream& out) const override;
    void toUtf8Terminated(ArrayU08& out) const override;
    void toUtf8(ArrayU08& out) const override;
    void fromUtf8(const void* bytes, int64_t count = -1, bool append = false) override;
    void toCodePageTerminated(ArrayU08& out, const CodePage& page) const override;
    void toCodePage(ArrayU08& out, const CodePage& page) const override;
    void fromCodePage(const void* bytes, int64_t count, const CodePage& page, bool append = false) override;
    void toOemTerminated(ArrayU08& out) const override;
    void toOem(ArrayU08& out) const override;
    void fromOem(const void* bytes, int64_t count = -1, bool append = false) override;

    // --- numbers in ---
    // Decimal with optional leading blanks and sign, up to the first other unit ("12abc" is 12,
    // "abc" 0); out-of-range values saturate. `from` starts the parse at that index.
    int32_t parseInt32() const override { return parseInt32(0); }
    int32_t parseInt32(uint32_t from) const override;
    int64_t parseInt64() const override { return parseInt64(0); }
    int64_t parseInt64(uint32_t from) const override;
    // An unsigned 64-bit value in its stored "%I64d" form ("-1" for the largest) or as plain
    // digits; both read back as the value that was written. Saturates above 2^64 - 1.
    uint64_t parseUInt64() const override { return parseUInt64(0); }
    uint64_t parseUInt64(uint32_t from) const override;
    // Always with "." as the decimal point, whatever the process locale.
    float parseFloat() const override;
    double parseDouble() const override;
    bool isHex() const override;
    uint8_t hexDigitAt(uint32_t index) const override;
    // Pairs of hex digits (high first) to bytes; a trailing odd unit is ignored.
    void hexToBytes(ArrayU08& out, bool append = true) const override;
    // Only digits, with an optional leading "-" when more than one unit.
    bool isInteger() const override;

    // --- split ---
    // The non-empty pieces between separators, each a new buffer.
    thread::Pooled<StrArray> split(char16_t separator) const override;
    // Words (ASCII letters, digits, "%", "+", "-", and units above U+00FF other than CJK
    // punctuation), each once (ignoring case); optionally without "the", "of" and "and".
    thread::Pooled<StrArray> splitKeywords(bool dropCommonWords) const override;

    // --- append numbers ("%d", "%u", "%I64d", "%f"; "." as decimal point) ---
    // Both 64-bit forms write "%I64d": an unsigned value is written as the signed number of its
    // bits, so the largest is "-1" (read it back with parseUInt64 or parseInt64).
    void appendInt8(int8_t value) override { appendInt64(value); }
    void appendInt16(int16_t value) override { appendInt64(value); }
    void appendInt32(int32_t value) override { appendInt64(value); }
    void appendInt64(int64_t value) override;
    void appendUInt8(uint8_t value) override { appendUInt64(value); }
    void appendUInt16(uint16_t value) override { appendUInt64(value); }
    void appendUInt32(uint32_t value) override { appendUInt64(value); }
    void appendUInt64(uint64_t value) override;
    void appendFloat(float value) override { appendDouble(value); }
    void appendDouble(double value) override;

    // --- assign ---
    void assign(const IStr& text) override;
    void assign(std::u16string_view text) override;
    void assignLatin1(const char* bytes, int64_t count = -1) override;
    void assignInt8(int8_t value) override { assignInt64(value); }
    void assignInt16(int16_t value) override { assignInt64(value); }
    void assignInt32(int32_t value) override { assignInt64(value); }
    void assignInt64(int64_t value) override;
    void assignUInt8(uint8_t value) override { assignUInt64(value); }
    void assignUInt16(uint16_t value) override { assignUInt64(value); }
    void assignUInt32(uint32_t value) override { assignUInt64(value); }
    void assignUInt64(uint64_t value) override;
    void assignFloat(float value) override { assignDouble(value); }
    void assignDouble(double value) override;

    // --- iterators ---
    thread::Pooled<Iterator> iteratorAtStart() const override;
    thread::Pooled<Iterator> iteratorAtEnd() const override;
    thread::Pooled<Iterator> iteratorAt(uint32_t index) const override;
    thread::Pooled<Iterator> iteratorFromEnd(uint32_t index) const override;

    // --- byte streams ---
    bool read(void* buffer, uint32_t count, uint32_t& got) override;
    bool write(const void* data, uint32_t count, uint32_t& written) override;
    uint64_t readPosition() const { return m_readPosition; }
    void setReadPosition(uint64_t bytes) { m_readPosition = bytes; }

private:
    void grow(uint32_t needed);
    void appendGrowing(const char16_t* units, uint32_t count);
    void reallocate(uint32_t capacity);
    template<class Format>
    void assignFormatted(Format format);
    // True when the pointer lies in this buffer's block: such a source moves or changes with it.
    bool isOwnUnit(const char16_t* p) const { return m_units && p >= m_units && p <= m_units + m_capacity; }

    char16_t* m_units { nullptr };
    uint32_t m_length { 0 };
    uint32_t m_capacity { 0 };
    uint64_t m_readPosition { 0 };
    // Where the last stream write ended, in bytes, so a write of an odd byte count is continued
    // by the next one instead of overwritten.
    uint64_t m_writeEnd { 0 };
};

}

namespace s::str {
using strbuffer::StrBuffer;
}
