#pragma once

namespace s::thread {

// The second base of every pooled class. Users never delete a pooled object: they release it.
class IPoolable {
public:
    virtual ~IPoolable() = default;

    // Hands this object back to its class's pool (which resets it or destroys it when full).
    virtual void release() = 0;

    // Brings the object back to the state of a new one: owned objects released, buffers
    // emptied (their capacity kept), flags cleared.
    virtual void reset() = 0;
};

}
