#include "foundation/base/IObject.h"
#include "foundation/cleaner/CleanerIObject.h"
#include "foundation/cleaner/CleanerRaw.h"
#include "foundation/cleaner/CleanerRawObject.h"

#include <cstdlib>
#include <new>

namespace s::cleaner {

CleanerIObject& CleanerIObject::instance()
{
    static CleanerIObject cleaner;
    return cleaner;
}

void CleanerIObject::dispose(void*& object)
{
    if (!object)
        return;
    delete static_cast<base::IObject*>(object);
    object = nullptr;
}

CleanerRaw& CleanerRaw::instance()
{
    static CleanerRaw cleaner;
    return cleaner;
}

void CleanerRaw::dispose(void*& block)
{
    if (!block)
        return;
    std::free(block);
    block = nullptr;
}

CleanerRawObject& CleanerRawObject::instance()
{
    static CleanerRawObject cleaner;
    return cleaner;
}

void CleanerRawObject::dispose(void*& block)
{
    if (!block)
        return;
    ::operator delete(block);
    block = nullptr;
}

}
