#pragma once

#include "foundation/map/HashTableBase.h"
#include "foundation/map/MapNode.h"

namespace s::map {

// A hash map with the same rules as MapTable whose nodes are plain heap blocks: for tables
// that live as long as the program (the toolkit's registries), where a pooled node would only
// hold memory in the pool afterwards. No lock.
class Map final : public HashTableBase {
    S_POOLED_CLASS(Map, "s_map_Map")
public:
    // The pool's get() above would hide the look-up.
    using HashTableBase::get;

    Map() = default;
    ~Map() override;

protected:
    MapNode* takeNode() override { return new MapNode(); }
    void giveBack(MapNode* node) override { delete node; }
};

}
