#include "foundation/col/Sort.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace s::col {

namespace {

// Ranges shorter than this are sorted by insertion.
constexpr uint32_t insertionCutOff = 7;

// The merge sort for one element width: Width bytes, or the runtime width when Width is 0.
// Fixed widths let the compiler turn every element copy into one load and store.
template<size_t Width>
class MergeSorter {
public:
    // scratch: one element's room, needed when the width is only known at run time.
    MergeSorter(size_t width, CompareFunction compare, void* user, uint8_t* scratch)
        : m_width(Width ? Width : width)
        , m_compare(compare)
        , m_user(user)
        , m_scratch(scratch)
    {
    }

    // Sorts dest[low, high) using src[low, high), which holds the same elements, as scratch.
    void sort(uint8_t* src, uint8_t* dest, uint32_t low, uint32_t high) const
    {
        uint32_t length = high - low;

        // Step 1: short ranges by insertion: each element moves left past every greater neighbour.
        // The moving element is held aside and its greater neighbours shift up one slot each,
        // which compares exactly as swapping it leftwards would, with a third of the copies.
        if (length < insertionCutOff) {
            alignas(8) uint8_t held[Width ? Width : 1];
            uint8_t* moving = Width ? held : m_scratch;
            for (uint32_t i = low + 1; i < high; ++i) {
                if (order(at(dest, i - 1), at(dest, i)) <= 0)
                    continue;
                copySlot(moving, at(dest, i));
                uint32_t j = i;
                do {
                    copySlot(at(dest, j), at(dest, j - 1));
                    --j;
                } while (j > low && order(at(dest, j - 1), moving) > 0);
                copySlot(at(dest, j), moving);
            }
            return;
        }

        // Step 2: sort both halves into src, using dest as their scratch.
        uint32_t mid = low + length / 2;
        sort(dest, src, low, mid);
        sort(dest, src, mid, high);

        // Step 3: halves already in order are copied as they are.
        if (order(at(src, mid - 1), at(src, mid)) <= 0) {
            std::memcpy(at(dest, low), at(src, low), length * width());
            return;
        }

        // Step 4: merge, taking from the left half on ties so equal elements keep their order.
        uint32_t p = low;
        uint32_t q = mid;
        for (uint32_t i = low; i < high; ++i) {
            if (q >= high || (p < mid && order(at(src, p), at(src, q)) <= 0))
                copySlot(at(dest, i), at(src, p++));
            else
                copySlot(at(dest, i), at(src, q++));
        }
    }

private:
    size_t width() const
    {
        if constexpr (Width != 0)
            return Width;
        else
            return m_width;
    }
    uint8_t* at(uint8_t* base, uint32_t index) const { return base + static_cast<size_t>(index) * width(); }
    int order(const void* a, const void* b) const { return m_compare(a, b, m_user); }
    void copySlot(uint8_t* to, const uint8_t* from) const { std::memcpy(to, from, width()); }
    size_t m_width;
    CompareFunction m_compare;
    void* m_user;
    uint8_t* m_scratch;
};

template<size_t Width>
void run(uint8_t* elements, uint8_t* copy, uint32_t count, size_t width, CompareFunction compare, void* user)
{
    MergeSorter<Width>(width, compare, user, copy + static_cast<size_t>(count) * width).sort(copy, elements, 0, count);
}

}

void mergeSort(void* elements, uint32_t count, uint32_t elementBytes, CompareFunction compare, void* user)
{
    if (count < 2)
        return;
    size_t bytes = static_cast<size_t>(count) * elementBytes;
    // The copy, plus one element of room for insertion at a run-time width.
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes + elementBytes));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, elements, bytes);
    auto* target = static_cast<uint8_t*>(elements);
    switch (elementBytes) {
    case 1:
        run<1>(target, copy, count, 1, compare, user);
        break;
    case 2:
        run<2>(target, copy, count, 2, compare, user);
        break;
    case 4:
        run<4>(target, copy, count, 4, compare, user);
        break;
    case 8:
        run<8>(target, copy, count, 8, compare, user);
        break;
    default:
        run<0>(target, copy, count, elementBytes, compare, user);
        break;
    }
    std::free(copy);
}

}
