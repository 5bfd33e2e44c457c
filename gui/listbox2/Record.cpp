#include "gui/listbox2/Record.h"

#include "foundation/thread/Pool.h"
#include "gui/listbox2/List.h"
#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Int64Value.h"
#include "gui/listbox2/SubRecord.h"

#include <atomic>
#include <cassert>

namespace s::gui::listbox2 {

namespace {
std::atomic<RowId> lastRowId { 0 };
}

Record* Record::get()
{
    auto* row = static_cast<Record*>(thread::poolOf<Record>().get());
    row->m_id = lastRowId.fetch_add(1, std::memory_order_relaxed) + 1;
    return row;
}

void Record::release()
{
    thread::poolOf<Record>().release(this);
}

Record::Record()
{
    m_cells.setCleaner(&thread::poolOf<SubRecord>());
}

Record::~Record()
{
    m_cells.disposeAll();
}

int32_t Record::position() const
{
    return m_list ? m_list->positionOf(*this) : -1;
}

SubRecord* Record::cell(int32_t column) const
{
    if (column < 0 || static_cast<uint32_t>(column) >= m_cells.count())
        return nullptr;
    return static_cast<SubRecord*>(m_cells.at(static_cast<uint32_t>(column)));
}

SubRecord* Record::addCell(CellValue value, base::IDestructor* valueCleaner, Formatter formatter)
{
    SubRecord* cell = SubRecord::get();
    cell->m_row = this;
    cell->m_column = static_cast<int32_t>(m_cells.count());
    cell->m_value = value;
    cell->m_valueCleaner = valueCleaner;
    cell->m_formatter = formatter;
    m_cells.push(cell);
    return cell;
}

SubRecord* Record::addTextCell(std::u16string_view text, Formatter formatter)
{
    return addCell(TextValue::make(text), TextValue::cleaner(), formatter);
}

SubRecord* Record::addInt64Cell(int64_t number, Formatter formatter)
{
    return addCell(Int64Value::make(number), Int64Value::cleaner(), formatter);
}

SubRecord* Record::addS32Cell(int32_t number, Formatter formatter)
{
    return addCell(fromS32(number), nullptr, formatter);
}

SubRecord* Record::addU32Cell(uint32_t number, Formatter formatter)
{
    return addCell(fromU32(number), nullptr, formatter);
}

void Record::reset()
{
    // Releasing a row that a list still holds would leave the list pointing at a free row.
    assert(!m_list && "a row still in a list is released through the list");
    m_cells.disposeAll();
    m_owner = nullptr;
    m_position = -1;
    m_list = nullptr;
    m_highlighted = false;
    m_disabled = false;
    m_selected = false;
}

}
