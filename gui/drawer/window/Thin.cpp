#include "gui/drawer/window/Thin.h"

#include <algorithm>

namespace s::gui::drawer::window {

using draw::Rect;

int32_t Thin::cornerInset(int32_t kind, int32_t row)
{
    static constexpr int32_t slight[] = { 2, 1 };
    static constexpr int32_t round[] = { 5, 3, 2, 2, 1 };
    if (row < 0)
        return 0;
    if (kind == 1)
        return row < 2 ? slight[row] : 0;
    if (kind == 2)
        return row < 5 ? round[row] : 0;
    return 0;
}

namespace {

// The inset of each row of the window from its nearest edge's corner kind.
int32_t rowInset(const Rect& w, int32_t y, int32_t topKind, int32_t bottomKind)
{
    const int32_t fromTop = y - w.top, fromBottom = w.bottom - 1 - y;
    return std::max(Thin::cornerInset(topKind, fromTop), Thin::cornerInset(bottomKind, fromBottom));
}

}

draw::Region Thin::makeRegion(const Rect& w) const
{
    draw::Region region;
    if (w.isEmpty())
        return region;
    // Rows with the same inset join into one rectangle.
    int32_t y = w.top;
    while (y < w.bottom) {
        const int32_t inset = rowInset(w, y, m_topCorner, m_bottomCorner);
        int32_t end = y + 1;
        while (end < w.bottom && rowInset(w, end, m_topCorner, m_bottomCorner) == inset)
            ++end;
        if (w.left + inset < w.right - inset)
            region.rects.push_back(Rect { w.left + inset, y, w.right - inset, end });
        y = end;
    }
    return region;
}

void Thin::paint(draw::ICanvas& canvas, const Rect& w) const
{
    if (w.isEmpty())
        return;
    if (!m_transparent) {
        for (const Rect& r : makeRegion(w).rects)
            canvas.fill(r, m_background);
    }
    // The frame: on each row the outermost pixels, stretched to meet the row before, so the stepped
    // corners are closed lines.
    for (int32_t y = w.top; y < w.bottom; ++y) {
        const int32_t inset = rowInset(w, y, m_topCorner, m_bottomCorner);
        const bool edgeRow = y == w.top || y == w.bottom - 1;
        if (edgeRow) {
            canvas.fill(Rect { w.left + inset, y, w.right - inset, y + 1 }, m_frame);
            continue;
        }
        const int32_t towardsEdge = y - w.top < w.bottom - 1 - y ? y - 1 : y + 1;
        const int32_t neighbour = rowInset(w, towardsEdge, m_topCorner, m_bottomCorner);
        const int32_t run = std::max(1, neighbour - inset);
        canvas.fill(Rect { w.left + inset, y, std::min(w.right, w.left + inset + run), y + 1 }, m_frame);
        canvas.fill(Rect { std::max(w.left, w.right - inset - run), y, w.right - inset, y + 1 }, m_frame);
    }
}

}
