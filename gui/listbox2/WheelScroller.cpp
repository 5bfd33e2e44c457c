#include "gui/listbox2/WheelScroller.h"

#include <algorithm>

namespace s::gui::listbox2 {

int32_t WheelScroller::notchPixels(int32_t linesPerNotch, int32_t rowHeight)
{
    return std::max(linesPerNotch * 15, rowHeight * 14 / 10);
}

int32_t WheelScroller::scroll(int32_t units, int32_t linesPerNotch, int32_t rowHeight)
{
    // A turn in the other direction starts afresh rather than first paying off the old part.
    // The remainder counts in the scrolling direction, which is against the turn's sign.
    if ((units > 0 && m_remainder > 0) || (units < 0 && m_remainder < 0))
        m_remainder = 0;
    m_remainder += static_cast<int64_t>(-units) * notchPixels(linesPerNotch, rowHeight);
    auto pixels = static_cast<int32_t>(m_remainder / unitsPerNotch);
    m_remainder -= static_cast<int64_t>(pixels) * unitsPerNotch;
    return pixels;
}

}
