#pragma once

namespace s::base {

// Disposes of the object a pointer holds and clears the pointer; a null pointer is left alone.
// Containers use one as their cleaner, so an element pointer must be stored as exactly the type
// the cleaner expects (an IObject* for CleanerIObject, a T* for the pool of T).
class IDestructor {
public:
    virtual ~IDestructor() = default;
    virtual void dispose(void*& object) = 0;
};

}
