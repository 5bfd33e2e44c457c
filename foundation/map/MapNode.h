#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::map {

// One entry of a MapTable's chains. Nodes are pooled (up to 10000 kept free) because tables
// gain and lose entries all the time.
class MapNode final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(MapNode, "s_map_MapNode")
public:
    static constexpr uint32_t poolMaxFree = 10000;

    void reset() override
    {
        hash = 0;
        key = nullptr;
        value = nullptr;
        next = nullptr;
    }

    uint32_t hash { 0 };
    base::IObject* key { nullptr };
    base::IObject* value { nullptr };
    MapNode* next { nullptr };
};

}
