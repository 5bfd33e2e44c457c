#pragma once

#include "foundation/base/IComparable.h"

namespace s::base {

class IObject : public IComparable {
public:
    // The full class name with "::" replaced by "_", for example "s_xml_Node".
    virtual const char* className() const = 0;

    // A fresh object of the same class, taken from the class's pool. Classes that are not pooled
    // (process-wide singletons such as the cleaners) have no instances to give and return null.
    virtual IObject* newInstance() const { return nullptr; }
};

}
