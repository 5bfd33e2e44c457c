#include "foundation/col/Iterator.h"

#include <algorithm>

namespace s::col::_array {

void Iterator::attach(const IEnumerable* collection, uint32_t position)
{
    assert(collection && position <= collection->elementCount());
    m_collection = collection;
    m_position = position;
}

void Iterator::skip(uint32_t count)
{
    assert(m_collection);
    uint32_t left = m_collection->elementCount() - m_position;
    m_position += std::min(count, left);
}

void Iterator::skipBack(uint32_t count)
{
    m_position -= std::min(count, m_position);
}

}
