#include "engine/rows/JobRow.h"

#include "engine/DlThread.h"
#include "engine/WorkerEvents.h"
#include "engine/rows/RowFormat.h"
#include "gui/IWindow.h"
#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/Formatters.h"
#include "gui/listbox2/Int64Value.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/RowUpdate.h"
#include "gui/listbox2/SubRecord.h"

#include <mutex>
#include <string>
#include <time.h>

namespace s::video::gui::dialogs::videodl {

namespace lb = s::gui::listbox2;

namespace {

void formatSizeCell(lb::CellValue value, str::strbuffer::StrBuffer& out)
{
    RowFormat::FormatSize(lb::Int64Value::of(value), out);
}

void formatPercentCell(lb::CellValue value, str::strbuffer::StrBuffer& out)
{
    RowFormat::FormatPercent(lb::toS32(value), out);
}

void formatStateCell(lb::CellValue value, str::strbuffer::StrBuffer& out)
{
    RowFormat::FormatState(lb::toS32(value), out);
}

void formatSpeedCell(lb::CellValue value, str::strbuffer::StrBuffer& out)
{
    RowFormat::FormatSpeed(lb::Int64Value::of(value), out);
}

void formatEtaCell(lb::CellValue value, str::strbuffer::StrBuffer& out)
{
    RowFormat::FormatDuration(lb::Int64Value::of(value), out);
}

// What a row shows of a job, copied at one moment.
struct Shown {
    std::u16string title;
    uint32_t number { 0 };
    int64_t size { -1 };
    int32_t done { -1 };
    int32_t state { -1 };
    int64_t speed { -1 };
    int64_t eta { -1 };
    std::u16string link;
    std::u16string path;

    explicit Shown(DlThread& job)
    {
        {
            std::scoped_lock guard(job.Lock);
            title = job.FileName->length() ? job.FileName->view() : job.Url->view();
            link = job.Url->view();
            path = job.FilePath->view();
        }
        number = static_cast<uint32_t>(job.Index);
        size = job.TotalSize.load();
        done = RowFormat::PercentTenths(job.PercentDone.load());
        state = static_cast<int32_t>(job.State.load());
        speed = job.Speed.load();
        eta = job.Eta.load();
    }
};

}

const std::array<JobRow::Column, JobRow::CellCount>& JobRow::Columns()
{
    static const std::array<Column, CellCount> columns { {
        { 990000, 240, lb::Alignment::Left, lb::comparators::text },
        { 990500, 30, lb::Alignment::Right, lb::comparators::u32 },
        { 991000, 75, lb::Alignment::Right, lb::comparators::s64 },
        { 992000, 80, lb::Alignment::Right, lb::comparators::s32 },
        { 992500, 120, lb::Alignment::Left, lb::comparators::s32 },
        { 993000, 80, lb::Alignment::Left, lb::comparators::s64 },
        { 993900, 75, lb::Alignment::Left, lb::comparators::s64 },
        { 994000, 700, lb::Alignment::Left, lb::comparators::text },
    } };
    return columns;
}

void JobRow::AddColumns(lb::ListBoxModel& list, lang::Localizer* localizer, std::span<const int32_t> savedWidths)
{
    bool useSaved = savedWidths.size() >= CellCount;
    for (int32_t i = 0; i < CellCount; ++i) {
        const Column& column = Columns()[i];
        int32_t width = useSaved ? savedWidths[i] : column.Width;
        list.addColumnById(localizer, column.TitleId, width, column.Align, true, column.Compare, true, i == Title);
    }
}

lb::Record* JobRow::MakeRow(DlThread& job)
{
    Shown shown(job);
    lb::Record* row = lb::Record::get();
    row->setOwner(&job);
    lb::SubRecord* title = row->addTextCell(shown.title, lb::formatters::text);
    title->setLeading(true);
    if (!shown.path.empty())
        title->setAttachedPath(shown.path);
    row->addU32Cell(shown.number, lb::formatters::u32);
    row->addInt64Cell(shown.size, formatSizeCell);
    row->addS32Cell(shown.done, formatPercentCell);
    row->addS32Cell(shown.state, formatStateCell);
    row->addInt64Cell(shown.speed, formatSpeedCell);
    row->addInt64Cell(shown.eta, formatEtaCell);
    row->addTextCell(shown.link, lb::formatters::text);
    return row;
}

DlThread* JobRow::JobOf(const lb::Record* row)
{
    return row ? static_cast<DlThread*>(row->owner()) : nullptr;
}

void JobRow::Bind(DlThread& job, lb::ListBoxModel* list, lb::Record* row)
{
    std::scoped_lock guard(job.Lock);
    job.Row = row;
    job.rowId = row ? row->id() : 0;
    job.RowList = row ? list : nullptr;
}

JobRow::Binding JobRow::BindingOf(DlThread& job)
{
    std::scoped_lock guard(job.Lock);
    return { job.RowList, job.Row, job.rowId };
}

void JobRow::Publish(DlThread& job)
{
    Binding bound = BindingOf(job);
    if (!bound)
        return;
    lb::Record* row = bound.row;
    lb::ListBoxModel* list = bound.list;
    lb::RowId id = bound.id;

    // Step 1: the job's values, copied before the list's lock is taken, so the job's lock is
    // never taken inside the list's.
    Shown shown(job);

    // Step 2: compare with the cells and collect what differs.
    lb::RowUpdate update;
    std::unique_lock guard(list->locker());
    if (list->isRowValid(row, id)) {
        auto cellValue = [row](int32_t column) -> lb::CellValue {
            lb::SubRecord* cell = row->cell(column);
            return cell ? cell->value() : 0;
        };
        if (lb::TextValue::of(cellValue(Title)) != shown.title) {
            update.setText(Title, shown.title);
            update.setU32(Number, shown.number);
        } else if (lb::toU32(cellValue(Number)) != shown.number) {
            update.setU32(Number, shown.number);
        }
        if (lb::Int64Value::of(cellValue(Size)) != shown.size)
            update.setInt64(Size, shown.size);
        if (lb::toS32(cellValue(Done)) != shown.done)
            update.setS32(Done, shown.done);
        if (lb::toS32(cellValue(Status)) != shown.state)
            update.setS32(Status, shown.state);
        if (lb::Int64Value::of(cellValue(Speed)) != shown.speed)
            update.setInt64(Speed, shown.speed);
        if (lb::Int64Value::of(cellValue(Eta)) != shown.eta)
            update.setInt64(Eta, shown.eta);
    }
    guard.unlock();
    // Step 3: one write of the changed cells, carried to the GUI thread by the list.
    if (!update.empty())
        list->applyRowUpdate(row, id, update);

    // Step 4: the rate event, at most once a second, whichever thread publishes.
    if (TakeRateReport(job.LastRateReport, ClockMs(), ClockMs()) && job.Owner) {
        int64_t speed = job.Speed.load();
        int64_t eta = job.Eta.load();
        job.Owner->sendRequest(ProcessUpdateSpeedAndEta, reinterpret_cast<intptr_t>(&speed), reinterpret_cast<intptr_t>(&eta), 0);
    }
}

void JobRow::AttachPath(DlThread& job)
{
    Binding bound = BindingOf(job);
    if (!bound)
        return;
    lb::Record* row = bound.row;
    lb::ListBoxModel* list = bound.list;
    lb::RowId id = bound.id;
    thread::Pooled<str::StrBuffer> path = job.CopyFilePath();
    // A row that left its list costs no trip to the GUI thread.
    if (path->length() == 0 || !list->isRowValid(row, id))
        return;
    list->attachPath(row, id, Title, path->view());
}

bool JobRow::TakeRateReport(std::atomic<int64_t>& last, int64_t nowMs, int64_t stampMs)
{
    int64_t seen = last.load();
    // A clock set back would otherwise silence the reports until it caught up again.
    bool clockWentBack = nowMs < seen;
    if (nowMs <= seen + 1000 && !clockWentBack)
        return false;
    return last.compare_exchange_strong(seen, stampMs / 1000 * 1000);
}

int64_t JobRow::ClockMs()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}
