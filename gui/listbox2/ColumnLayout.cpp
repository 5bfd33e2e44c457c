#include "gui/listbox2/ColumnLayout.h"

#include <algorithm>

namespace s::gui::listbox2 {

int32_t ColumnLayout::sanitizeWidth(int32_t width, int32_t defaultWidth)
{
    if (width <= 0)
        width = defaultWidth > 0 ? defaultWidth : platformDefaultWidth;
    return std::max(width, minimumWidth);
}

void ColumnLayout::addColumn(int32_t defaultWidth)
{
    auto index = static_cast<int32_t>(m_widths.size());
    m_defaults.push_back(defaultWidth);
    m_widths.push_back(sanitizeWidth(defaultWidth, defaultWidth));
    m_order.push_back(index);
}

void ColumnLayout::clear()
{
    m_order.clear();
    m_widths.clear();
    m_defaults.clear();
}

bool ColumnLayout::setOrder(std::span<const int32_t> order)
{
    size_t count = m_widths.size();
    if (order.size() != count)
        return false;
    std::vector<bool> seen(count, false);
    for (int32_t c : order) {
        if (c < 0 || static_cast<size_t>(c) >= count || seen[static_cast<size_t>(c)])
            return false;
        seen[static_cast<size_t>(c)] = true;
    }
    m_order.assign(order.begin(), order.end());
    return true;
}

int32_t ColumnLayout::placeOf(int32_t column) const
{
    auto found = std::find(m_order.begin(), m_order.end(), column);
    return found == m_order.end() ? -1 : static_cast<int32_t>(found - m_order.begin());
}

int32_t ColumnLayout::columnAt(int32_t place) const
{
    if (place < 0 || static_cast<size_t>(place) >= m_order.size())
        return -1;
    return m_order[static_cast<size_t>(place)];
}

int32_t ColumnLayout::width(int32_t column) const
{
    if (column < 0 || static_cast<size_t>(column) >= m_widths.size())
        return 0;
    return m_widths[static_cast<size_t>(column)];
}

int32_t ColumnLayout::defaultWidth(int32_t column) const
{
    if (column < 0 || static_cast<size_t>(column) >= m_defaults.size())
        return platformDefaultWidth;
    return sanitizeWidth(m_defaults[static_cast<size_t>(column)], m_defaults[static_cast<size_t>(column)]);
}

void ColumnLayout::setWidth(int32_t column, int32_t width)
{
    if (column < 0 || static_cast<size_t>(column) >= m_widths.size())
        return;
    m_widths[static_cast<size_t>(column)] = sanitizeWidth(width, defaultWidth(column));
}

void ColumnLayout::setWidths(std::span<const int32_t> widths)
{
    size_t count = std::min(widths.size(), m_widths.size());
    for (size_t i = 0; i < count; ++i)
        setWidth(static_cast<int32_t>(i), widths[i]);
}

int32_t ColumnLayout::totalWidth() const
{
    int32_t total = 0;
    for (int32_t w : m_widths)
        total += w;
    return total;
}

}
