#include "gui/layout/Algorithms.h"

#include "gui/IContainer.h"

#include <algorithm>
#include <vector>

namespace s::gui::layout {

namespace {

// Suspends the taking-part children for the duration of one layout, then resumes and repaints
// them, so that every child's platform window moves once. Nothing to do when the container is
// suspended itself: its children were suspended with it and resume with it.
class Batch {
public:
    Batch(IContainer& c, bool visibleOnly)
        : m_container(c)
        , m_active(!c.isLayoutSuspended())
        , m_visibleOnly(visibleOnly)
    {
        if (!m_active)
            return;
        for (uint32_t i = 0; i < c.getChildCount(); ++i) {
            IComponent* child = c.getChild(i);
            if (takesPart(child))
                child->suspendLayout();
        }
    }
    ~Batch()
    {
        if (!m_active)
            return;
        for (uint32_t i = 0; i < m_container.getChildCount(); ++i) {
            IComponent* child = m_container.getChild(i);
            if (takesPart(child) && child->isLayoutSuspended()) {
                child->resumeLayout();
                child->repaint();
            }
        }
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    bool takesPart(IComponent* child) const { return !m_visibleOnly || child->isVisible(); }

private:
    IContainer& m_container;
    bool m_active;
    bool m_visibleOnly;
};

// Sums sizes along an axis by the gap rule: a gap before a child only when the previous child has
// a size of at least 1, and a gap after which no child of size 1 or more came is not counted.
class GapSum {
public:
    explicit GapSum(int32_t gap)
        : m_gap(gap)
    {
    }
    void add(int32_t size, int32_t maxSize)
    {
        if (m_count > 0 && m_previous >= 1) {
            m_min += m_gap;
            m_max += m_gap;
            m_unconfirmedGap = true;
        }
        m_min += size;
        m_max += maxSize;
        if (size >= 1)
            m_unconfirmedGap = false;
        m_previous = size;
        ++m_count;
    }
    int32_t min() const { return m_min - (m_unconfirmedGap ? m_gap : 0); }
    int32_t max() const { return m_max - (m_unconfirmedGap ? m_gap : 0); }

private:
    int32_t m_gap;
    int32_t m_min { 0 };
    int32_t m_max { 0 };
    int32_t m_previous { 0 };
    uint32_t m_count { 0 };
    bool m_unconfirmedGap { false };
};

int32_t alignedStart(int32_t align, int32_t space)
{
    if (space < 1)
        return 0;
    return align == 1 ? space / 2 : align == 2 ? space : 0;
}

int32_t upper(IComponent* child, bool horizontal)
{
    return horizontal ? std::max(child->getMinWidth(), child->getMaxWidth())
                      : std::max(child->getMinHeight(), child->getMaxHeight());
}

// Step 5 of the row and column layouts: hands the free space to the children along the axis.
// Returns what stays free.
int32_t distribute(IContainer& c, bool horizontal, int32_t avail, int32_t sumMin, int32_t sumMax)
{
    int32_t space = std::max(avail, sumMin);
    int32_t free = space - sumMin;
    if (free < 1 || sumMax <= sumMin)
        return free;
    uint32_t n = c.getChildCount();
    auto size = [horizontal](IComponent* ch) { return horizontal ? ch->getWidth() : ch->getHeight(); };
    auto maxOf = [horizontal](IComponent* ch) { return horizontal ? ch->getMaxWidth() : ch->getMaxHeight(); };
    auto grow = [horizontal](IComponent* ch, int32_t by) {
        if (horizontal)
            ch->setSize(ch->getWidth() + by, ch->getHeight());
        else
            ch->setSize(ch->getWidth(), ch->getHeight() + by);
    };
    if (space < sumMax) {
        // a. Everyone grows by the same share of what it still may grow.
        float ratio = static_cast<float>(free) / static_cast<float>(sumMax - sumMin);
        for (uint32_t i = 0; i < n; ++i) {
            IComponent* ch = c.getChild(i);
            int32_t room = maxOf(ch) - size(ch);
            if (room <= 0)
                continue;
            int32_t by = std::min(room, static_cast<int32_t>(ratio * static_cast<float>(room)));
            if (by > 0) {
                grow(ch, by);
                free -= by;
            }
        }
        // b. The rounding remainder goes to the children in order, each up to its maximum.
        for (uint32_t i = 0; i < n && free > 0; ++i) {
            IComponent* ch = c.getChild(i);
            int32_t by = std::min(free, maxOf(ch) - size(ch));
            if (by > 0) {
                grow(ch, by);
                free -= by;
            }
        }
        return free;
    }
    // Everything fits at its maximum.
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        int32_t by = maxOf(ch) - size(ch);
        if (by > 0)
            grow(ch, by);
    }
    return space - sumMax;
}

}

void column(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t gap, Extents* out)
{
    Batch batch(c, false);
    uint32_t n = c.getChildCount();
    int32_t availW = c.getInnerWidth();
    int32_t availH = c.getInnerHeight();

    // 1. Widest minimum and widest maximum.
    int32_t minW = 0;
    int32_t maxW = 0;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        minW = std::max(minW, ch->getMinWidth());
        maxW = std::max(maxW, upper(ch, true));
    }
    // 2. The column's width.
    int32_t colW = std::max(availW, minW);
    // 3. Every child as wide as the column allows and at its minimum height.
    GapSum sum(gap);
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        ch->resizeConstrained(colW, 0);
        sum.add(ch->getHeight(), std::max(ch->getMaxHeight(), ch->getHeight()));
    }
    // 4. and 5. Free height to the children.
    int32_t free = distribute(c, false, availH, sum.min(), sum.max());
    // 6. and 7. Place.
    int32_t y = alignedStart(vAlign, free);
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (i > 0 && c.getChild(i - 1)->getHeight() >= 1)
            y += gap;
        ch->setLocation(alignedStart(hAlign, colW - ch->getWidth()), y);
        y += ch->getHeight();
    }
    // 8. Report.
    if (out)
        *out = { minW, sum.min(), maxW, sum.max() };
}

void row(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t gap, Extents* out)
{
    Batch batch(c, false);
    uint32_t n = c.getChildCount();
    int32_t availW = c.getInnerWidth();
    int32_t availH = c.getInnerHeight();

    // 1. Every child at its minimum width while the widths are summed.
    GapSum sum(gap);
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        ch->resizeConstrained(0, ch->getHeight());
        sum.add(ch->getWidth(), upper(ch, true));
    }
    // 2. The row's height.
    int32_t minH = 0;
    int32_t maxH = 0;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        minH = std::max(minH, ch->getMinHeight());
        maxH = std::max(maxH, upper(ch, false));
    }
    int32_t rowH = std::max(availH, minH);
    // 3. Free width to the children.
    int32_t free = distribute(c, true, availW, sum.min(), sum.max());
    // 4. The cross size: as tall as the row, up to each child's maximum.
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        ch->resizeConstrained(ch->getWidth(), std::max(rowH, ch->getMinHeight()));
    }
    // 5. Place.
    int32_t x = alignedStart(hAlign, free);
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (i > 0 && c.getChild(i - 1)->getWidth() >= 1)
            x += gap;
        ch->setLocation(x, alignedStart(vAlign, rowH - ch->getHeight()));
        x += ch->getWidth();
    }
    // 6. Report.
    if (out)
        *out = { sum.min(), minH, sum.max(), maxH };
}

void flow(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t hGap, int32_t vGap, Extents* out)
{
    Batch batch(c, false);
    uint32_t n = c.getChildCount();
    int32_t availW = c.getInnerWidth();
    int32_t availH = c.getInnerHeight();
    auto counts = [](IComponent* ch) { return ch->isVisible() && ch->getWidth() > 0; };

    // 1. The line width: at least the widest minimum.
    int32_t minW = 0;
    for (uint32_t i = 0; i < n; ++i)
        minW = std::max(minW, c.getChild(i)->getMinWidth());
    int32_t lineW = std::max(availW, minW);

    // 2. Measure and break into lines.
    struct Line {
        uint32_t first;
        uint32_t end;
        int32_t used;
        int32_t height;
        int32_t maxHeight;
        bool hasCounting;
    };
    std::vector<Line> lines;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        ch->resizeConstrained(lineW, 0);
        int32_t w = ch->getWidth();
        bool childCounts = counts(ch);
        int32_t g = (childCounts && !lines.empty() && lines.back().hasCounting) ? hGap : 0;
        if (lines.empty() || (lines.back().end > lines.back().first && lineW - lines.back().used - g - w < 0)) {
            lines.push_back({ i, i, 0, 0, 0, false });
            g = 0;
        }
        Line& line = lines.back();
        line.end = i + 1;
        line.used += g + w;
        line.hasCounting = line.hasCounting || childCounts;
        line.height = std::max(line.height, ch->getHeight());
        line.maxHeight = std::max(line.maxHeight, std::max(ch->getMaxHeight(), ch->getHeight()));
    }
    GapSum sum(vGap);
    for (const Line& line : lines)
        sum.add(line.height, line.maxHeight);

    // 3. Free height: every child grows by the same share of its (maximum - minimum) height.
    int32_t free = std::max(availH, sum.min()) - sum.min();
    if (free > 0 && sum.min() < sum.max()) {
        float share = static_cast<float>(free) / static_cast<float>(sum.max() - sum.min());
        for (Line& line : lines) {
            int32_t grown = line.height;
            for (uint32_t i = line.first; i < line.end; ++i) {
                IComponent* ch = c.getChild(i);
                int32_t room = std::max(ch->getMaxHeight(), ch->getMinHeight()) - ch->getMinHeight();
                int32_t by = std::min(static_cast<int32_t>(share * static_cast<float>(room)),
                    std::max(0, ch->getMaxHeight() - ch->getHeight()));
                if (by > 0)
                    ch->setSize(ch->getWidth(), ch->getHeight() + by);
                grown = std::max(grown, ch->getHeight());
            }
            free -= grown - line.height;
            line.height = grown;
        }
        free = std::max(0, free);
    }

    // 4. and 5. Place line by line.
    int32_t top = alignedStart(vAlign, free);
    for (size_t l = 0; l < lines.size(); ++l) {
        const Line& line = lines[l];
        if (l > 0 && lines[l - 1].height >= 1)
            top += vGap;
        int32_t x = alignedStart(hAlign, lineW - line.used);
        bool countingBefore = false;
        for (uint32_t i = line.first; i < line.end; ++i) {
            IComponent* ch = c.getChild(i);
            bool childCounts = counts(ch);
            if (childCounts && countingBefore)
                x += hGap;
            ch->setLocation(x, top);
            x += ch->getWidth();
            countingBefore = countingBefore || childCounts;
        }
        top += line.height;
    }

    // 6. Report: the widest content is everything on one line.
    int32_t maxW = 0;
    bool countingBefore = false;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        bool childCounts = counts(ch);
        if (childCounts && countingBefore)
            maxW += hGap;
        maxW += upper(ch, true);
        countingBefore = countingBefore || childCounts;
    }
    if (out)
        *out = { minW, sum.min(), maxW, sum.max() };
}

void pile(IContainer& c, int32_t hAlign, int32_t vAlign, Extents* out)
{
    Batch batch(c, true);
    uint32_t n = c.getChildCount();
    int32_t availW = c.getInnerWidth();
    int32_t availH = c.getInnerHeight();

    // 1. Widths.
    int32_t minW = 0;
    int32_t maxW = 0;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (!batch.takesPart(ch))
            continue;
        minW = std::max(minW, ch->getMinWidth());
        maxW = std::max(maxW, upper(ch, true));
    }
    int32_t w = std::max(availW, minW);
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (batch.takesPart(ch))
            ch->resizeConstrained(w, 0);
    }
    // 2. Heights.
    int32_t minH = 0;
    int32_t maxH = 0;
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (!batch.takesPart(ch))
            continue;
        minH = std::max(minH, ch->getMinHeight());
        maxH = std::max(maxH, upper(ch, false));
    }
    int32_t h = std::max(availH, minH);
    // 3. and 4. Each child at its maximum height, placed on its own.
    for (uint32_t i = 0; i < n; ++i) {
        IComponent* ch = c.getChild(i);
        if (!batch.takesPart(ch))
            continue;
        if (ch->getHeight() < ch->getMaxHeight())
            ch->resizeConstrained(ch->getWidth(), std::max(h, ch->getMaxHeight()));
        ch->setLocation(alignedStart(hAlign, w - ch->getWidth()), alignedStart(vAlign, h - ch->getHeight()));
    }
    // 5. Report.
    if (out)
        *out = { minW, minH, maxW, maxH };
}

}
