#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IObject.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/listbox2/CellTypes.h"

#include <string_view>

namespace s::gui::listbox2 {

class Record;

// One cell of a row: a value, the cleaner that gives a value object back, the formatter that
// makes its display text, that text once made, and the file path whose icon the cell shows.
//
// A cell is changed only through its list once the row is in one (the list carries changes to the
// GUI thread and guards them); a row that is being built belongs to its builder.
class SubRecord final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(SubRecord, "s_gui_listbox2_SubRecord")
public:
    SubRecord() = default;
    ~SubRecord() override;

    Record* row() const { return m_row; }
    int32_t column() const { return m_column; }

    CellValue value() const { return m_value; }
    base::IDestructor* valueCleaner() const { return m_valueCleaner; }
    Formatter formatter() const { return m_formatter; }

    // The old value goes to the cleaner (unless it is the same word) and the cached text is
    // dropped.
    void setValue(CellValue value);
    void setValueCleaner(base::IDestructor* cleaner) { m_valueCleaner = cleaner; }
    // A value of another kind: the old value goes to the old cleaner, the new one comes with its
    // own (none for a plain word).
    void assign(CellValue value, base::IDestructor* cleaner);
    void setFormatter(Formatter formatter);

    // The display text: made by the formatter on first use and kept until the value changes. A
    // cell without a formatter shows nothing.
    std::u16string_view text();
    bool hasCachedText() const { return m_textValid; }
    // Runs the formatter again (the value object may have changed inside).
    void refreshText();

    std::u16string_view attachedPath() const { return m_attachedPath.view(); }
    void setAttachedPath(std::u16string_view path);

    // The row's first cell: its icon is chosen from the file name alone.
    bool isLeading() const { return m_leading; }
    void setLeading(bool leading) { m_leading = leading; }

    // 0 none, 1 unchecked, 2 checked.
    int32_t checkState() const { return m_checkState; }
    void setCheckState(int32_t state) { m_checkState = state; }

    void reset() override;

private:
    friend class Record;

    void disposeValue();

    Record* m_row { nullptr };
    int32_t m_column { -1 };
    CellValue m_value { 0 };
    base::IDestructor* m_valueCleaner { nullptr };
    Formatter m_formatter { nullptr };
    str::strbuffer::StrBuffer m_text;
    bool m_textValid { false };
    str::strbuffer::StrBuffer m_attachedPath;
    bool m_leading { false };
    int32_t m_checkState { 0 };
};

}
