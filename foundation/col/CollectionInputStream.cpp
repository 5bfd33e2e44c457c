#include "foundation/col/CollectionInputStream.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace s::col {

void CollectionInputStream::attach(const IEnumerable* collection)
{
    m_collection = collection;
    m_position = 0;
}

bool CollectionInputStream::read(void* buffer, uint32_t count, uint32_t& got)
{
    got = 0;
    if (!m_collection || count == 0)
        return false;
    uint32_t width = m_collection->elementBytes();
    uint64_t total = static_cast<uint64_t>(m_collection->elementCount()) * width;
    auto* out = static_cast<uint8_t*>(buffer);
    if (const auto* block = static_cast<const uint8_t*>(m_collection->contiguousElements())) {
        if (m_position >= total)
            return false;
        got = static_cast<uint32_t>(std::min<uint64_t>(count, total - m_position));
        std::memcpy(out, block + m_position, got);
        m_position += got;
        return true;
    }
    // Otherwise element by element.
    while (got < count && m_position < total) {
        uint32_t index = static_cast<uint32_t>(m_position / width);
        uint32_t offset = static_cast<uint32_t>(m_position % width);
        uint32_t n = std::min(width - offset, count - got);
        std::memcpy(out + got, static_cast<const uint8_t*>(m_collection->elementAt(index)) + offset, n);
        got += n;
        m_position += n;
    }
    return got > 0;
}

}
