#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/ObjLocker.h"
#include "gui/listbox2/CellTypes.h"
#include "gui/listbox2/ColumnLayout.h"
#include "gui/listbox2/IExecutor.h"
#include "gui/listbox2/List.h"
#include "gui/listbox2/ListEvent.h"
#include "gui/listbox2/ListenerTable.h"
#include "gui/listbox2/RowHandle.h"

#include <array>
#include <functional>
#include <atomic>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace s::lang {
class Localizer;
}

namespace s::gui::listbox2 {

class DataType;
class IListView;
class Record;
class RowUpdate;
class SubRecord;

// Everything of a multi-column list component except its painting: the model (List), the
// selection in the order rows were selected, the focus row, the column layout, the options, the
// listeners, and what clicks and keys do to all that. The Qt component (os::ListBox2) shows it.
//
// Threads. Any thread may add, change, remove and read rows. Before the list is shown the
// operations run on the caller's thread under the model's lock; once an executor is set (the GUI
// thread), every change is carried there and runs under the lock, and the caller waits for it
// without holding the lock. Events and view notices come after the lock is let go, on the
// executor's thread. Reads run on the caller's thread under the lock.
//
// Handles. Every operation that takes (row, id) does nothing and answers false (or an empty
// handle) unless the row is in this list and still has that id.
class ListBoxModel final : public base::IObject
    , private List::Observer {
public:
    enum class NavKey {
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        Space,
        SelectAll,
    };
    struct Modifiers {
        bool shift { false };
        bool control { false };
    };

    ListBoxModel();
    ~ListBoxModel() override;
    ListBoxModel(const ListBoxModel&) = delete;
    ListBoxModel& operator=(const ListBoxModel&) = delete;

    const char* className() const override { return "s_gui_listbox2_ListBoxModel"; }

    // --- wiring (on the executor's thread, or before there is one) ---
    void setExecutor(IExecutor* executor);
    IExecutor* executor() const { return m_executor.load(std::memory_order_acquire); }
    void setView(IListView* view);
    // The sender of every event (the component); the model itself until set.
    void setEventSender(base::IObject* sender) { m_sender = sender ? sender : this; }
    base::IObject* eventSender() const { return m_sender; }
    // Guards the model. A reader that walks rows or cells directly takes it; the executor's
    // thread may read without it, since only that thread changes the model once it exists.
    thread::ObjLocker& locker() const { return m_locker; }
    List& list() { return *m_list; }
    const List& list() const { return *m_list; }
    // Whether changes go through an executor now.
    bool isCreated() const { return executor() != nullptr; }

    // --- options ---
    bool isMultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool on);
    bool isAutoSortAfterAppend() const { return m_autoSort; }
    void setAutoSortAfterAppend(bool on);
    bool isFullRowSelect() const { return m_fullRowSelect; }
    void setFullRowSelect(bool on) { m_fullRowSelect = on; }
    // A context menu hook exists (right presses then fire ContextMenu).
    bool hasContextMenu() const { return m_contextMenu; }
    void setContextMenuAttached(bool attached) { m_contextMenu = attached; }

    // --- columns ---
    DataType* addColumnById(lang::Localizer* localizer, int32_t titleId, int32_t width, Alignment alignment,
        bool sortable, Comparator comparator, bool ascending, bool showsFileIcon = false, bool checkColumn = false,
        bool editable = false, bool treeColumn = false);
    DataType* addColumn(std::u16string_view title, int32_t width, Alignment alignment, bool sortable,
        Comparator comparator, bool ascending, bool showsFileIcon = false, bool checkColumn = false,
        bool editable = false, bool treeColumn = false);
    // Takes the column.
    void addColumnRecord(DataType* column);
    DataType* getColumn(int32_t index) const;
    uint32_t getColumnCount() const;
    // A stored display order; refused unless it is a permutation of the columns.
    bool setColumnOrder(std::span<const int32_t> order);
    std::vector<int32_t> columnOrder() const;
    // Stored widths (see ColumnLayout::setWidth).
    void setColumnWidths(std::span<const int32_t> widths);
    std::vector<int32_t> columnWidths() const;
    // The user moved or resized a column (the header's report).
    void userMovedColumns(std::span<const int32_t> order);
    void userResizedColumn(int32_t column, int32_t width);
    // Executor's thread only.
    const ColumnLayout& columnLayout() const { return m_layout; }
    // A stored sort order; refused unless it is a permutation of the columns.
    bool setSortOrder(std::span<const int32_t> order);
    std::vector<int32_t> sortOrder() const;

    // --- rows ---
    int32_t getRowCount() const;
    // The row at a display position (an empty handle out of range).
    RowHandle getRow(int32_t position) const;
    bool isRowValid(const Record* row, RowId id) const;
    // Appends (sorting it in with auto-sort on). False when the row is already in a list.
    bool appendRow(Record* row);
    // Inserts at position: past the end appends, below 0 inserts first.
    bool insertRow(int32_t position, Record* row);
    bool removeRowHandle(Record* row, RowId id);
    bool removeAndReleaseRow(Record* row, RowId id);
    void removeAllRows();
    void releaseAllRows();
    void removeSelectedRows();

    // Cells. None of these sorts. The raw form keeps the cell's cleaner; on false the caller still
    // owns the value.
    bool setCellValue(Record* row, RowId id, int32_t column, CellValue value);
    bool setCellText(Record* row, RowId id, int32_t column, std::u16string_view text);
    bool setCellInt64(Record* row, RowId id, int32_t column, int64_t value);
    bool setCellS32(Record* row, RowId id, int32_t column, int32_t value);
    bool setCellU32(Record* row, RowId id, int32_t column, uint32_t value);
    bool attachPath(Record* row, RowId id, int32_t column, std::u16string_view path);
    bool refreshCellText(Record* row, RowId id, int32_t column);
    // The changed cells of one row in one go.
    bool applyRowUpdate(Record* row, RowId id, const RowUpdate& update);
    bool setHighlighted(bool on, Record* row, RowId id);

    // Reads, from any thread. The raw value is safe to use only for plain words; value objects
    // are read through the typed forms, which copy.
    bool readCellValue(const Record* row, RowId id, int32_t column, CellValue& out) const;
    bool readCellInt64(const Record* row, RowId id, int32_t column, int64_t& out) const;
    bool readCellText(const Record* row, RowId id, int32_t column, std::u16string& out) const;
    bool readCellDisplayText(Record* row, RowId id, int32_t column, std::u16string& out);
    bool readCellPath(const Record* row, RowId id, int32_t column, std::u16string& out) const;
    RowHandle previousRow(const Record* row, RowId id, bool wrap) const;
    RowHandle nextRow(const Record* row, RowId id, bool wrap) const;
    RowHandle firstRow() const;

    // --- sorting ---
    void toggleSortColumn(int32_t column);
    void sort();
    // The user clicked a header: HeaderClickedBeforeSort, the sort when the column is sortable,
    // then HeaderClicked.
    void headerClicked(int32_t column);
    int32_t clickedColumn() const { return m_clickedColumn; }
    // Around bulk changes: nothing is sorted after appends or shown until resumed; resuming sorts
    // once when an append asked for it.
    void suspendRedraw(bool on);
    bool isRedrawSuspended() const { return m_suspended; }

    // --- selection ---
    bool select(Record* row, RowId id);
    bool deselect(Record* row, RowId id);
    void deselectAll();
    void selectAll();
    int32_t getSelectedCount() const;
    bool getSelected(int32_t index, Record*& row, RowId& id) const;
    RowHandle getSelected(int32_t index) const;
    void sortSelectionByPosition();
    bool isSelectedAt(int32_t position) const;
    RowHandle focusRow() const;
    int32_t focusPosition() const;

    // --- what the user does ---
    // A left click on a row (a position past the rows clears the selection).
    void clickRow(int32_t position, Modifiers modifiers);
    // The left button held and moved over a row.
    void dragOver(int32_t position);
    // Keyboard navigation; true when the key did something. pageRows: whole rows in view.
    bool navigate(NavKey key, Modifiers modifiers, int32_t pageRows);
    void doubleClickRow(int32_t position);
    // A right press: a row that is not selected becomes the only selection; then, with rows
    // selected and a context menu attached, ContextMenu fires and the answer is true (open it).
    bool rightPress(int32_t position);
    // Stores the key and fires KeyPressed; true when a listener marked it handled.
    bool keyPressed(int32_t keyCode);
    int32_t getKey() const { return m_key; }
    void markKeyHandled() { m_keyHandled = true; }
    RowHandle getClickedRow() const { return m_clicked; }

    // --- listeners (not owned), by event code ---
    void addListener(int32_t code, events::IEventListener* listener);
    void removeListener(int32_t code, events::IEventListener* listener);

private:
    // What a change has to tell once the lock is let go.
    struct Pending {
        std::vector<int32_t> events;
        std::vector<int32_t> rows;
        std::vector<std::pair<int32_t, int32_t>> cells;
        bool rowsChanged { false };
        bool columnsChanged { false };
        int32_t ensureVisible { -1 };
    };

    template<class F>
    auto run(F&& f) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        IExecutor* executor = this->executor();
        if (!executor || executor->isCurrent())
            return f();
        if constexpr (std::is_void_v<R>) {
            executor->runAndWait([&] { f(); });
        } else {
            R result {};
            executor->runAndWait([&] { result = f(); });
            return result;
        }
    }

    void deliver(Pending& pending);
    void fire(int32_t code);

    // Under the lock.
    void selectLocked(Record* row, Pending& pending);
    void deselectLocked(Record* row, Pending& pending);
    void selectOnlyLocked(Record* row, Pending& pending);
    void selectRangeLocked(int32_t from, int32_t to, bool keepOthers, Pending& pending);
    void setFocusLocked(Record* row, Pending& pending);
    void removeLocked(Record* row, Pending& pending);
    void appendLocked(Record* row, Pending& pending);
    void sortLocked(Pending& pending);
    bool writeCell(Record* row, RowId id, int32_t column, bool refresh, const std::function<void(SubRecord&)>& write);

    void columnChanged(int32_t column, bool affectsSort) override;

    mutable thread::ObjLocker m_locker;
    List* m_list;
    ColumnLayout m_layout;
    std::atomic<IExecutor*> m_executor { nullptr };
    IListView* m_view { nullptr };
    base::IObject* m_sender { this };

    std::vector<RowHandle> m_selection;
    Record* m_focus { nullptr };
    Record* m_anchor { nullptr };
    RowHandle m_clicked;
    int32_t m_clickedColumn { -1 };

    bool m_multiSelect { true };
    bool m_autoSort { false };
    bool m_fullRowSelect { false };
    bool m_contextMenu { false };
    bool m_suspended { false };
    bool m_sortOnResume { false };
    int32_t m_key { 0 };
    bool m_keyHandled { false };

    ListenerTable m_listeners;
};

}
