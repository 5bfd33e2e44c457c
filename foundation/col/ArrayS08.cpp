#include "foundation/col/ArrayS08.h"

#include "foundation/comp/CompS08.h"

namespace s::col::_array {

CompareFunction ArrayS08::defaultOrder() const
{
    return comp::CompS08::order;
}

const base::IComparator& ArrayS08::defaultComparator() const
{
    return comp::CompS08::instance();
}

void ArrayS08::describeElement(uint32_t index, std::string& out) const
{
    out += std::to_string(static_cast<int>(at(index)));
}

}
