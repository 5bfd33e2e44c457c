#include "foundation/cleaner/CleanerPooledIObject.h"

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"

#include <cassert>

namespace s::cleaner {

CleanerPooledIObject& CleanerPooledIObject::instance()
{
    static CleanerPooledIObject cleaner;
    return cleaner;
}

void CleanerPooledIObject::dispose(void*& object)
{
    if (!object)
        return;
    auto* poolable = dynamic_cast<thread::IPoolable*>(static_cast<base::IObject*>(object));
    assert(poolable && "CleanerPooledIObject holds an object of a class that is not pooled");
    poolable->release();
    object = nullptr;
}

}
