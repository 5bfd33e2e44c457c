#pragma once

#include "foundation/base/IDestructor.h"

namespace s::cleaner {

// Releases a pooled object given as an IObject* back to its own class's pool, whatever its
// class: for containers that hold IObject pointers of pooled classes (map keys and values).
class CleanerPooledIObject final : public base::IDestructor {
public:
    static CleanerPooledIObject& instance();
    void dispose(void*& object) override;
};

}
