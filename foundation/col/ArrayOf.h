#pragma once

#include "foundation/col/ArrayBase.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <type_traits>

namespace s::col::_array {

// Typed access to an ArrayBase whose elements are T: element reads and writes, push, find,
// remove at index, and range-for over the elements.
template<class T>
class ArrayOf : public ArrayBase {
    static_assert(std::is_trivially_copyable_v<T> && std::has_single_bit(sizeof(T)) && sizeof(T) <= 8);

public:
    using Element = T;

    T* items() { return reinterpret_cast<T*>(m_items); }
    const T* items() const { return reinterpret_cast<const T*>(m_items); }

    T& operator[](uint32_t index)
    {
        assert(index < m_count);
        return items()[index];
    }
    const T& operator[](uint32_t index) const
    {
        assert(index < m_count);
        return items()[index];
    }
    T at(uint32_t index) const { return (*this)[index]; }
    T first() const { return (*this)[0]; }
    T last() const { return (*this)[m_count - 1]; }

    // Appends one element (the block grows by the growth rule).
    void push(T value)
    {
        growForOne();
        items()[m_count++] = value;
    }

    // Removes the element at index and returns it; when it was the last one the count just
    // drops, otherwise later elements move down. Nothing is disposed of.
    T removeAt(uint32_t index)
    {
        assert(index < m_count);
        T value = items()[index];
        if (index + 1 == m_count)
            --m_count;
        else
            removeRange(index, 1);
        return value;
    }

    // The first index holding value, or -1.
    int64_t find(T value) const
    {
        const T* p = items();
        for (uint32_t i = 0; i < m_count; ++i) {
            if (p[i] == value)
                return i;
        }
        return -1;
    }
    bool contains(T value) const { return find(value) >= 0; }

    // Range-for over the elements; invalidated by anything that grows the array.
    T* begin() { return items(); }
    T* end() { return items() + m_count; }
    const T* begin() const { return items(); }
    const T* end() const { return items() + m_count; }

protected:
    ArrayOf()
        : ArrayBase(static_cast<uint32_t>(std::countr_zero(sizeof(T))))
    {
    }
};

}
