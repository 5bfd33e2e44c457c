#pragma once

#include "foundation/base/IDestructor.h"

namespace s::cleaner {

// Deletes an IObject through its virtual destructor. The pointer must hold an IObject*.
class CleanerIObject final : public base::IDestructor {
public:
    static CleanerIObject& instance();
    void dispose(void*& object) override;
};

}
