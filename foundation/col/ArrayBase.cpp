#include "foundation/col/ArrayBase.h"

#include "foundation/col/Growth.h"
#include "foundation/col/Iterator.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace s::col::_array {

namespace {

constexpr uint64_t maxElements = std::numeric_limits<uint32_t>::max();

int compareThroughComparator(const void* a, const void* b, void* user)
{
    return static_cast<const base::IComparator*>(user)->compare(a, b);
}

}

ArrayBase::ArrayBase(uint32_t shift)
    : m_shift(shift)
{
    assert(shift <= 3);
}

ArrayBase::~ArrayBase()
{
    std::free(m_items);
}

// Storage -----------------------------------------------------------------------------------------

static uint8_t* reallocate(uint8_t* block, uint64_t bytes)
{
    void* grown = std::realloc(block, bytes);
    if (!grown)
        throw std::bad_alloc();
    return static_cast<uint8_t*>(grown);
}

void ArrayBase::ensureCapacity(uint32_t n)
{
    if (n <= m_capacity)
        return;
    uint64_t capacity = std::min(grownCapacity(m_capacity, n), maxElements);
    m_items = reallocate(m_items, capacity << m_shift);
    m_capacity = static_cast<uint32_t>(capacity);
}

void ArrayBase::setCount(uint32_t n)
{
    if (n > m_capacity) {
        m_items = reallocate(m_items, static_cast<uint64_t>(n) << m_shift);
        m_capacity = n;
    }
    m_count = n;
}

uint64_t ArrayBase::byteSize(int64_t count) const
{
    uint64_t n = count < 0 ? m_count : static_cast<uint64_t>(count);
    return n << m_shift;
}

void ArrayBase::clear()
{
    m_count = 0;
    m_readPosition = 0;
}

void ArrayBase::freeStorage()
{
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
    m_readPosition = 0;
}

void ArrayBase::reset()
{
    clear();
}

// Copies between arrays ---------------------------------------------------------------------------

void ArrayBase::copyTo(ArrayBase& target, uint32_t sourceIndex, int64_t count) const
{
    assert(target.m_shift == m_shift);
    assert(sourceIndex <= m_count);
    if (&target == this) {
        // Copying an array onto itself keeps just the range.
        uint32_t n = count < 0 ? m_count - sourceIndex : static_cast<uint32_t>(count);
        target.removeRange(0, sourceIndex);
        target.m_count = n;
        return;
    }
    uint32_t n = count < 0 ? m_count - sourceIndex : static_cast<uint32_t>(count);
    assert(static_cast<uint64_t>(sourceIndex) + n <= m_count);
    target.m_count = 0;
    target.ensureCapacity(n);
    if (n)
        std::memcpy(target.m_items, slot(sourceIndex), static_cast<size_t>(n) << m_shift);
    target.m_count = n;
}

void ArrayBase::copyFrom(const ArrayBase& source, uint32_t sourceIndex, int64_t count)
{
    source.copyTo(*this, sourceIndex, count);
}

// Element moves -----------------------------------------------------------------------------------

uint32_t ArrayBase::copyOut(void* buffer, uint32_t targetIndex, uint32_t sourceIndex, int64_t count) const
{
    assert(sourceIndex <= m_count);
    uint32_t n = count < 0 ? m_count - sourceIndex : static_cast<uint32_t>(count);
    assert(static_cast<uint64_t>(sourceIndex) + n <= m_count);
    if (n)
        std::memcpy(static_cast<uint8_t*>(buffer) + (static_cast<size_t>(targetIndex) << m_shift), slot(sourceIndex),
            static_cast<size_t>(n) << m_shift);
    return n;
}

const uint8_t* ArrayBase::stableSource(const void* source, uint32_t count, uint32_t sourceIndex, std::string& aside) const
{
    const auto* first = static_cast<const uint8_t*>(source) + (static_cast<size_t>(sourceIndex) << m_shift);
    size_t bytes = static_cast<size_t>(count) << m_shift;
    auto address = reinterpret_cast<uintptr_t>(first);
    auto block = reinterpret_cast<uintptr_t>(m_items);
    bool inBlock = m_items && address < block + (static_cast<size_t>(m_capacity) << m_shift) && address + bytes > block;
    if (!inBlock)
        return first;
    aside.assign(reinterpret_cast<const char*>(first), bytes);
    return reinterpret_cast<const uint8_t*>(aside.data());
}

void ArrayBase::writeAt(const void* source, uint32_t count, uint32_t sourceIndex, uint32_t targetIndex)
{
    assert(targetIndex <= m_count);
    uint64_t end = static_cast<uint64_t>(targetIndex) + count;
    assert(end <= maxElements);
    if (!count)
        return;
    std::string aside;
    const uint8_t* from = stableSource(source, count, sourceIndex, aside);
    ensureCapacity(static_cast<uint32_t>(end));
    std::memmove(slot(targetIndex), from, static_cast<size_t>(count) << m_shift);
    m_count = std::max(m_count, static_cast<uint32_t>(end));
}

void ArrayBase::append(const void* source, uint32_t count, uint32_t sourceIndex)
{
    writeAt(source, count, sourceIndex, m_count);
}

void ArrayBase::prepend(const void* source, uint32_t count, uint32_t sourceIndex)
{
    insertAt(0, source, count, sourceIndex);
}

void ArrayBase::insertAt(uint32_t index, const void* source, uint32_t count, uint32_t sourceIndex)
{
    assert(index <= m_count);
    if (!count)
        return;
    assert(static_cast<uint64_t>(m_count) + count <= maxElements);
    std::string aside;
    const uint8_t* from = stableSource(source, count, sourceIndex, aside);
    ensureCapacity(m_count + count);
    // Step 1: open the gap; step 2: fill it.
    std::memmove(slot(index + count), slot(index), static_cast<size_t>(m_count - index) << m_shift);
    std::memcpy(slot(index), from, static_cast<size_t>(count) << m_shift);
    m_count += count;
}

void ArrayBase::dropLast(uint32_t n)
{
    assert(n <= m_count);
    m_count -= n;
}

void ArrayBase::dropFirst(uint32_t n)
{
    removeRange(0, n);
}

void ArrayBase::removeRange(uint32_t index, uint32_t count)
{
    assert(static_cast<uint64_t>(index) + count <= m_count);
    if (!count)
        return;
    uint32_t after = m_count - index - count;
    if (after)
        std::memmove(slot(index), slot(index + count), static_cast<size_t>(after) << m_shift);
    m_count -= count;
}

void ArrayBase::takeLast(uint32_t n, void* buffer)
{
    assert(n <= m_count);
    copyOut(buffer, 0, m_count - n, n);
    m_count -= n;
}

void ArrayBase::takeFirst(uint32_t n, void* buffer)
{
    takeRange(0, buffer, n, 0);
}

void ArrayBase::takeRange(uint32_t index, void* buffer, uint32_t count, uint32_t bufferIndex)
{
    copyOut(buffer, bufferIndex, index, count);
    removeRange(index, count);
}

int ArrayBase::compareRange(uint32_t index, uint32_t count, const void* buffer, uint32_t bufferCount) const
{
    assert(static_cast<uint64_t>(index) + count <= m_count);
    uint32_t common = std::min(count, bufferCount);
    if (common) {
        int order = std::memcmp(slot(index), buffer, static_cast<size_t>(common) << m_shift);
        if (order)
            return order < 0 ? -1 : 1;
    }
    if (count == bufferCount)
        return 0;
    return count < bufferCount ? -1 : 1;
}

void ArrayBase::swap(uint32_t i, uint32_t j)
{
    assert(i < m_count && j < m_count);
    if (i == j)
        return;
    uint8_t held[8];
    size_t width = elementBytes();
    std::memcpy(held, slot(i), width);
    std::memcpy(slot(i), slot(j), width);
    std::memcpy(slot(j), held, width);
}

void ArrayBase::reverse()
{
    if (m_count < 2)
        return;
    for (uint32_t i = 0, j = m_count - 1; i < j; ++i, --j)
        swap(i, j);
}

// Text, sort, cursors -----------------------------------------------------------------------------

std::string ArrayBase::describe() const
{
    std::string text = className();
    text += " [";
    for (uint32_t i = 0; i < m_count; ++i) {
        text += ' ';
        describeElement(i, text);
    }
    text += ']';
    return text;
}

void ArrayBase::sort(const base::IComparator* comparator)
{
    if (!comparator) {
        mergeSort(m_items, m_count, elementBytes(), defaultOrder(), nullptr);
        return;
    }
    mergeSort(m_items, m_count, elementBytes(), compareThroughComparator, const_cast<base::IComparator*>(comparator));
}

void ArrayBase::sort(CompareFunction compare, void* user)
{
    mergeSort(m_items, m_count, elementBytes(), compare, user);
}

thread::Pooled<Iterator> ArrayBase::iteratorAt(uint32_t index) const
{
    assert(index <= m_count);
    thread::Pooled<Iterator> iterator;
    iterator->attach(this, index);
    return iterator;
}

thread::Pooled<Iterator> ArrayBase::iteratorAtStart() const
{
    return iteratorAt(0);
}

thread::Pooled<Iterator> ArrayBase::iteratorAtEnd() const
{
    return iteratorAt(m_count);
}

thread::Pooled<Iterator> ArrayBase::iteratorFromEnd(uint32_t index) const
{
    assert(index <= m_count);
    return iteratorAt(m_count - index);
}

// Byte streams ------------------------------------------------------------------------------------

bool ArrayBase::read(void* buffer, uint32_t count, uint32_t& got)
{
    uint64_t bytes = byteSize();
    if (m_readPosition >= bytes || count == 0) {
        got = 0;
        return false;
    }
    got = static_cast<uint32_t>(std::min<uint64_t>(count, bytes - m_readPosition));
    std::memcpy(buffer, m_items + m_readPosition, got);
    m_readPosition += got;
    return true;
}

bool ArrayBase::write(const void* data, uint32_t count, uint32_t& written)
{
    assert((count & (elementBytes() - 1)) == 0);
    append(data, count >> m_shift, 0);
    written = count;
    return true;
}

bool ArrayBase::streamTo(io::IOutputStream& out) const
{
    constexpr uint64_t chunk = uint64_t(1) << 30;
    uint64_t bytes = byteSize();
    for (uint64_t done = 0; done < bytes;) {
        uint32_t n = static_cast<uint32_t>(std::min(chunk, bytes - done));
        uint32_t written = 0;
        if (!out.write(m_items + done, n, written) || written != n)
            return false;
        done += n;
    }
    return true;
}

}
