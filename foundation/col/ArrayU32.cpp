#include "foundation/col/ArrayU32.h"

#include "foundation/comp/CompU32.h"

namespace s::col::_array {

CompareFunction ArrayU32::defaultOrder() const
{
    return comp::CompU32::order;
}

const base::IComparator& ArrayU32::defaultComparator() const
{
    return comp::CompU32::instance();
}

void ArrayU32::describeElement(uint32_t index, std::string& out) const
{
    out += std::to_string(at(index));
}

}
