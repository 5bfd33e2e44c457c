#include "foundation/base/IComparable.h"

#include "foundation/base/IComparator.h"

#include <typeinfo>

namespace s::base {

int IComparable::compare(const IComparable* other, const IComparator* comparator) const
{
    if (comparator)
        return comparator->compare(this, other);
    if (this == other)
        return 0;
    return reinterpret_cast<uintptr_t>(this) < reinterpret_cast<uintptr_t>(other) ? -1 : 1;
}

int IComparable::compareIgnoreCase(const IComparable* other, const IComparator* comparator) const
{
    if (comparator)
        return comparator->compareIgnoreCase(this, other);
    return compare(other, nullptr);
}

bool IComparable::equals(const IComparable* other, const IComparator* comparator) const
{
    return compare(other, comparator) == 0;
}

bool IComparable::equalsIgnoreCase(const IComparable* other, const IComparator* comparator) const
{
    return compareIgnoreCase(other, comparator) == 0;
}

uint32_t IComparable::hash() const
{
    // The class's identity: the same for every object of one class, stable within a run.
    return static_cast<uint32_t>(typeid(*this).hash_code());
}

uint32_t IComparable::hashIgnoreCase() const
{
    return hash();
}

}
