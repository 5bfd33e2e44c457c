#pragma once

#include "foundation/base/IObject.h"
#include "foundation/col/IEnumerable.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cassert>
#include <cstdint>

namespace s::col::_array {

// A cursor over an array (any IEnumerable), between elements like a text cursor: next()
// hands out the element after it and moves past it, previous() the one before it and moves
// back. Steps are one element; skips are counts of elements, clamped to the ends.
//
// The cursor keeps an index, not an address, so it survives the array growing; it must not
// outlive the array.
class Iterator final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Iterator, "s_col_array_Iterator")
public:
    void attach(const IEnumerable* collection, uint32_t position);

    bool hasNext() const { return m_collection && m_position < m_collection->elementCount(); }
    bool hasPrevious() const { return m_collection && m_position > 0; }

    // The slot of the next element; the cursor moves past it.
    const void* next()
    {
        assert(hasNext());
        return m_collection->elementAt(m_position++);
    }
    // The slot of the previous element; the cursor moves before it.
    const void* previous()
    {
        assert(hasPrevious());
        return m_collection->elementAt(--m_position);
    }
    template<class T>
    T nextAs() { return *static_cast<const T*>(next()); }
    template<class T>
    T previousAs() { return *static_cast<const T*>(previous()); }

    void skip(uint32_t count);
    void skipBack(uint32_t count);

    uint32_t position() const { return m_position; }

    void reset() override
    {
        m_collection = nullptr;
        m_position = 0;
    }

private:
    const IEnumerable* m_collection { nullptr };
    uint32_t m_position { 0 };
};

}
