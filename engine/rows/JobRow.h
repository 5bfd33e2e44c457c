#pragma once

#include "engine/Forward.h"
#include "gui/listbox2/CellTypes.h"
#include "gui/listbox2/RowHandle.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>

namespace s::lang {
class Localizer;
}

namespace s::gui::listbox2 {
class ListBoxModel;
}

namespace s::video::gui::dialogs::videodl {

// How a download job is shown by its row of the main window's list, and how the row follows the
// job. The row's cells, in column order: title (the file name, or the link until there is one,
// carrying the file's path), "#", size, done (tenths of a percent), state, speed, time left, link.
//
// A job is bound to its row by the row, the row's id and the list (DlThread::Row, rowId,
// RowList, under the job's Lock): the list is the only way to the cells, and the id makes sure
// that a row released and taken again for another job is never written for this one.
class JobRow {
public:
    enum Cell : int32_t {
        Title = 0,
        Number = 1,
        Size = 2,
        Done = 3,
        Status = 4,
        Speed = 5,
        Eta = 6,
        Link = 7,
        CellCount = 8,
    };

    struct Column {
        int32_t TitleId;
        int32_t Width;
        s::gui::listbox2::Alignment Align;
        s::gui::listbox2::Comparator Compare;
    };
    static const std::array<Column, CellCount>& Columns();

    // Adds the eight columns to the list in cell order, sortable, with their language titles;
    // with at least eight saved widths those are used instead of the defaults.
    static void AddColumns(s::gui::listbox2::ListBoxModel& list, lang::Localizer* localizer, std::span<const int32_t> savedWidths);

    // A new row showing the job's current values; the row's owner is the job. The caller binds
    // the job to it (Bind) and adds it to the list.
    static s::gui::listbox2::Record* MakeRow(DlThread& job);
    // The job a row of the jobs' list shows.
    static DlThread* JobOf(const s::gui::listbox2::Record* row);

    // Binds the job to its row in a list (or, with a null row, to nothing).
    static void Bind(DlThread& job, s::gui::listbox2::ListBoxModel* list, s::gui::listbox2::Record* row);

    struct Binding {
        s::gui::listbox2::ListBoxModel* list { nullptr };
        s::gui::listbox2::Record* row { nullptr };
        s::gui::listbox2::RowId id { 0 };
        explicit operator bool() const { return list && row; }
    };
    // The job's row as it is bound now, read under the job's lock.
    static Binding BindingOf(DlThread& job);

    // Brings the row up to date: the cells 0 to 6 whose values differ from the job's are written
    // in one update (one hop to the GUI thread), the link cell never; then the rate event goes to
    // the job's owner when the last one is more than a second old. Any thread; a job without a
    // row, or whose row has left its list, writes nothing.
    static void Publish(DlThread& job);

    // Attaches the job's file path to its title cell, when there is a path and a row.
    static void AttachPath(DlThread& job);

    // The once-a-second decision of the rate event, made atomically: true for exactly one of any
    // number of callers that find the last report more than 1000 ms before `nowMs`; `last` then
    // holds `stampMs` cut down to a whole second.
    static bool TakeRateReport(std::atomic<int64_t>& last, int64_t nowMs, int64_t stampMs);

    // Milliseconds since 1970 from the system clock.
    static int64_t ClockMs();
};

}
