#include "foundation/file/os/PathArray.h"

#include "foundation/base/IDestructor.h"
#include "foundation/str/StrBuffer.h"

#include <algorithm>

namespace s::file::os {

namespace {

class PathCleaner final : public base::IDestructor {
public:
    void dispose(void*& object) override
    {
        if (object)
            static_cast<Path*>(object)->release();
        object = nullptr;
    }
};

PathCleaner& pathCleaner()
{
    static PathCleaner cleaner;
    return cleaner;
}

}

PathArray::PathArray()
    : ArrayP(&pathCleaner())
{
}

void PathArray::sortByPath()
{
    std::stable_sort(begin(), end(), [](void* a, void* b) {
        return static_cast<Path*>(a)->nativePath() < static_cast<Path*>(b)->nativePath();
    });
}

void PathArray::describeElement(uint32_t index, std::string& out) const
{
    out += at(index)->nativePath();
}

}
