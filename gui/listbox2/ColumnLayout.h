#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace s::gui::listbox2 {

// Which column is shown at which place, and how wide each is: what the header keeps and the
// settings store. Orders and widths read back from a settings file are checked here, since a
// stale or damaged file must not break the list.
class ColumnLayout {
public:
    // No column may be narrower than this, by the user's hand or from a stored width.
    static constexpr int32_t minimumWidth = 10;
    // The width of a column that asks for the platform's default.
    static constexpr int32_t platformDefaultWidth = 100;

    uint32_t columnCount() const { return static_cast<uint32_t>(m_widths.size()); }

    // A new column, shown last; width 0 or less means the platform's default.
    void addColumn(int32_t defaultWidth);
    void clear();

    // Entry i is the column index shown at place i.
    const std::vector<int32_t>& order() const { return m_order; }
    // Accepted only when it is a permutation of the column indexes.
    bool setOrder(std::span<const int32_t> order);
    // The place a column is shown at, -1 for no such column.
    int32_t placeOf(int32_t column) const;
    int32_t columnAt(int32_t place) const;
    int32_t lastShownColumn() const { return m_order.empty() ? -1 : m_order.back(); }

    // By column index.
    const std::vector<int32_t>& widths() const { return m_widths; }
    int32_t width(int32_t column) const;
    // A stored width: 0 or less takes the column's default, 1 to 9 become 10.
    void setWidth(int32_t column, int32_t width);
    // Stored widths by column index; entries past the columns are ignored, missing ones keep
    // their width.
    void setWidths(std::span<const int32_t> widths);
    int32_t defaultWidth(int32_t column) const;
    int32_t totalWidth() const;

    // The user may not resize the column shown last (it reaches the right edge).
    bool isUserResizable(int32_t column) const { return column != lastShownColumn(); }
    static int32_t userWidth(int32_t width) { return width < minimumWidth ? minimumWidth : width; }

    // The width a stored or asked-for width becomes.
    static int32_t sanitizeWidth(int32_t width, int32_t defaultWidth);

private:
    std::vector<int32_t> m_order;
    std::vector<int32_t> m_widths;
    std::vector<int32_t> m_defaults;
};

}
