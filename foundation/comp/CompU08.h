#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Unsigned bytes.
class CompU08 final : public ValueComparator<uint8_t> {
    S_POOLED_CLASS(CompU08, "s_comp_CompU08")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompU08& instance()
    {
        static const CompU08 comparator;
        return comparator;
    }
};

}
