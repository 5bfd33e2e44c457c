#pragma once

#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// Unsigned bytes: the program's byte buffer. Files are read into it, texts are encoded into it.
class ArrayU08 final : public ArrayOf<uint8_t> {
    S_POOLED_CLASS(ArrayU08, "s_col__array_ArrayU08")
public:
    ElementType elementType() const override { return ElementType::U08; }
    const base::IComparator& defaultComparator() const override;

protected:
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;
};

}
