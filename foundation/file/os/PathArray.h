#pragma once

#include "foundation/col/ArrayP.h"
#include "foundation/file/os/Path.h"

namespace s::file::os {

// An array of paths that owns them (folder listings): disposing of the elements returns every
// path to its pool. Removing an element does not dispose of it.
class PathArray final : public col::_array::ArrayP {
    S_POOLED_CLASS(PathArray, "s_file_os_PathArray")
public:
    PathArray();

    uint32_t size() const { return count(); }
    Path* at(uint32_t index) const { return static_cast<Path*>(items()[index]); }
    Path* operator[](uint32_t index) const { return at(index); }

    void add(thread::Pooled<Path> path) { push(path.take()); }
    // Orders the paths by their normalised text, byte by byte.
    void sortByPath();

protected:
    void describeElement(uint32_t index, std::string& out) const override;
};

}
