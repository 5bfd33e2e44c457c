#pragma once

#include <cstdint>

namespace s::col {

// Orders two element slots: negative, 0 or positive. `user` is the sort caller's value.
using CompareFunction = int (*)(const void* a, const void* b, void* user);

// Stable merge sort of `count` elements of `elementBytes` bytes each, in place. Equal elements
// keep their order. Needs one temporary copy of the elements.
void mergeSort(void* elements, uint32_t count, uint32_t elementBytes, CompareFunction compare, void* user);

}
