#pragma once

#include "foundation/base/IComparator.h"
#include "foundation/thread/IPoolable.h"

namespace s::comp {

// Orders two element slots holding T by numeric value: -1, 0 or 1. compareIgnoreCase is
// compare. `order` is the same rule as a plain function for the merge sort.
template<class T>
class ValueComparator : public base::IComparator
    , public thread::IPoolable {
public:
    static int order(const void* a, const void* b, void* = nullptr)
    {
        T x = *static_cast<const T*>(a);
        T y = *static_cast<const T*>(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    }

    int compare(const void* a, const void* b) const override { return order(a, b); }
    int compareIgnoreCase(const void* a, const void* b) const override { return order(a, b); }
    using base::IObject::compare;
    using base::IObject::compareIgnoreCase;

    void reset() override { }
};

}
