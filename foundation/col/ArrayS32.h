#pragma once

#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// Signed 32-bit values.
class ArrayS32 final : public ArrayOf<int32_t> {
    S_POOLED_CLASS(ArrayS32, "s_col__array_ArrayS32")
public:
    ElementType elementType() const override { return ElementType::S32; }
    const base::IComparator& defaultComparator() const override;

protected:
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;
};

}
