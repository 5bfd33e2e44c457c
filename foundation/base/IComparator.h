#pragma once

#include "foundation/base/IObject.h"

namespace s::base {

// Orders two elements given by address: for arrays, pointers to the element slots; for
// IComparable::compare, the two objects themselves.
class IComparator : public IObject {
public:
    virtual int compare(const void* a, const void* b) const = 0;
    virtual int compareIgnoreCase(const void* a, const void* b) const { return compare(a, b); }

    // An IComparator is itself an IObject; the order between comparators is by identity.
    using IObject::compare;
    using IObject::compareIgnoreCase;
};

}
