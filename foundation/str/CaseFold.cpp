#include "foundation/str/CaseFold.h"

namespace s::str {

char16_t CaseFold::lookup(const Pair* table, uint32_t count, char16_t unit)
{
    uint32_t low = 0, high = count;
    while (low < high) {
        uint32_t mid = (low + high) / 2;
        if (table[mid].from < unit)
            low = mid + 1;
        else
            high = mid;
    }
    return low < count && table[low].from == unit ? table[low].to : unit;
}

}
