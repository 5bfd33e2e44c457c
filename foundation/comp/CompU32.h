#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Unsigned 32-bit values.
class CompU32 final : public ValueComparator<uint32_t> {
    S_POOLED_CLASS(CompU32, "s_comp_CompU32")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompU32& instance()
    {
        static const CompU32 comparator;
        return comparator;
    }
};

}
