#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ArrayP.h"
#include "foundation/thread/IPoolable.h"
#include "gui/listbox2/CellTypes.h"
#include "gui/listbox2/RowHandle.h"

#include <string_view>

namespace s::gui::listbox2 {

class List;
class SubRecord;

// One row of a list: its cells in column order, the object it shows, and where it stands.
//
// Every time a row leaves its pool it gets a fresh id, so a handle (row, id) kept by somebody
// names this row only until it is released. The row's place and flags are the list's business;
// a row is built (cells added) before it is appended.
class Record final : public base::IObject
    , public thread::IPoolable {
public:
    // A row from the pool with a new id.
    static Record* get();
    void release() override;
    const char* className() const override { return "s_gui_listbox2_Record"; }
    base::IObject* newInstance() const override { return get(); }

    Record();
    ~Record() override;

    RowId id() const { return m_id; }
    RowHandle handle() { return { this, m_id }; }

    void* owner() const { return m_owner; }
    void setOwner(void* owner) { m_owner = owner; }

    uint32_t cellCount() const { return m_cells.count(); }
    // Null for a column the row has no cell for.
    SubRecord* cell(int32_t column) const;
    // Appends a cell for the next column. The row owns the value from now on.
    SubRecord* addCell(CellValue value, base::IDestructor* valueCleaner, Formatter formatter);
    SubRecord* addTextCell(std::u16string_view text, Formatter formatter);
    SubRecord* addInt64Cell(int64_t number, Formatter formatter);
    SubRecord* addS32Cell(int32_t number, Formatter formatter);
    SubRecord* addU32Cell(uint32_t number, Formatter formatter);

    // Index in the list's display order, -1 while in no list. Positions are brought up to date on
    // demand, so read them under the list's lock (ListBoxModel::locker()).
    int32_t position() const;
    List* list() const { return m_list; }

    bool isHighlighted() const { return m_highlighted; }
    bool isDisabled() const { return m_disabled; }
    void setDisabled(bool disabled) { m_disabled = disabled; }
    bool isSelected() const { return m_selected; }

    void reset() override;

private:
    friend class List;
    friend class ListBoxModel;

    RowId m_id { 0 };
    void* m_owner { nullptr };
    // Owns its cells (cleaner: the cell pool).
    col::_array::ArrayP m_cells;
    int32_t m_position { -1 };
    List* m_list { nullptr };
    bool m_highlighted { false };
    bool m_disabled { false };
    bool m_selected { false };
};

}
