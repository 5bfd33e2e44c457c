#pragma once

#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// Signed 64-bit values.
class ArrayS64 final : public ArrayOf<int64_t> {
    S_POOLED_CLASS(ArrayS64, "s_col__array_ArrayS64")
public:
    ElementType elementType() const override { return ElementType::S64; }
    const base::IComparator& defaultComparator() const override;

protected:
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;
};

}
