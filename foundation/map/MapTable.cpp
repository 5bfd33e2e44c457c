#include "foundation/map/MapTable.h"

namespace s::map {

MapTable::~MapTable()
{
    clear();
    freeBuckets();
}

}
