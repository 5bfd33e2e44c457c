#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Signed 64-bit values.
class CompS64 final : public ValueComparator<int64_t> {
    S_POOLED_CLASS(CompS64, "s_comp_CompS64")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompS64& instance()
    {
        static const CompS64 comparator;
        return comparator;
    }
};

}
