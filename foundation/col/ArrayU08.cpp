#include "foundation/col/ArrayU08.h"

#include "foundation/comp/CompU08.h"

namespace s::col::_array {

CompareFunction ArrayU08::defaultOrder() const
{
    return comp::CompU08::order;
}

const base::IComparator& ArrayU08::defaultComparator() const
{
    return comp::CompU08::instance();
}

void ArrayU08::describeElement(uint32_t index, std::string& out) const
{
    out += std::to_string(static_cast<unsigned>(at(index)));
}

}
