#pragma once

#include "foundation/base/IObject.h"
#include "foundation/col/ArrayP.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/listbox2/CellTypes.h"

#include <span>
#include <unordered_set>
#include <vector>

namespace s::gui::listbox2 {

class DataType;
class Record;

// The data of a multi-column list: the columns, the rows in display order, the set of rows it
// holds (handle checks never scan the rows) and the sort order (column indexes, primary key
// first).
//
// No locking and no thread hops here: ListBoxModel does both. The list owns its columns and the
// rows it holds when it is released.
class List final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(List, "s_gui_listbox2_List")
public:
    // Hears about column changes (a title for the header, a direction that unsorts the rows).
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void columnChanged(int32_t column, bool affectsSort) = 0;
    };

    List() = default;
    ~List() override;

    void setObserver(Observer* observer) { m_observer = observer; }

    // --- columns ---
    uint32_t columnCount() const { return m_columns.count(); }
    // Null out of range.
    DataType* column(int32_t index) const;
    // Takes the column; it gets the next index and the end of the sort order.
    void addColumn(DataType* column);

    // --- rows ---
    uint32_t rowCount() const { return m_rows.count(); }
    // Null out of range.
    Record* row(int32_t position) const;
    // Whether the row is held here and still carries the id.
    bool contains(const Record* row, RowId id) const;
    bool holds(const Record* row) const { return m_members.contains(row); }
    // Inserts at position: past the end appends, below 0 inserts first. False when the row is
    // already in a list.
    bool insertRow(int32_t position, Record* row);
    // The display position of a held row.
    int32_t positionOf(const Record& row) const;
    // Takes a held row out (positions after it move up). The row is not released.
    void removeRow(Record* row);
    // Every row, last first.
    void removeAllRows();

    // --- sorting ---
    const std::vector<int32_t>& sortOrder() const { return m_sortOrder; }
    // Accepted only when it is a permutation of the column indexes (a stored order may be stale or
    // damaged).
    bool setSortOrder(std::span<const int32_t> order);
    // Flips the column's direction and makes it the primary key.
    void toggleSortColumn(int32_t column);
    // Stable multi-key sort of the rows by the row comparator.
    void sort();
    // Compares two rows by the sort order: sortable columns only, each by its comparator and
    // direction; a missing cell compares as an empty value.
    int compareRows(const Record* a, const Record* b) const;
    // Where a row would go so that it follows every row equal to it (an upper bound).
    int32_t sortedPosition(const Record* row) const;
    // Whether the rows are still in the order the last sort left them.
    bool isSorted() const { return m_sorted; }
    void markUnsorted() { m_sorted = false; }
    void markSorted() { m_sorted = true; }
    // Whether a change of this column's cells can unsort the rows.
    bool isSortKey(int32_t column) const;

    // Called by a held column.
    void columnChanged(const DataType& column, bool affectsSort);

    void reset() override;

private:
    // Rows from m_firstStale on may carry old positions: appends that insert in the middle and
    // sorts cost no renumbering until somebody asks.
    void positionsChangedFrom(uint32_t position);
    void freshenPositions() const;

    // Owned (cleaner: the column pool).
    col::_array::ArrayP m_columns;
    // Display order; not owned while held, released by reset.
    col::_array::ArrayP m_rows;
    std::unordered_set<const Record*> m_members;
    mutable uint32_t m_firstStale { UINT32_MAX };
    std::vector<int32_t> m_sortOrder;
    bool m_sorted { true };
    Observer* m_observer { nullptr };
};

}
