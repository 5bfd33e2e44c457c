#pragma once

#include <cstdint>

namespace s::col {

// A container with a number of elements that can be emptied.
class ICollection {
public:
    virtual ~ICollection() = default;

    virtual uint32_t count() const = 0;
    // Empties the collection; storage is kept for reuse.
    virtual void clear() = 0;

    bool isEmpty() const { return count() == 0; }
};

}
