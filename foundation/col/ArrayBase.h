#pragma once

#include "foundation/base/IComparator.h"
#include "foundation/base/IDestructor.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ICollection.h"
#include "foundation/col/IEnumerable.h"
#include "foundation/col/Sort.h"
#include "foundation/io/IInputStream.h"
#include "foundation/io/IInputStreamable.h"
#include "foundation/io/IOutputStream.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>

namespace s::col::_array {

class Iterator;

// Codes that tell the typed arrays apart, for code that handles arrays of any type.
enum class ElementType : uint32_t {
    U08 = 1,
    S08 = 2,
    U32 = 3,
    S32 = 4,
    P = 5,
    S64 = 6,
};

// The one dynamic array of the library: a block of elements of 1 << shift bytes each. The
// typed arrays (ArrayU08 ... ArrayP) fix the element type; this class does the storage.
//
// Counts and indices are in elements. Nothing validates them: callers pass valid ranges
// (assertions catch mistakes in debug builds). Sources and buffers are raw element memory; a
// source may lie in this array's own block (appending a part of the array to itself), a
// target buffer of copyOut/take... may not.
//
// As a byte stream the array reads its elements' bytes from a read position and appends the
// bytes written to it, which is how files are read into an ArrayU08.
class ArrayBase : public ICollection
    , public base::IObject
    , public io::IInputStreamable
    , public IEnumerable
    , public io::IInputStream
    , public io::IOutputStream
    , public thread::IPoolable {
public:
    ~ArrayBase() override;

    ArrayBase(const ArrayBase&) = delete;
    ArrayBase& operator=(const ArrayBase&) = delete;

    // --- Copies between arrays of the same element width.
    // Makes target hold `count` (-1: all from sourceIndex on) elements of this array.
    virtual void copyTo(ArrayBase& target, uint32_t sourceIndex = 0, int64_t count = -1) const;
    // Makes this array hold `count` (-1: all from sourceIndex on) elements of source.
    virtual void copyFrom(const ArrayBase& source, uint32_t sourceIndex = 0, int64_t count = -1);

    // --- Size.
    uint32_t count() const override { return m_count; }
    // Grows the block to exactly n when it is smaller, then sets the count; new elements are
    // not initialised (the caller is about to fill them).
    virtual void setCount(uint32_t n);
    // Bytes of `count` elements, or of the whole array for -1.
    virtual uint64_t byteSize(int64_t count = -1) const;

    // --- Element moves. `source` and `buffer` are element arrays; their indices are elements.
    // Copies `count` (-1: all from sourceIndex on) elements to buffer[targetIndex...]; returns
    // the number copied.
    virtual uint32_t copyOut(void* buffer, uint32_t targetIndex = 0, uint32_t sourceIndex = 0, int64_t count = -1) const;
    // Overwrites from targetIndex on (targetIndex <= count); the count grows to cover the range.
    virtual void writeAt(const void* source, uint32_t count, uint32_t sourceIndex, uint32_t targetIndex);
    virtual void append(const void* source, uint32_t count, uint32_t sourceIndex = 0);
    virtual void prepend(const void* source, uint32_t count, uint32_t sourceIndex = 0);
    // index == count() appends, 0 prepends; later elements move up.
    virtual void insertAt(uint32_t index, const void* source, uint32_t count, uint32_t sourceIndex = 0);

    // These only forget elements; a pointer array's cleaner is not called.
    virtual void dropLast(uint32_t n);
    virtual void dropFirst(uint32_t n);
    virtual void removeRange(uint32_t index, uint32_t count);

    // Move elements out into buffer (from its index 0, or bufferIndex) and remove them.
    virtual void takeLast(uint32_t n, void* buffer);
    virtual void takeFirst(uint32_t n, void* buffer);
    virtual void takeRange(uint32_t index, void* buffer, uint32_t count, uint32_t bufferIndex = 0);

    // Byte order of elements [index, index + count) against bufferCount elements of buffer:
    // -1, 0 or 1; when one is a prefix of the other the shorter comes first.
    virtual int compareRange(uint32_t index, uint32_t count, const void* buffer, uint32_t bufferCount) const;

    // Count 0, block kept. A pointer array does not dispose of its elements here.
    void clear() override;
    // Disposes of owned elements (pointer arrays with a cleaner), then frees the block.
    virtual void freeStorage();

    virtual void swap(uint32_t i, uint32_t j);
    virtual void reverse();

    virtual ElementType elementType() const = 0;
    uint32_t elementTypeCode() const { return static_cast<uint32_t>(elementType()); }

    // For logging: the class name, " [", each element preceded by a space, "]".
    virtual std::string describe() const;

    // The comparator sort() uses when none is given.
    virtual const base::IComparator& defaultComparator() const = 0;

    // Stable sort by comparator (the default one when none).
    void sort(const base::IComparator* comparator = nullptr);
    // Stable sort with a plain compare function.
    void sort(CompareFunction compare, void* user);

    // --- Storage.
    uint32_t capacity() const { return m_capacity; }
    uint32_t shift() const { return m_shift; }
    uint32_t elementBytes() const override { return 1u << m_shift; }
    // Grows (by the growth rule) so that `n` elements fit.
    void ensureCapacity(uint32_t n);
    void* data() { return m_items; }
    const void* data() const { return m_items; }
    void* slot(uint32_t index) { return m_items + (static_cast<size_t>(index) << m_shift); }
    const void* slot(uint32_t index) const { return m_items + (static_cast<size_t>(index) << m_shift); }

    // --- IEnumerable
    uint32_t elementCount() const override { return m_count; }
    const void* elementAt(uint32_t index) const override { return slot(index); }
    const void* contiguousElements() const override { return m_items; }

    // --- Cursors (released when the holder goes).
    thread::Pooled<Iterator> iteratorAtStart() const;
    thread::Pooled<Iterator> iteratorAtEnd() const;
    thread::Pooled<Iterator> iteratorAt(uint32_t index) const;
    // index 0 is just past the last element, 1 before the last one, and so on.
    thread::Pooled<Iterator> iteratorFromEnd(uint32_t index) const;

    // --- Byte streams.
    // Reads the elements' bytes from the read position on.
    bool read(void* buffer, uint32_t count, uint32_t& got) override;
    // Appends bytes; the byte count must be a whole number of elements.
    bool write(const void* data, uint32_t count, uint32_t& written) override;
    uint64_t readPosition() const { return m_readPosition; }
    void setReadPosition(uint64_t bytes) { m_readPosition = bytes; }
    // Writes the elements' bytes.
    bool streamTo(io::IOutputStream& out) const override;

    // Empties the array (disposing of owned elements) and keeps its block.
    void reset() override;

protected:
    explicit ArrayBase(uint32_t shift);

    // Appends one element's text to out for describe().
    virtual void describeElement(uint32_t index, std::string& out) const = 0;
    // The default comparator's rule as a plain function, so sorting by it costs no virtual call.
    virtual CompareFunction defaultOrder() const = 0;

    // Growth for a one-element append; the fast path is inline.
    void growForOne()
    {
        if (m_count == m_capacity)
            ensureCapacity(m_count + 1);
    }

private:
    // Elements [sourceIndex, sourceIndex + count) of source, copied aside when they lie in this
    // array's block, which growing or opening a gap would move under them.
    const uint8_t* stableSource(const void* source, uint32_t count, uint32_t sourceIndex, std::string& aside) const;

protected:
    const uint32_t m_shift;
    uint8_t* m_items { nullptr };
    uint32_t m_count { 0 };
    uint32_t m_capacity { 0 };
    uint64_t m_readPosition { 0 };
    // Used by the pointer array only.
    base::IDestructor* m_cleaner { nullptr };
};

}
