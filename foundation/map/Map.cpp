#include "foundation/map/Map.h"

namespace s::map {

Map::~Map()
{
    clear();
    freeBuckets();
}

}
