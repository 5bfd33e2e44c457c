#pragma once

#include <cstdint>

namespace s::base {

class IComparator;

// The ordering and hashing every library object offers. Without a comparator, objects are
// identities: ordered by address, hashed by class. Value classes (texts, say) override these.
class IComparable {
public:
    virtual ~IComparable() = default;

    virtual int compare(const IComparable* other, const IComparator* comparator = nullptr) const;
    virtual int compareIgnoreCase(const IComparable* other, const IComparator* comparator = nullptr) const;
    virtual bool equals(const IComparable* other, const IComparator* comparator = nullptr) const;
    virtual bool equalsIgnoreCase(const IComparable* other, const IComparator* comparator = nullptr) const;
    virtual uint32_t hash() const;
    virtual uint32_t hashIgnoreCase() const;
};

}
