#pragma once

#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// Signed bytes.
class ArrayS08 final : public ArrayOf<int8_t> {
    S_POOLED_CLASS(ArrayS08, "s_col__array_ArrayS08")
public:
    ElementType elementType() const override { return ElementType::S08; }
    const base::IComparator& defaultComparator() const override;

protected:
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;
};

}
