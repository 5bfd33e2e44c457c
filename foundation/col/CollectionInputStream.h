#pragma once

#include "foundation/base/IObject.h"
#include "foundation/col/IEnumerable.h"
#include "foundation/io/IInputStream.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::col {

// Reads a collection's element bytes as a byte stream, element after element, with a read
// position of its own: several readers can read one array at once without disturbing the
// array's own stream position. Elements added while reading are read too; the collection
// must outlive the stream.
class CollectionInputStream final : public base::IObject
    , public io::IInputStream
    , public thread::IPoolable {
    S_POOLED_CLASS(CollectionInputStream, "s_col_CollectionInputStream")
public:
    void attach(const IEnumerable* collection);

    bool read(void* buffer, uint32_t count, uint32_t& got) override;

    uint64_t position() const { return m_position; }
    void rewind() { m_position = 0; }

    void reset() override
    {
        m_collection = nullptr;
        m_position = 0;
    }

private:
    const IEnumerable* m_collection { nullptr };
    uint64_t m_position { 0 };
};

}
