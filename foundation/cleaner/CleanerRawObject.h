#pragma once

#include "foundation/base/IDestructor.h"

namespace s::cleaner {

// Releases storage with the plain delete operator (no destructor runs): for blocks that came
// from operator new.
class CleanerRawObject final : public base::IDestructor {
public:
    static CleanerRawObject& instance();
    void dispose(void*& block) override;
};

}
