#pragma once

#include <cstdint>

namespace s::col {

// The growth rule shared by arrays and text buffers: the capacity a block of `capacity`
// elements grows to so that `needed` elements fit. Below 100 it becomes 100; below 10,000,000
// it triples; below 50,000,000 it doubles; below 100,000,000 it grows by half; above that by a
// fifth; repeated until the request fits. A capacity that already fits is returned unchanged.
constexpr uint64_t grownCapacity(uint64_t capacity, uint64_t needed)
{
    while (capacity < needed) {
        if (capacity < 100)
            capacity = 100;
        else if (capacity < 10'000'000)
            capacity *= 3;
        else if (capacity < 50'000'000)
            capacity *= 2;
        else if (capacity < 100'000'000)
            capacity += capacity / 2;
        else
            capacity += capacity / 5;
    }
    return capacity;
}

}
