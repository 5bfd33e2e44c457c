#pragma once

#include "foundation/comp/ValueComparator.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::comp {

// Signed bytes.
class CompS08 final : public ValueComparator<int8_t> {
    S_POOLED_CLASS(CompS08, "s_comp_CompS08")
public:
    // The process-wide one that arrays use as their default comparator.
    static const CompS08& instance()
    {
        static const CompS08 comparator;
        return comparator;
    }
};

}
