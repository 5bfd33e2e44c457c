#pragma once

#include "foundation/map/HashTableBase.h"
#include "foundation/map/MapNode.h"
#include "foundation/thread/ObjLocker.h"

namespace s::map {

// The library's hash map (see HashTableBase for its rules). Its nodes come from the node pool,
// which keeps up to 10000 free, since tables gain and lose entries all the time.
//
// The table does not lock itself; owners that share one take locker() around their use.
class MapTable final : public HashTableBase {
    S_POOLED_CLASS(MapTable, "s_map_MapTable")
public:
    // The pool's get() above would hide the look-up.
    using HashTableBase::get;

    MapTable() = default;
    ~MapTable() override;

    thread::ObjLocker& locker() const { return m_locker; }

protected:
    MapNode* takeNode() override { return MapNode::get(); }
    void giveBack(MapNode* node) override { node->release(); }

private:
    mutable thread::ObjLocker m_locker;
};

}
