#include "gui/listbox2/RowUpdate.h"

#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Int64Value.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

namespace s::gui::listbox2 {

void RowUpdate::setS32(int32_t column, int32_t value)
{
    m_entries.push_back({ column, Kind::Word, static_cast<int64_t>(fromS32(value)), {} });
}

void RowUpdate::setU32(int32_t column, uint32_t value)
{
    m_entries.push_back({ column, Kind::Word, static_cast<int64_t>(fromU32(value)), {} });
}

void RowUpdate::setInt64(int32_t column, int64_t value)
{
    m_entries.push_back({ column, Kind::Int64, value, {} });
}

void RowUpdate::setText(int32_t column, std::u16string_view text)
{
    m_entries.push_back({ column, Kind::Text, 0, std::u16string(text) });
}

void RowUpdate::attachPath(int32_t column, std::u16string_view path)
{
    m_entries.push_back({ column, Kind::Path, 0, std::u16string(path) });
}

void RowUpdate::refreshText(int32_t column)
{
    m_entries.push_back({ column, Kind::Refresh, 0, {} });
}

std::vector<int32_t> RowUpdate::applyTo(Record& row) const
{
    std::vector<int32_t> changed;
    for (const Entry& entry : m_entries) {
        SubRecord* cell = row.cell(entry.column);
        if (!cell)
            continue;
        switch (entry.kind) {
        case Kind::Word:
            cell->assign(static_cast<CellValue>(entry.number), nullptr);
            break;
        case Kind::Int64:
            cell->assign(Int64Value::make(entry.number), Int64Value::cleaner());
            break;
        case Kind::Text:
            cell->assign(TextValue::make(entry.text), TextValue::cleaner());
            break;
        case Kind::Path:
            cell->setAttachedPath(entry.text);
            break;
        case Kind::Refresh:
            cell->refreshText();
            break;
        }
        changed.push_back(entry.column);
    }
    return changed;
}

}
