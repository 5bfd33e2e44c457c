#pragma once

#include "foundation/base/IObject.h"
#include "foundation/str/Forward.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string_view>

namespace s::col::_array {
class ArrayU08;
}
namespace s::io {
class IOutputStream;
}

namespace s::str {

// The interface of the library's text: a growable run of UTF-16 code units with a length.
// StrBuffer is its one implementation; see StrBuffer.h for the rules of each family.
//
// Positions and lengths count UTF-16 units. Indices are not validated: callers pass valid ones.
// "IgnoreCase" means ASCII only ("A"-"Z" paired with "a"-"z"), except for matchesAtIgnoreCase,
// compareIgnoreCase and equalsIgnoreCase, which fold every unit (see CaseFold.h).
class IStr : public base::IObject {
public:
    using StrBuffer = strbuffer::StrBuffer;
    using StrArray = strarray::StrArray;
    using Iterator = strbuffer::Iterator;
    using ArrayU08 = col::_array::ArrayU08;
    using CodePage = system::codepage::CodePage;

    // A backward search bound meaning "from the end of the text".
    static constexpr uint32_t fromEnd = 0xFFFFFF;
    // What trimEnd() and trimStart() remove.
    static constexpr std::u16string_view whitespace = u" \n\u3000\t\r";

    // --- termination ---
    virtual void terminate() = 0;

    // --- size ---
    virtual uint32_t length() const = 0;
    virtual void setLength(uint32_t length) = 0;
    virtual uint32_t capacity() const = 0;
    virtual void reserveExactly(uint32_t capacity) = 0;
    virtual void growOnce() = 0;
    virtual void reserve(uint32_t capacity) = 0;
    virtual void clear() = 0;
    virtual void freeStorage() = 0;

    // --- access ---
    virtual char16_t* units() = 0;
    virtual const char16_t* units() const = 0;
    virtual const char16_t* c_str() const = 0;
    virtual char16_t at(uint32_t index) const = 0;
    virtual char16_t* pointerAt(uint32_t index) = 0;

    // --- case ---
    virtual void reverse() = 0;
    virtual void toLower() = 0;
    virtual void toUpper() = 0;
    virtual void capitalize() = 0;
    virtual char16_t lowerAt(uint32_t index) const = 0;
    virtual char16_t upperAt(uint32_t index) const = 0;

    // --- find unit (forward: first position >= start; backward: last position < min(bound, length)) ---
    virtual bool indexOf(char16_t unit, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool indexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool indexOfAny(std::u16string_view set, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool indexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool lastIndexOf(char16_t unit, uint32_t& at, uint32_t bound = fromEnd) const = 0;
    virtual bool lastIndexOfIgnoreCase(char16_t unit, uint32_t& at, uint32_t bound = fromEnd) const = 0;
    virtual bool lastIndexOfAny(std::u16string_view set, uint32_t& at, uint32_t bound = fromEnd) const = 0;
    virtual bool lastIndexOfAnyIgnoreCase(std::u16string_view set, uint32_t& at, uint32_t bound = fromEnd) const = 0;

    // --- find text ---
    virtual bool indexOf(std::u16string_view text, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool indexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t start = 0) const = 0;
    virtual bool lastIndexOf(std::u16string_view text, uint32_t& at, uint32_t bound = fromEnd) const = 0;
    virtual bool lastIndexOfIgnoreCase(std::u16string_view text, uint32_t& at, uint32_t bound = fromEnd) const = 0;

    // --- match ---
    virtual bool matchesAt(uint32_t index, std::u16string_view text, int32_t count = -1) const = 0;
    virtual bool matchesAtIgnoreCase(uint32_t index, std::u16string_view text, int32_t count = -1) const = 0;

    // --- ends and starts ---
    virtual bool endsWith(std::u16string_view text) const = 0;
    virtual bool endsWithIgnoreCase(std::u16string_view text) const = 0;
    virtual bool startsWith(std::u16string_view text) const = 0;
    virtual bool startsWithIgnoreCase(std::u16string_view text) const = 0;

    // --- trim ---
    virtual void trimEnd(uint32_t minLength = 0) = 0;
    virtual void trimEndOf(std::u16string_view set, uint32_t minLength = 0) = 0;
    virtual void trimStart() = 0;
    virtual void trimStartOf(std::u16string_view set) = 0;

    // --- insert and append ---
    virtual void prepend(const char16_t* units, uint32_t count) = 0;
    virtual void prepend(std::u16string_view text) = 0;
    virtual void appendLatin1(const char* bytes, int64_t count = -1) = 0;
    virtual void append(const char16_t* units, uint32_t count) = 0;
    virtual void append(char16_t unit) = 0;
    virtual void append(std::u16string_view text) = 0;
    virtual void append(const IStr& text) = 0;

    // --- hex append (lowercase, fixed width, no separator) ---
    virtual void appendHex32(const uint32_t* values, uint32_t count) = 0;
    virtual void appendHex8(const uint8_t* values, uint32_t count) = 0;
    virtual void appendHex16(const uint16_t* values, uint32_t count) = 0;
    virtual void appendHex64(const uint64_t* values, uint32_t count) = 0;

    // --- replace (returns the number of replacements) ---
    virtual uint32_t replaceAll(std::u16string_view from, std::u16string_view to) = 0;
    virtual uint32_t replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to) = 0;

    // --- copy ---
    virtual thread::Pooled<StrBuffer> clone() const = 0;
    virtual void keepRange(uint32_t start, uint32_t end) = 0;
    virtual thread::Pooled<StrBuffer> substring(uint32_t start, uint32_t end) const = 0;

    // --- head before last (empty when there is no occurrence) ---
    virtual thread::Pooled<StrBuffer> headBeforeLast(char16_t unit) const = 0;
    virtual thread::Pooled<StrBuffer> headBeforeLastIgnoreCase(char16_t unit) const = 0;
    virtual thread::Pooled<StrBuffer> headBeforeLastOfAny(std::u16string_view set) const = 0;
    virtual thread::Pooled<StrBuffer> headBeforeLastOfAnyIgnoreCase(std::u16string_view set) const = 0;
    virtual thread::Pooled<StrBuffer> headBeforeLast(std::u16string_view text) const = 0;
    virtual thread::Pooled<StrBuffer> headBeforeLastIgnoreCase(std::u16string_view text) const = 0;

    // --- conversion to and from bytes ---
    virtual bool toByteStream(io::IOutputStream& out) const = 0;
    virtual void toUtf8Terminated(ArrayU08& out) const = 0;
    virtual void toUtf8(ArrayU08& out) const = 0;
    virtual void fromUtf8(const void* bytes, int64_t count = -1, bool append = false) = 0;
    virtual void toCodePageTerminated(ArrayU08& out, const CodePage& page) const = 0;
    virtual void toCodePage(ArrayU08& out, const CodePage& page) const = 0;
    virtual void fromCodePage(const void* bytes, int64_t count, const CodePage& page, bool append = false) = 0;
    virtual void toOemTerminated(ArrayU08& out) const = 0;
    virtual void toOem(ArrayU08& out) const = 0;
    virtual void fromOem(const void* bytes, int64_t count = -1, bool append = false) = 0;

    // --- numbers in ---
    virtual int32_t parseInt32() const = 0;
    virtual int32_t parseInt32(uint32_t from) const = 0;
    virtual int64_t parseInt64() const = 0;
    virtual int64_t parseInt64(uint32_t from) const = 0;
    virtual uint64_t parseUInt64() const = 0;
    virtual uint64_t parseUInt64(uint32_t from) const = 0;
    virtual float parseFloat() const = 0;
    virtual double parseDouble() const = 0;
    virtual bool isHex() const = 0;
    virtual uint8_t hexDigitAt(uint32_t index) const = 0;
    virtual void hexToBytes(ArrayU08& out, bool append = true) const = 0;
    virtual bool isInteger() const = 0;

    // --- split ---
    virtual thread::Pooled<StrArray> split(char16_t separator) const = 0;
    virtual thread::Pooled<StrArray> splitKeywords(bool dropCommonWords) const = 0;

    // --- append numbers ("%d", "%u", "%I64d", "%f") ---
    virtual void appendInt8(int8_t value) = 0;
    virtual void appendInt16(int16_t value) = 0;
    virtual void appendInt32(int32_t value) = 0;
    virtual void appendInt64(int64_t value) = 0;
    virtual void appendUInt8(uint8_t value) = 0;
    virtual void appendUInt16(uint16_t value) = 0;
    virtual void appendUInt32(uint32_t value) = 0;
    virtual void appendUInt64(uint64_t value) = 0;
    virtual void appendFloat(float value) = 0;
    virtual void appendDouble(double value) = 0;

    // --- assign (replace the content) ---
    virtual void assign(const IStr& text) = 0;
    virtual void assign(std::u16string_view text) = 0;
    virtual void assignLatin1(const char* bytes, int64_t count = -1) = 0;
    virtual void assignInt8(int8_t value) = 0;
    virtual void assignInt16(int16_t value) = 0;
    virtual void assignInt32(int32_t value) = 0;
    virtual void assignInt64(int64_t value) = 0;
    virtual void assignUInt8(uint8_t value) = 0;
    virtual void assignUInt16(uint16_t value) = 0;
    virtual void assignUInt32(uint32_t value) = 0;
    virtual void assignUInt64(uint64_t value) = 0;
    virtual void assignFloat(float value) = 0;
    virtual void assignDouble(double value) = 0;

    // --- iterators ---
    virtual thread::Pooled<Iterator> iteratorAtStart() const = 0;
    virtual thread::Pooled<Iterator> iteratorAtEnd() const = 0;
    virtual thread::Pooled<Iterator> iteratorAt(uint32_t index) const = 0;
    virtual thread::Pooled<Iterator> iteratorFromEnd(uint32_t index) const = 0;
};

}
