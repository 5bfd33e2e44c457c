#include "foundation/col/ArrayS32.h"

#include "foundation/comp/CompS32.h"

namespace s::col::_array {

CompareFunction ArrayS32::defaultOrder() const
{
    return comp::CompS32::order;
}

const base::IComparator& ArrayS32::defaultComparator() const
{
    return comp::CompS32::instance();
}

void ArrayS32::describeElement(uint32_t index, std::string& out) const
{
    out += std::to_string(at(index));
}

}
