#pragma once

#include "gui/listbox2/CellTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace s::gui::listbox2 {

class Record;

// The changed cells of one row, written by the list in one go (one hop to the GUI thread instead
// of one per cell). The values are copied in, so the writer may reuse its own buffers at once;
// value objects are made only when the row is still there.
class RowUpdate {
public:
    void setS32(int32_t column, int32_t value);
    void setU32(int32_t column, uint32_t value);
    void setInt64(int32_t column, int64_t value);
    void setText(int32_t column, std::u16string_view text);
    void attachPath(int32_t column, std::u16string_view path);
    // Runs the formatter again without a new value.
    void refreshText(int32_t column);

    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

    // Writes the entries into the row's cells (cells the row lacks are skipped); returns the
    // columns whose shown text may have changed, in entry order.
    std::vector<int32_t> applyTo(Record& row) const;

private:
    enum class Kind {
        Word,
        Int64,
        Text,
        Path,
        Refresh,
    };
    struct Entry {
        int32_t column;
        Kind kind;
        int64_t number;
        std::u16string text;
    };

    std::vector<Entry> m_entries;
};

}
