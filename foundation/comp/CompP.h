#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Pointer values (object addresses), unsigned.
class CompP final : public ValueComparator<uintptr_t> {
    S_POOLED_CLASS(CompP, "s_comp_CompP")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompP& instance()
    {
        static const CompP comparator;
        return comparator;
    }
};

}
