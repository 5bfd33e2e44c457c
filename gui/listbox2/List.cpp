#include "gui/listbox2/List.h"

#include "foundation/col/Sort.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

#include <algorithm>

namespace s::gui::listbox2 {

List::~List()
{
    reset();
}

DataType* List::column(int32_t index) const
{
    if (index < 0 || static_cast<uint32_t>(index) >= m_columns.count())
        return nullptr;
    return static_cast<DataType*>(m_columns.at(static_cast<uint32_t>(index)));
}

void List::addColumn(DataType* column)
{
    column->m_columnIndex = static_cast<int32_t>(m_columns.count());
    column->m_list = this;
    m_columns.push(column);
    m_sortOrder.push_back(column->m_columnIndex);
    m_sorted = m_rows.count() == 0;
}

Record* List::row(int32_t position) const
{
    if (position < 0 || static_cast<uint32_t>(position) >= m_rows.count())
        return nullptr;
    return static_cast<Record*>(m_rows.at(static_cast<uint32_t>(position)));
}

bool List::contains(const Record* row, RowId id) const
{
    // The set is asked first: a row that is not held may already be free memory.
    return row && m_members.contains(row) && row->m_id == id;
}

bool List::insertRow(int32_t position, Record* row)
{
    if (!row || row->m_list)
        return false;
    uint32_t count = m_rows.count();
    uint32_t at = position < 0 ? 0 : std::min(static_cast<uint32_t>(position), count);
    void* element = row;
    m_rows.insertAt(at, &element, 1);
    row->m_list = this;
    m_members.insert(row);
    positionsChangedFrom(at);
    if (count > 0)
        m_sorted = false;
    return true;
}

void List::removeRow(Record* row)
{
    if (!holds(row))
        return;
    freshenPositions();
    auto at = static_cast<uint32_t>(row->m_position);
    m_rows.removeAt(at);
    m_members.erase(row);
    row->m_list = nullptr;
    row->m_position = -1;
    row->m_selected = false;
    row->m_highlighted = false;
    positionsChangedFrom(at);
}

void List::removeAllRows()
{
    while (m_rows.count() > 0)
        removeRow(static_cast<Record*>(m_rows.last()));
    m_sorted = true;
}

int32_t List::positionOf(const Record& row) const
{
    freshenPositions();
    return row.m_position;
}

void List::positionsChangedFrom(uint32_t position)
{
    m_firstStale = std::min(m_firstStale, position);
}

void List::freshenPositions() const
{
    uint32_t count = m_rows.count();
    for (uint32_t i = m_firstStale; i < count; ++i)
        static_cast<Record*>(m_rows.at(i))->m_position = static_cast<int32_t>(i);
    m_firstStale = UINT32_MAX;
}

bool List::setSortOrder(std::span<const int32_t> order)
{
    uint32_t count = m_columns.count();
    if (order.size() != count)
        return false;
    std::vector<bool> seen(count, false);
    for (int32_t c : order) {
        if (c < 0 || static_cast<uint32_t>(c) >= count || seen[static_cast<uint32_t>(c)])
            return false;
        seen[static_cast<uint32_t>(c)] = true;
    }
    if (!std::equal(order.begin(), order.end(), m_sortOrder.begin(), m_sortOrder.end())) {
        m_sortOrder.assign(order.begin(), order.end());
        m_sorted = false;
    }
    return true;
}

void List::toggleSortColumn(int32_t column)
{
    DataType* type = this->column(column);
    if (!type)
        return;
    type->m_ascending = !type->m_ascending;
    auto found = std::find(m_sortOrder.begin(), m_sortOrder.end(), column);
    if (found != m_sortOrder.end())
        m_sortOrder.erase(found);
    m_sortOrder.insert(m_sortOrder.begin(), column);
    m_sorted = false;
}

int List::compareRows(const Record* a, const Record* b) const
{
    for (int32_t c : m_sortOrder) {
        const DataType* type = column(c);
        if (!type || !type->m_sortable || !type->m_comparator)
            continue;
        const SubRecord* cellA = a->cell(c);
        const SubRecord* cellB = b->cell(c);
        int result = type->m_comparator(cellA ? cellA->value() : 0, cellB ? cellB->value() : 0);
        if (result != 0)
            return type->m_ascending ? result : (result < 0 ? 1 : -1);
    }
    return 0;
}

void List::sort()
{
    uint32_t count = m_rows.count();
    if (count > 1) {
        col::mergeSort(
            m_rows.items(), count, sizeof(void*),
            [](const void* a, const void* b, void* user) {
                const auto* self = static_cast<const List*>(user);
                return self->compareRows(*static_cast<Record* const*>(a), *static_cast<Record* const*>(b));
            },
            this);
        positionsChangedFrom(0);
    }
    m_sorted = true;
}

int32_t List::sortedPosition(const Record* row) const
{
    uint32_t low = 0;
    uint32_t high = m_rows.count();
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        if (compareRows(row, static_cast<const Record*>(m_rows.at(middle))) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return static_cast<int32_t>(low);
}

bool List::isSortKey(int32_t column) const
{
    const DataType* type = this->column(column);
    return type && type->m_sortable && type->m_comparator;
}

void List::columnChanged(const DataType& column, bool affectsSort)
{
    if (affectsSort)
        m_sorted = false;
    if (m_observer)
        m_observer->columnChanged(column.m_columnIndex, affectsSort);
}

void List::reset()
{
    while (m_rows.count() > 0) {
        auto* row = static_cast<Record*>(m_rows.last());
        removeRow(row);
        row->release();
    }
    for (uint32_t i = 0; i < m_columns.count(); ++i) {
        auto* column = static_cast<DataType*>(m_columns.at(i));
        column->m_list = nullptr;
        column->release();
    }
    m_columns.clear();
    m_members.clear();
    m_firstStale = UINT32_MAX;
    m_sortOrder.clear();
    m_sorted = true;
    m_observer = nullptr;
}

}
