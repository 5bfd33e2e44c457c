#include "foundation/col/ArrayS64.h"

#include "foundation/comp/CompS64.h"

namespace s::col::_array {

CompareFunction ArrayS64::defaultOrder() const
{
    return comp::CompS64::order;
}

const base::IComparator& ArrayS64::defaultComparator() const
{
    return comp::CompS64::instance();
}

void ArrayS64::describeElement(uint32_t index, std::string& out) const
{
    out += std::to_string(at(index));
}

}
