#pragma once

#include <cstdint>

namespace s::gui::layout {

// What a layout found out about its children: the smallest and largest content size (without the
// container's insets).
struct Extents {
    int32_t minWidth { 0 };
    int32_t minHeight { 0 };
    int32_t maxWidth { 0 };
    int32_t maxHeight { 0 };

    bool operator==(const Extents&) const = default;
};

}
