// A job's row: the cells made from a fresh job, the update that writes only what changed in one
// hop, the attached path, the once-a-second rate report, and the order of the "Done" column.

#include "engine/DlThread.h"
#include "engine/WorkerEvents.h"
#include "engine/rows/JobRow.h"
#include "engine/rows/RowTexts.h"
#include "gui/IWindow.h"
#include "gui/listbox2/IExecutor.h"
#include "gui/listbox2/IListView.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <set>
#include <thread>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
namespace lb = s::gui::listbox2;
using s::thread::Pooled;

namespace {

// Runs every change at once on the caller's thread, counting the hops a GUI thread would take.
struct CountingExecutor final : lb::IExecutor {
    std::atomic<int> hops { 0 };
    bool isCurrent() const override { return false; }
    void runAndWait(const std::function<void()>& work) override
    {
        ++hops;
        work();
    }
};

struct RecordingView final : lb::IListView {
    std::set<int32_t> changedColumns;
    void rowsChanged() override { }
    void rowChanged(int32_t) override { }
    void cellChanged(int32_t, int32_t column) override { changedColumns.insert(column); }
    void columnsChanged() override { }
    void ensureVisible(int32_t) override { }
};

struct CountingWindow final : s::gui::IWindow {
    std::atomic<int> rateReports { 0 };
    intptr_t sendRequest(const char* name, intptr_t, intptr_t, intptr_t) override
    {
        if (name == ProcessUpdateSpeedAndEta)
            ++rateReports;
        return 0;
    }
};

class JobRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RowTexts::restoreBuiltIn();
        JobRow::AddColumns(list, nullptr, {});
    }
    void TearDown() override
    {
        list.setExecutor(nullptr);
        list.setView(nullptr);
        for (Pooled<DlThread>& job : jobs)
            JobRow::Bind(*job, nullptr, nullptr);
        list.releaseAllRows();
    }

    DlThread& addJob(std::u16string_view url, int32_t index)
    {
        jobs.emplace_back();
        DlThread& job = *jobs.back();
        job.Owner = &window;
        job.Index = index;
        job.Url->assign(url);
        job.Dir->assign(u"/downloads");
        lb::Record* row = JobRow::MakeRow(job);
        JobRow::Bind(job, &list, row);
        EXPECT_TRUE(list.appendRow(row));
        return job;
    }

    std::u16string shown(DlThread& job, int32_t column)
    {
        std::u16string text;
        EXPECT_TRUE(list.readCellDisplayText(JobRow::BindingOf(job).row, JobRow::BindingOf(job).id, column, text));
        return text;
    }

    lb::ListBoxModel list;
    CountingWindow window;
    std::vector<Pooled<DlThread>> jobs;
};

TEST_F(JobRowTest, AFreshJobShowsItsLinkAndNumberOnly)
{
    DlThread& job = addJob(u"http://example.com/v", 7);
    const std::u16string expected[JobRow::CellCount] = { u"http://example.com/v", u"7", u"", u"", u"", u"", u"", u"http://example.com/v" };
    for (int32_t column = 0; column < JobRow::CellCount; ++column)
        EXPECT_EQ(shown(job, column), expected[column]) << "column " << column;
    EXPECT_EQ(JobRow::JobOf(JobRow::BindingOf(job).row), &job);
    EXPECT_TRUE(JobRow::BindingOf(job).row->cell(JobRow::Title)->isLeading());
}

TEST_F(JobRowTest, OnlyChangedCellsAreWrittenInOneHop)
{
    DlThread& job = addJob(u"http://example.com/v", 1);
    CountingExecutor executor;
    RecordingView view;
    list.setExecutor(&executor);
    list.setView(&view);
    job.LastRateReport = JobRow::ClockMs();

    job.TotalSize = 1100;
    job.PercentDone = double(45.3f);
    job.State = JobState::Downloading;
    job.PublishToRow();
    EXPECT_EQ(executor.hops.load(), 1);
    EXPECT_EQ(view.changedColumns, (std::set<int32_t> { JobRow::Size, JobRow::Done, JobRow::Status }));
    EXPECT_EQ(shown(job, JobRow::Size), u"1.07 KB");
    EXPECT_EQ(shown(job, JobRow::Done), u"45.2 %");
    EXPECT_EQ(shown(job, JobRow::Status), u"Downloading");

    // Nothing changed: no hop at all.
    job.PublishToRow();
    EXPECT_EQ(executor.hops.load(), 1);

    // A file name: the title, with the number written again; the link cell never changes.
    view.changedColumns.clear();
    job.SetFileName(u"clip.mp4");
    int afterAttach = executor.hops.load();
    EXPECT_EQ(afterAttach, 2);
    job.Speed = 2048;
    job.Eta = 65000;
    job.PublishToRow();
    EXPECT_EQ(executor.hops.load(), afterAttach + 1);
    EXPECT_EQ(view.changedColumns, (std::set<int32_t> { JobRow::Title, JobRow::Number, JobRow::Speed, JobRow::Eta }));
    EXPECT_EQ(shown(job, JobRow::Title), u"clip.mp4");
    EXPECT_EQ(shown(job, JobRow::Speed), u"2.00 KB/s");
    EXPECT_EQ(shown(job, JobRow::Eta), u"1m 5s");
    EXPECT_EQ(shown(job, JobRow::Link), u"http://example.com/v");
    std::u16string path;
    EXPECT_TRUE(list.readCellPath(JobRow::BindingOf(job).row, JobRow::BindingOf(job).id, JobRow::Title, path));
    EXPECT_EQ(path, u"/downloads/clip.mp4");
}

TEST_F(JobRowTest, ARowThatLeftItsListIsNotWritten)
{
    DlThread& job = addJob(u"http://example.com/v", 1);
    CountingExecutor executor;
    list.setExecutor(&executor);
    lb::Record* row = JobRow::BindingOf(job).row;
    lb::RowId id = JobRow::BindingOf(job).id;
    ASSERT_TRUE(list.removeAndReleaseRow(row, id));
    int hops = executor.hops.load();
    job.State = JobState::Error;
    job.PublishToRow();
    job.SetFileName(u"x.mp4");
    EXPECT_EQ(executor.hops.load(), hops);
    JobRow::Bind(job, nullptr, nullptr);
}

TEST_F(JobRowTest, TwoChangesWithinASecondSendOneRateReport)
{
    DlThread& job = addJob(u"http://example.com/v", 1);
    job.Speed = 100;
    job.PublishToRow();
    job.Speed = 200;
    job.PublishToRow();
    EXPECT_EQ(window.rateReports.load(), 1);
    EXPECT_EQ(job.LastRateReport.load() % 1000, 0);
}

TEST_F(JobRowTest, TheRateReportIsDecidedOnceAmongRacingThreads)
{
    constexpr int Threads = 8;
    for (int round = 0; round < 200; ++round) {
        std::atomic<int64_t> last { 0 };
        std::atomic<int> winners { 0 };
        std::barrier start(Threads);
        std::vector<std::thread> racers;
        for (int t = 0; t < Threads; ++t) {
            racers.emplace_back([&] {
                start.arrive_and_wait();
                if (JobRow::TakeRateReport(last, 5000 + round, 5000 + round))
                    ++winners;
            });
        }
        for (std::thread& racer : racers)
            racer.join();
        ASSERT_EQ(winners.load(), 1) << "round " << round;
        EXPECT_EQ(last.load(), 5000);
    }
    // Not again within the second; again after it, and after the clock was set back.
    std::atomic<int64_t> last { 5000 };
    EXPECT_FALSE(JobRow::TakeRateReport(last, 6000, 6000));
    EXPECT_TRUE(JobRow::TakeRateReport(last, 6001, 6001));
    EXPECT_TRUE(JobRow::TakeRateReport(last, 100, 100));
}

TEST_F(JobRowTest, AWorkerAndTheGuiThreadPublishTogether)
{
    DlThread& job = addJob(u"http://example.com/v", 1);
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            job.TotalSize = i;
            job.PublishToRow();
        }
    });
    for (int i = 0; i < 2000; ++i) {
        job.State = (i % 2) ? JobState::Downloading : JobState::Canceling;
        job.PublishToRow();
    }
    worker.join();
    job.PublishToRow();
    EXPECT_EQ(shown(job, JobRow::Size), u"1.95 KB");
    EXPECT_LE(window.rateReports.load(), 3);
}

TEST_F(JobRowTest, FailedJobsSortAfterFinishedOnes)
{
    const double percents[] = { 445.5, 100.0, -1.0, double(45.3f), 400.0 };
    int index = 0;
    for (double percent : percents) {
        std::u16string url = u"http://example.com/" + std::u16string(1, char16_t(u'a' + index));
        ++index;
        DlThread& job = addJob(url, index);
        job.PercentDone = percent;
        job.PublishToRow();
    }
    list.toggleSortColumn(JobRow::Done);
    list.sort();
    std::vector<std::u16string> order;
    for (int32_t position = 0; position < list.getRowCount(); ++position) {
        std::u16string text;
        lb::RowHandle row = list.getRow(position);
        list.readCellDisplayText(row.row, row.id, JobRow::Done, text);
        order.push_back(text);
    }
    // Ascending or descending, failed runs never mix with finished ones.
    std::vector<std::u16string> ascending = { u"", u"45.2 %", u"100.0 %", u"100.0 %", u"45.5 %" };
    std::vector<std::u16string> descending(ascending.rbegin(), ascending.rend());
    EXPECT_TRUE(order == ascending || order == descending);
}

}
