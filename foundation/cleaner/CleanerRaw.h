#pragma once

#include "foundation/base/IDestructor.h"

namespace s::cleaner {

// Frees a block that came from malloc.
class CleanerRaw final : public base::IDestructor {
public:
    static CleanerRaw& instance();
    void dispose(void*& block) override;
};

}
