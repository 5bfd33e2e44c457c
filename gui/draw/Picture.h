#pragma once

#include <cstdint>
#include <vector>

namespace s::gui::draw {

// An image held free of the platform: rows of 0xAARRGGBB pixels (not premultiplied), top row first.
struct Picture {
    int32_t width { 0 };
    int32_t height { 0 };
    std::vector<uint32_t> pixels;
    bool hasAlpha { false };

    bool isEmpty() const { return width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height); }
};

}
