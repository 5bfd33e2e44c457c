#pragma once

#include <cstdint>

namespace s::col {

// Elements addressable by index, each a slot of elementBytes() bytes. Cursors walk a collection
// through this, so they stay valid when the collection moves its storage.
class IEnumerable {
public:
    virtual ~IEnumerable() = default;

    virtual uint32_t elementCount() const = 0;
    virtual uint32_t elementBytes() const = 0;
    // The slot of element index (index < elementCount()).
    virtual const void* elementAt(uint32_t index) const = 0;
    // All slots in one block, when the collection keeps them so (arrays do); else null.
    virtual const void* contiguousElements() const { return nullptr; }
};

}
