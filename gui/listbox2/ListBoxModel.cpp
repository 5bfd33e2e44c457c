#include "gui/listbox2/ListBoxModel.h"

#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/IListView.h"
#include "gui/listbox2/Int64Value.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/RowUpdate.h"
#include "gui/listbox2/SubRecord.h"

#include <algorithm>
#include <mutex>

namespace s::gui::listbox2 {

using Lock = std::scoped_lock<thread::ObjLocker>;

ListBoxModel::ListBoxModel()
    : m_list(List::get())
{
    m_list->setObserver(this);
}

ListBoxModel::~ListBoxModel()
{
    m_list->setObserver(nullptr);
    m_list->release();
}

void ListBoxModel::setExecutor(IExecutor* executor)
{
    Lock lock(m_locker);
    m_executor.store(executor, std::memory_order_release);
}

void ListBoxModel::setView(IListView* view)
{
    Lock lock(m_locker);
    m_view = view;
}

void ListBoxModel::setMultiSelect(bool on)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (m_multiSelect == on)
                return;
            m_multiSelect = on;
            // A single-select list keeps the row selected first.
            while (!on && m_selection.size() > 1)
                deselectLocked(m_selection.back().row, pending);
        }
        deliver(pending);
    });
}

void ListBoxModel::setAutoSortAfterAppend(bool on)
{
    run([&] {
        Lock lock(m_locker);
        m_autoSort = on;
    });
}

// --- delivery ---

void ListBoxModel::deliver(Pending& pending)
{
    IListView* view = m_suspended ? nullptr : m_view;
    if (view) {
        if (pending.columnsChanged)
            view->columnsChanged();
        if (pending.rowsChanged) {
            view->rowsChanged();
        } else {
            for (int32_t position : pending.rows)
                view->rowChanged(position);
            for (auto [position, column] : pending.cells)
                view->cellChanged(position, column);
        }
        if (pending.ensureVisible >= 0)
            view->ensureVisible(pending.ensureVisible);
    }
    for (int32_t code : pending.events)
        fire(code);
}

void ListBoxModel::fire(int32_t code)
{
    m_listeners.fire(m_sender, code);
}

void ListBoxModel::addListener(int32_t code, events::IEventListener* listener)
{
    m_listeners.add(code, listener);
}

void ListBoxModel::removeListener(int32_t code, events::IEventListener* listener)
{
    m_listeners.remove(code, listener);
}

void ListBoxModel::columnChanged(int32_t, bool)
{
    // A title or direction set on the column directly; the header shows titles afresh. Called
    // under whatever the caller holds, so only the view is told, and only on its thread.
    IExecutor* executor = this->executor();
    if (m_view && !m_suspended && executor && executor->isCurrent())
        m_view->columnsChanged();
}

// --- columns ---

DataType* ListBoxModel::addColumnById(lang::Localizer* localizer, int32_t titleId, int32_t width, Alignment alignment,
    bool sortable, Comparator comparator, bool ascending, bool showsFileIcon, bool checkColumn, bool editable,
    bool treeColumn)
{
    DataType* column = DataType::get();
    column->setTitleId(localizer, titleId);
    column->setWidth(width);
    column->setAlignment(alignment);
    column->setSortable(sortable);
    column->setComparator(comparator);
    column->setAscending(ascending);
    column->setShowsFileIcon(showsFileIcon);
    column->setCheckColumn(checkColumn);
    column->setEditable(editable);
    column->setTreeColumn(treeColumn);
    addColumnRecord(column);
    return column;
}

DataType* ListBoxModel::addColumn(std::u16string_view title, int32_t width, Alignment alignment, bool sortable,
    Comparator comparator, bool ascending, bool showsFileIcon, bool checkColumn, bool editable, bool treeColumn)
{
    DataType* column = addColumnById(nullptr, -1, width, alignment, sortable, comparator, ascending, showsFileIcon,
        checkColumn, editable, treeColumn);
    column->setTitle(title);
    return column;
}

void ListBoxModel::addColumnRecord(DataType* column)
{
    if (!column)
        return;
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            m_list->addColumn(column);
            m_layout.addColumn(column->width());
            pending.columnsChanged = true;
            pending.rowsChanged = true;
        }
        deliver(pending);
    });
}

DataType* ListBoxModel::getColumn(int32_t index) const
{
    Lock lock(m_locker);
    return m_list->column(index);
}

uint32_t ListBoxModel::getColumnCount() const
{
    Lock lock(m_locker);
    return m_list->columnCount();
}

bool ListBoxModel::setColumnOrder(std::span<const int32_t> order)
{
    return run([&] {
        Pending pending;
        bool accepted;
        {
            Lock lock(m_locker);
            accepted = m_layout.setOrder(order);
            pending.columnsChanged = accepted;
            pending.rowsChanged = accepted;
        }
        deliver(pending);
        return accepted;
    });
}

std::vector<int32_t> ListBoxModel::columnOrder() const
{
    Lock lock(m_locker);
    return m_layout.order();
}

void ListBoxModel::setColumnWidths(std::span<const int32_t> widths)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            m_layout.setWidths(widths);
            pending.columnsChanged = true;
            pending.rowsChanged = true;
        }
        deliver(pending);
    });
}

std::vector<int32_t> ListBoxModel::columnWidths() const
{
    Lock lock(m_locker);
    return m_layout.widths();
}

void ListBoxModel::userMovedColumns(std::span<const int32_t> order)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (m_layout.setOrder(order))
                pending.rowsChanged = true;
        }
        deliver(pending);
    });
}

void ListBoxModel::userResizedColumn(int32_t column, int32_t width)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            m_layout.setWidth(column, ColumnLayout::userWidth(width));
            pending.rowsChanged = true;
        }
        deliver(pending);
    });
}

bool ListBoxModel::setSortOrder(std::span<const int32_t> order)
{
    return run([&] {
        Lock lock(m_locker);
        return m_list->setSortOrder(order);
    });
}

std::vector<int32_t> ListBoxModel::sortOrder() const
{
    Lock lock(m_locker);
    return m_list->sortOrder();
}

// --- rows ---

int32_t ListBoxModel::getRowCount() const
{
    Lock lock(m_locker);
    return static_cast<int32_t>(m_list->rowCount());
}

RowHandle ListBoxModel::getRow(int32_t position) const
{
    Lock lock(m_locker);
    Record* row = m_list->row(position);
    return row ? row->handle() : RowHandle {};
}

bool ListBoxModel::isRowValid(const Record* row, RowId id) const
{
    Lock lock(m_locker);
    return m_list->contains(row, id);
}

void ListBoxModel::appendLocked(Record* row, Pending& pending)
{
    if (m_autoSort && !m_suspended) {
        if (m_list->isSorted()) {
            // Where the stable sort would put it: after every row equal to it.
            m_list->insertRow(m_list->sortedPosition(row), row);
            m_list->markSorted();
            pending.events.push_back(ListEvent::Sorted);
        } else {
            m_list->insertRow(static_cast<int32_t>(m_list->rowCount()), row);
            sortLocked(pending);
        }
    } else {
        m_list->insertRow(static_cast<int32_t>(m_list->rowCount()), row);
        if (m_autoSort)
            m_sortOnResume = true;
    }
    pending.rowsChanged = true;
}

bool ListBoxModel::appendRow(Record* row)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!row || row->list())
                return false;
            appendLocked(row, pending);
        }
        deliver(pending);
        return true;
    });
}

bool ListBoxModel::insertRow(int32_t position, Record* row)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->insertRow(position, row))
                return false;
            pending.rowsChanged = true;
        }
        deliver(pending);
        return true;
    });
}

void ListBoxModel::removeLocked(Record* row, Pending& pending)
{
    int32_t position = row->position();
    bool wasFocus = row == m_focus;
    if (row == m_anchor)
        m_anchor = nullptr;
    if (m_clicked.row == row)
        m_clicked = {};
    bool wasSelected = row->isSelected();
    m_list->removeRow(row);
    // The events follow the removal, so whoever looks at the selection finds the row gone.
    if (wasSelected) {
        std::erase_if(m_selection, [row](const RowHandle& h) { return h.row == row; });
        pending.events.push_back(ListEvent::RowDeselected);
        if (m_selection.empty())
            pending.events.push_back(ListEvent::SelectionEmptied);
    }
    if (wasFocus) {
        // The focus stays at the same place, as in every desktop list.
        int32_t count = static_cast<int32_t>(m_list->rowCount());
        m_focus = count == 0 ? nullptr : m_list->row(std::min(position, count - 1));
    }
    pending.rowsChanged = true;
}

bool ListBoxModel::removeRowHandle(Record* row, RowId id)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            removeLocked(row, pending);
        }
        deliver(pending);
        return true;
    });
}

bool ListBoxModel::removeAndReleaseRow(Record* row, RowId id)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            removeLocked(row, pending);
        }
        // Outside the list's lock: releasing takes the pools' locks.
        row->release();
        deliver(pending);
        return true;
    });
}

void ListBoxModel::removeAllRows()
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            while (m_list->rowCount() > 0)
                removeLocked(m_list->row(static_cast<int32_t>(m_list->rowCount()) - 1), pending);
            m_list->markSorted();
        }
        deliver(pending);
    });
}

void ListBoxModel::releaseAllRows()
{
    run([&] {
        Pending pending;
        std::vector<Record*> released;
        {
            Lock lock(m_locker);
            while (m_list->rowCount() > 0) {
                Record* row = m_list->row(static_cast<int32_t>(m_list->rowCount()) - 1);
                removeLocked(row, pending);
                released.push_back(row);
            }
            m_list->markSorted();
        }
        for (Record* row : released)
            row->release();
        deliver(pending);
    });
}

void ListBoxModel::removeSelectedRows()
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            while (!m_selection.empty())
                removeLocked(m_selection.back().row, pending);
        }
        deliver(pending);
    });
}

// --- cells ---

bool ListBoxModel::writeCell(Record* row, RowId id, int32_t column, bool refresh,
    const std::function<void(SubRecord&)>& write)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            SubRecord* cell = row->cell(column);
            if (!cell)
                return false;
            write(*cell);
            if (refresh)
                cell->refreshText();
            if (m_list->isSortKey(column))
                m_list->markUnsorted();
            pending.cells.emplace_back(row->position(), column);
        }
        deliver(pending);
        return true;
    });
}

bool ListBoxModel::setCellValue(Record* row, RowId id, int32_t column, CellValue value)
{
    return writeCell(row, id, column, false, [value](SubRecord& cell) { cell.setValue(value); });
}

bool ListBoxModel::setCellText(Record* row, RowId id, int32_t column, std::u16string_view text)
{
    // The text buffer is made on the list's thread, only once the row is known to be there.
    return writeCell(row, id, column, false,
        [text](SubRecord& cell) { cell.assign(TextValue::make(text), TextValue::cleaner()); });
}

bool ListBoxModel::setCellInt64(Record* row, RowId id, int32_t column, int64_t value)
{
    return writeCell(row, id, column, false,
        [value](SubRecord& cell) { cell.assign(Int64Value::make(value), Int64Value::cleaner()); });
}

bool ListBoxModel::setCellS32(Record* row, RowId id, int32_t column, int32_t value)
{
    return writeCell(row, id, column, false, [value](SubRecord& cell) { cell.assign(fromS32(value), nullptr); });
}

bool ListBoxModel::setCellU32(Record* row, RowId id, int32_t column, uint32_t value)
{
    return writeCell(row, id, column, false, [value](SubRecord& cell) { cell.assign(fromU32(value), nullptr); });
}

bool ListBoxModel::attachPath(Record* row, RowId id, int32_t column, std::u16string_view path)
{
    return writeCell(row, id, column, false, [path](SubRecord& cell) { cell.setAttachedPath(path); });
}

bool ListBoxModel::refreshCellText(Record* row, RowId id, int32_t column)
{
    return writeCell(row, id, column, true, [](SubRecord&) { });
}

bool ListBoxModel::applyRowUpdate(Record* row, RowId id, const RowUpdate& update)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            for (int32_t column : update.applyTo(*row)) {
                if (m_list->isSortKey(column))
                    m_list->markUnsorted();
                pending.cells.emplace_back(row->position(), column);
            }
        }
        deliver(pending);
        return true;
    });
}

bool ListBoxModel::setHighlighted(bool on, Record* row, RowId id)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            if (row->m_highlighted == on)
                return true;
            row->m_highlighted = on;
            pending.rows.push_back(row->position());
        }
        deliver(pending);
        return true;
    });
}

// --- reads ---

bool ListBoxModel::readCellValue(const Record* row, RowId id, int32_t column, CellValue& out) const
{
    Lock lock(m_locker);
    const SubRecord* cell = m_list->contains(row, id) ? row->cell(column) : nullptr;
    if (!cell)
        return false;
    out = cell->value();
    return true;
}

bool ListBoxModel::readCellInt64(const Record* row, RowId id, int32_t column, int64_t& out) const
{
    Lock lock(m_locker);
    const SubRecord* cell = m_list->contains(row, id) ? row->cell(column) : nullptr;
    if (!cell)
        return false;
    out = Int64Value::of(cell->value());
    return true;
}

bool ListBoxModel::readCellText(const Record* row, RowId id, int32_t column, std::u16string& out) const
{
    Lock lock(m_locker);
    const SubRecord* cell = m_list->contains(row, id) ? row->cell(column) : nullptr;
    if (!cell)
        return false;
    out = TextValue::of(cell->value());
    return true;
}

bool ListBoxModel::readCellDisplayText(Record* row, RowId id, int32_t column, std::u16string& out)
{
    Lock lock(m_locker);
    SubRecord* cell = m_list->contains(row, id) ? row->cell(column) : nullptr;
    if (!cell)
        return false;
    IExecutor* executor = this->executor();
    if (!executor || executor->isCurrent() || cell->hasCachedText()) {
        out = cell->text();
        return true;
    }
    // Another thread formats for itself: the cache belongs to the thread that paints.
    thread::Pooled<str::strbuffer::StrBuffer> text;
    if (cell->formatter())
        cell->formatter()(cell->value(), *text);
    out = text->view();
    return true;
}

bool ListBoxModel::readCellPath(const Record* row, RowId id, int32_t column, std::u16string& out) const
{
    Lock lock(m_locker);
    const SubRecord* cell = m_list->contains(row, id) ? row->cell(column) : nullptr;
    if (!cell)
        return false;
    out = cell->attachedPath();
    return true;
}

RowHandle ListBoxModel::previousRow(const Record* row, RowId id, bool wrap) const
{
    Lock lock(m_locker);
    if (!m_list->contains(row, id))
        return {};
    int32_t position = row->position() - 1;
    if (position < 0) {
        if (!wrap)
            return {};
        position = static_cast<int32_t>(m_list->rowCount()) - 1;
    }
    Record* previous = m_list->row(position);
    return previous ? previous->handle() : RowHandle {};
}

RowHandle ListBoxModel::nextRow(const Record* row, RowId id, bool wrap) const
{
    Lock lock(m_locker);
    if (!m_list->contains(row, id))
        return {};
    int32_t position = row->position() + 1;
    if (position >= static_cast<int32_t>(m_list->rowCount())) {
        if (!wrap)
            return {};
        position = 0;
    }
    Record* next = m_list->row(position);
    return next ? next->handle() : RowHandle {};
}

RowHandle ListBoxModel::firstRow() const
{
    return getRow(0);
}

// --- sorting ---

void ListBoxModel::sortLocked(Pending& pending)
{
    m_list->sort();
    m_sortOnResume = false;
    pending.rowsChanged = true;
    pending.events.push_back(ListEvent::Sorted);
}

void ListBoxModel::toggleSortColumn(int32_t column)
{
    run([&] {
        Lock lock(m_locker);
        m_list->toggleSortColumn(column);
    });
}

void ListBoxModel::sort()
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            sortLocked(pending);
        }
        deliver(pending);
    });
}

void ListBoxModel::headerClicked(int32_t column)
{
    run([&] {
        fire(ListEvent::HeaderClickedBeforeSort);
        Pending pending;
        {
            Lock lock(m_locker);
            const DataType* type = m_list->column(column);
            if (type && type->isSortable()) {
                m_list->toggleSortColumn(column);
                sortLocked(pending);
            }
            m_clickedColumn = column;
        }
        pending.events.push_back(ListEvent::HeaderClicked);
        deliver(pending);
    });
}

void ListBoxModel::suspendRedraw(bool on)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (m_suspended == on)
                return;
            m_suspended = on;
            if (on)
                return;
            if (m_sortOnResume && m_autoSort)
                sortLocked(pending);
            m_sortOnResume = false;
            pending.rowsChanged = true;
        }
        deliver(pending);
    });
}

// --- selection ---

void ListBoxModel::selectLocked(Record* row, Pending& pending)
{
    if (!row || row->m_selected)
        return;
    row->m_selected = true;
    m_selection.push_back(row->handle());
    if (m_selection.size() == 1)
        pending.events.push_back(ListEvent::SelectionStarted);
    pending.events.push_back(ListEvent::RowSelected);
    pending.rows.push_back(row->position());
}

void ListBoxModel::deselectLocked(Record* row, Pending& pending)
{
    if (!row || !row->m_selected)
        return;
    row->m_selected = false;
    std::erase_if(m_selection, [row](const RowHandle& h) { return h.row == row; });
    pending.events.push_back(ListEvent::RowDeselected);
    if (m_selection.empty())
        pending.events.push_back(ListEvent::SelectionEmptied);
    pending.rows.push_back(row->position());
}

void ListBoxModel::selectOnlyLocked(Record* row, Pending& pending)
{
    // Others go first, so a single selection that moves reads 2, 21, 20, 1.
    std::vector<RowHandle> others = m_selection;
    for (const RowHandle& h : others) {
        if (h.row != row)
            deselectLocked(h.row, pending);
    }
    selectLocked(row, pending);
}

void ListBoxModel::selectRangeLocked(int32_t from, int32_t to, bool keepOthers, Pending& pending)
{
    int32_t low = std::min(from, to);
    int32_t high = std::max(from, to);
    if (!keepOthers) {
        std::vector<RowHandle> others = m_selection;
        for (const RowHandle& h : others) {
            int32_t position = h.row->position();
            if (position < low || position > high)
                deselectLocked(h.row, pending);
        }
    }
    // From the fixed end toward the row the user reached.
    int32_t step = from <= to ? 1 : -1;
    for (int32_t position = from;; position += step) {
        selectLocked(m_list->row(position), pending);
        if (position == to)
            break;
    }
}

void ListBoxModel::setFocusLocked(Record* row, Pending& pending)
{
    if (m_focus == row)
        return;
    if (m_focus)
        pending.rows.push_back(m_focus->position());
    m_focus = row;
    if (row)
        pending.rows.push_back(row->position());
}

bool ListBoxModel::select(Record* row, RowId id)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            if (m_multiSelect)
                selectLocked(row, pending);
            else
                selectOnlyLocked(row, pending);
        }
        deliver(pending);
        return true;
    });
}

bool ListBoxModel::deselect(Record* row, RowId id)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_list->contains(row, id))
                return false;
            deselectLocked(row, pending);
        }
        deliver(pending);
        return true;
    });
}

void ListBoxModel::deselectAll()
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            std::vector<RowHandle> selected = m_selection;
            for (const RowHandle& h : selected)
                deselectLocked(h.row, pending);
        }
        deliver(pending);
    });
}

void ListBoxModel::selectAll()
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            if (!m_multiSelect)
                return;
            for (uint32_t i = 0; i < m_list->rowCount(); ++i)
                selectLocked(m_list->row(static_cast<int32_t>(i)), pending);
        }
        deliver(pending);
    });
}

int32_t ListBoxModel::getSelectedCount() const
{
    Lock lock(m_locker);
    return static_cast<int32_t>(m_selection.size());
}

bool ListBoxModel::getSelected(int32_t index, Record*& row, RowId& id) const
{
    RowHandle handle = getSelected(index);
    row = handle.row;
    id = handle.id;
    return handle.row != nullptr;
}

RowHandle ListBoxModel::getSelected(int32_t index) const
{
    Lock lock(m_locker);
    if (index < 0 || static_cast<size_t>(index) >= m_selection.size())
        return {};
    return m_selection[static_cast<size_t>(index)];
}

void ListBoxModel::sortSelectionByPosition()
{
    run([&] {
        Lock lock(m_locker);
        std::stable_sort(m_selection.begin(), m_selection.end(),
            [](const RowHandle& a, const RowHandle& b) { return a.row->position() < b.row->position(); });
    });
}

bool ListBoxModel::isSelectedAt(int32_t position) const
{
    Lock lock(m_locker);
    const Record* row = m_list->row(position);
    return row && row->isSelected();
}

RowHandle ListBoxModel::focusRow() const
{
    Lock lock(m_locker);
    return m_focus ? m_focus->handle() : RowHandle {};
}

int32_t ListBoxModel::focusPosition() const
{
    Lock lock(m_locker);
    return m_focus ? m_focus->position() : -1;
}

// --- what the user does ---

void ListBoxModel::clickRow(int32_t position, Modifiers modifiers)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            Record* row = m_list->row(position);
            if (!row) {
                // Below the last row: nothing stays selected.
                std::vector<RowHandle> selected = m_selection;
                for (const RowHandle& h : selected)
                    deselectLocked(h.row, pending);
            } else if (m_multiSelect && modifiers.shift) {
                if (!m_anchor)
                    m_anchor = m_focus ? m_focus : row;
                selectRangeLocked(m_anchor->position(), position, modifiers.control, pending);
                setFocusLocked(row, pending);
            } else if (m_multiSelect && modifiers.control) {
                if (row->isSelected())
                    deselectLocked(row, pending);
                else
                    selectLocked(row, pending);
                m_anchor = row;
                setFocusLocked(row, pending);
            } else {
                selectOnlyLocked(row, pending);
                m_anchor = row;
                setFocusLocked(row, pending);
            }
        }
        deliver(pending);
    });
}

void ListBoxModel::dragOver(int32_t position)
{
    run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            Record* row = m_list->row(position);
            if (!row || row->isSelected() || !m_multiSelect || !m_fullRowSelect || m_selection.empty())
                return;
            selectRangeLocked(m_selection.front().row->position(), position, true, pending);
            setFocusLocked(row, pending);
        }
        deliver(pending);
    });
}

bool ListBoxModel::navigate(NavKey key, Modifiers modifiers, int32_t pageRows)
{
    return run([&] {
        Pending pending;
        {
            Lock lock(m_locker);
            auto count = static_cast<int32_t>(m_list->rowCount());
            if (count == 0)
                return false;
            int32_t current = m_focus ? m_focus->position() : -1;
            int32_t page = std::max(1, pageRows - 1);

            // Step 1: keys that act on the focus row itself.
            if (key == NavKey::SelectAll) {
                if (!m_multiSelect)
                    return false;
                for (int32_t i = 0; i < count; ++i)
                    selectLocked(m_list->row(i), pending);
            } else if (key == NavKey::Space) {
                Record* row = m_focus ? m_focus : m_list->row(0);
                if (m_multiSelect && modifiers.control) {
                    if (row->isSelected())
                        deselectLocked(row, pending);
                    else
                        selectLocked(row, pending);
                } else {
                    selectOnlyLocked(row, pending);
                }
                m_anchor = row;
                setFocusLocked(row, pending);
            } else {
                // Step 2: where the focus goes.
                int32_t target = 0;
                switch (key) {
                case NavKey::Up:
                    target = current < 0 ? 0 : std::max(0, current - 1);
                    break;
                case NavKey::Down:
                    target = current < 0 ? 0 : std::min(count - 1, current + 1);
                    break;
                case NavKey::PageUp:
                    target = current < 0 ? 0 : std::max(0, current - page);
                    break;
                case NavKey::PageDown:
                    target = current < 0 ? 0 : std::min(count - 1, current + page);
                    break;
                case NavKey::Home:
                    target = 0;
                    break;
                case NavKey::End:
                    target = count - 1;
                    break;
                default:
                    break;
                }
                Record* row = m_list->row(target);
                // Step 3: what the selection does on the way.
                if (m_multiSelect && modifiers.shift) {
                    if (!m_anchor)
                        m_anchor = m_focus ? m_focus : row;
                    selectRangeLocked(m_anchor->position(), target, modifiers.control, pending);
                } else if (!(m_multiSelect && modifiers.control)) {
                    selectOnlyLocked(row, pending);
                    m_anchor = row;
                }
                setFocusLocked(row, pending);
                pending.ensureVisible = target;
            }
        }
        deliver(pending);
        return true;
    });
}

void ListBoxModel::doubleClickRow(int32_t position)
{
    run([&] {
        {
            Lock lock(m_locker);
            Record* row = m_list->row(position);
            if (!row)
                return;
            m_clicked = row->handle();
        }
        fire(ListEvent::RowDoubleClicked);
    });
}

bool ListBoxModel::rightPress(int32_t position)
{
    return run([&] {
        Pending pending;
        bool open;
        {
            Lock lock(m_locker);
            Record* row = m_list->row(position);
            if (row && !row->isSelected()) {
                selectOnlyLocked(row, pending);
                m_anchor = row;
                setFocusLocked(row, pending);
            }
            open = m_contextMenu && !m_selection.empty();
        }
        if (open)
            pending.events.push_back(ListEvent::ContextMenu);
        deliver(pending);
        return open;
    });
}

bool ListBoxModel::keyPressed(int32_t keyCode)
{
    return run([&] {
        m_key = keyCode;
        m_keyHandled = false;
        fire(ListEvent::KeyPressed);
        return m_keyHandled;
    });
}

}
