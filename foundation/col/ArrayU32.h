#pragma once

#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// Unsigned 32-bit values.
class ArrayU32 final : public ArrayOf<uint32_t> {
    S_POOLED_CLASS(ArrayU32, "s_col__array_ArrayU32")
public:
    ElementType elementType() const override { return ElementType::U32; }
    const base::IComparator& defaultComparator() const override;

protected:
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;
};

}
