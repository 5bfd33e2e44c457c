#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Signed 32-bit values.
class CompS32 final : public ValueComparator<int32_t> {
    S_POOLED_CLASS(CompS32, "s_comp_CompS32")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompS32& instance()
    {
        static const CompS32 comparator;
        return comparator;
    }
};

}
