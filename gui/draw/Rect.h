#pragma once

#include <algorithm>
#include <cstdint>

namespace s::gui::draw {

struct Size {
    int32_t width { 0 };
    int32_t height { 0 };
    bool operator==(const Size&) const = default;
};

// A rectangle in device pixels; right and bottom are the first pixels outside it.
struct Rect {
    int32_t left { 0 };
    int32_t top { 0 };
    int32_t right { 0 };
    int32_t bottom { 0 };

    static constexpr Rect fromSize(int32_t x, int32_t y, int32_t w, int32_t h) { return { x, y, x + w, y + h }; }

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return left >= right || top >= bottom; }
    constexpr bool contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }

    constexpr Rect inset(int32_t l, int32_t t, int32_t r, int32_t b) const { return { left + l, top + t, right - r, bottom - b }; }
    constexpr Rect inset(int32_t dx, int32_t dy) const { return inset(dx, dy, dx, dy); }
    constexpr Rect inset(int32_t d) const { return inset(d, d, d, d); }
    constexpr Rect translated(int32_t dx, int32_t dy) const { return { left + dx, top + dy, right + dx, bottom + dy }; }
    constexpr Rect intersected(const Rect& o) const
    {
        return { std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom) };
    }

    bool operator==(const Rect&) const = default;
};

}
