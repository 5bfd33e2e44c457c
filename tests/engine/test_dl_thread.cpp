#include "EngineTestSupport.h"

#include "engine/DlThread.h"
#include "engine/JobState.h"
#include "engine/ToolOutputParser.h"
#include "engine/WorkerEvents.h"
#include "foundation/thread/os/Thread.h"
#include "gui/IWindow.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
using enginetest::TempDir;
using enginetest::Utf8;
using s::thread::Pooled;

TEST(DlThread, FreshJob)
{
    Pooled<DlThread> job;
    EXPECT_STREQ(job->className(), "s_video_gui_dialogs_videodl_DlThread");
    EXPECT_EQ(job->Row, nullptr);
    EXPECT_EQ(job->Index, 0);
    EXPECT_EQ(job->TotalSize, -1);
    EXPECT_EQ(job->PercentDone, -1.0);
    EXPECT_EQ(job->State, JobState::None);
    EXPECT_EQ(job->Duration, -1);
    EXPECT_EQ(job->Speed, -1);
    EXPECT_EQ(job->Eta, -1);
    for (auto* text : { &job->Id, &job->Password, &job->Dir, &job->Url, &job->FileName, &job->FilePath, &job->Log })
        EXPECT_EQ((*text)->length(), 0u);
    EXPECT_FALSE(job->OnlyMp3);
    EXPECT_EQ(job->Owner, nullptr);
    EXPECT_EQ(job->LogListener, nullptr);
    EXPECT_FALSE(job->RemoveWhenDone);
    EXPECT_EQ(job->LastRateReport, 0);
    EXPECT_FALSE(job->Worker);
    EXPECT_FALSE(job->StopRequested);
    EXPECT_FALSE(job->Running);
}

// A job from the pool after another was removed holds nothing of it but its worker thread.
TEST(DlThread, JobFromThePoolAfterARemovedJobStartsFresh)
{
    DlThread* removed = DlThread::get();
    removed->Index = 7;
    removed->TotalSize = 100;
    removed->PercentDone = 45.5;
    removed->State = JobState::Completed;
    removed->Duration = 3;
    removed->Speed = 4;
    removed->Eta = 5;
    removed->Id->assign(u"user");
    removed->Password->assign(u"secret");
    removed->Dir->assign(u"/videos");
    removed->Url->assign(u"http://127.0.0.1/v");
    removed->OnlyMp3 = true;
    removed->SetFileName(u"v.mp4");
    removed->Log->assign(u"[download] 100%\n");
    removed->RemoveWhenDone = true;
    removed->LastRateReport = 1000;
    removed->StopRequested = true;
    removed->Worker.replace(s::thread::os::Thread::get());
    s::thread::os::Thread* worker = removed->Worker.get();
    removed->release();

    Pooled<DlThread> next;
    ASSERT_EQ(next.get(), removed) << "the pool hands out the job released last";
    for (auto* text : { &next->Id, &next->Password, &next->Dir, &next->Url, &next->FileName, &next->FilePath, &next->Log })
        EXPECT_EQ((*text)->length(), 0u);
    EXPECT_EQ(next->Index, 0);
    EXPECT_EQ(next->TotalSize, -1);
    EXPECT_EQ(next->PercentDone, -1.0);
    EXPECT_EQ(next->State, JobState::None);
    EXPECT_EQ(next->Duration, -1);
    EXPECT_EQ(next->Speed, -1);
    EXPECT_EQ(next->Eta, -1);
    EXPECT_FALSE(next->OnlyMp3);
    EXPECT_FALSE(next->RemoveWhenDone);
    EXPECT_FALSE(next->StopRequested);
    EXPECT_EQ(next->LastRateReport, 0);
    EXPECT_EQ(next->Worker.get(), worker) << "the worker thread is kept for the next start";
}

TEST(DlThread, FailedRunsMoveTheirProgressAboveFourHundred)
{
    const std::pair<double, double> cases[] = {
        { 45.5, 445.5 }, // failed after the tool reported 45.5 %
        { 0.0, 400.0 }, // failed after exactly 0 %
        { -1.0, -1.0 }, // failed before any percentage
        { 100.0, 500.0 },
        { 445.0, 445.0 }, // failed again: stays
        { 445.5, 445.5 },
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(DlThread::FoldFailedProgress(before), after) << before;
}

TEST(DlThread, SetFileNameJoinsTheFolderAndTheName)
{
    const struct {
        std::u16string_view dir, name, path;
    } cases[] = {
        { u"/home/me/Videos", u"clip [clip].mp4", u"/home/me/Videos/clip [clip].mp4" },
        { u"", u"clip.mp4", u"/clip.mp4" }, // an empty folder leaves the separator in front
        { u"/v", u"", u"/v/" },
        { u"/v", u"caf\u00e9 \u2713.mkv", u"/v/caf\u00e9 \u2713.mkv" },
    };
    for (const auto& c : cases) {
        Pooled<DlThread> job;
        job->Dir->assign(c.dir);
        job->FileName->assign(u"old");
        job->SetFileName(c.name);
        EXPECT_EQ(Utf8(job->FileName->view()), Utf8(c.name));
        EXPECT_EQ(Utf8(job->FilePath->view()), Utf8(c.path));
    }
}

TEST(DlThread, DeletesOnlyFilesAndOnlyItsOwn)
{
    struct Case {
        const char* what;
        bool all;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        { "partials", false, { "a.mp4", "a.mp4.download/", "other.mp4" } },
        { "everything", true, { "a.mp4.download/", "other.mp4" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.makeFile(u"a.mp4", 10);
        auto part = dir.makeFile(u"a.mp4.part", 5);
        ::chmod(part.c_str(), 0444); // read-only partials go too
        std::filesystem::create_directory(dir.path() / "a.mp4.download"); // a folder is never deleted
        dir.makeFile(u"other.mp4", 1);
        Pooled<DlThread> job;
        job->Dir->assign(dir.text());
        job->SetFileName(u"a.mp4");
        if (c.all)
            job->DeleteFiles();
        else
            job->DeletePartials();
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            left.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.left);
    }

    // Without a file path there is nothing to delete, whatever the folder holds.
    TempDir dir;
    dir.makeFile(u".part", 1);
    Pooled<DlThread> job;
    job->Dir->assign(dir.text());
    job->DeleteFiles();
    job->DeletePartials();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / ".part"));
}

TEST(DlThread, IsCompletedIdleOnlyWhenCompletedAndNotRunning)
{
    const struct {
        JobState state;
        bool running;
        bool completedIdle;
    } cases[] = {
        { JobState::Completed, false, true },
        { JobState::Completed, true, false },
        { JobState::Error, false, false },
        { JobState::None, false, false },
    };
    for (const auto& c : cases) {
        Pooled<DlThread> job;
        job->State = c.state;
        job->Running = c.running;
        EXPECT_EQ(job->IsCompletedIdle(), c.completedIdle);
    }
}

TEST(DlThread, ResetProgressForgetsTheRunButNotTheJob)
{
    Pooled<DlThread> job;
    job->Url->assign(u"http://127.0.0.1/v");
    job->Dir->assign(u"/v");
    job->Id->assign(u"me");
    job->Index = 3;
    job->SetFileName(u"v.mp4");
    job->Log->assign(u"line\n");
    job->TotalSize = 1;
    job->PercentDone = 445.5;
    job->State = JobState::Error;
    job->Duration = 2;
    job->Speed = 3;
    job->Eta = 4;
    job->StopRequested = true;
    job->ResetProgress();
    EXPECT_EQ(job->TotalSize, -1);
    EXPECT_EQ(job->PercentDone, -1.0);
    EXPECT_EQ(job->State, JobState::None);
    EXPECT_EQ(job->Duration, -1);
    EXPECT_EQ(job->Speed, -1);
    EXPECT_EQ(job->Eta, -1);
    EXPECT_EQ(job->FileName->length(), 0u);
    EXPECT_EQ(job->FilePath->length(), 0u);
    EXPECT_EQ(job->Log->length(), 0u);
    EXPECT_FALSE(job->StopRequested);
    EXPECT_FALSE(job->Running);
    EXPECT_EQ(Utf8(job->Url->view()), "http://127.0.0.1/v");
    EXPECT_EQ(Utf8(job->Dir->view()), "/v");
    EXPECT_EQ(Utf8(job->Id->view()), "me");
    EXPECT_EQ(job->Index, 3);
}

namespace {

// Records the requests a window receives.
class RecordingWindow final : public s::gui::IWindow {
public:
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t) override
    {
        std::scoped_lock guard(m_lock);
        m_requests.push_back({ name, a1, a2 });
        return 0;
    }
    struct Request {
        const char* name;
        intptr_t a1, a2;
        bool operator==(const Request&) const = default;
    };
    std::vector<Request> requests()
    {
        std::scoped_lock guard(m_lock);
        return m_requests;
    }

private:
    std::mutex m_lock;
    std::vector<Request> m_requests;
};

}

// On its worker thread a job tells its owner that a download starts and ends, and a job removed
// meanwhile loses its files at the end.
TEST(DlThread, RunsOnItsWorkerAndCleansUpARemovedJob)
{
    TempDir dir;
    dir.makeFile(u"v.mp4", 3);
    dir.makeFile(u"v.mp4.part", 3);
    RecordingWindow owner;
    Pooled<DlThread> job;
    job->Owner = &owner;
    job->Dir->assign(dir.text());
    job->SetFileName(u"v.mp4");
    job->RemoveWhenDone = true;
    job->Running = true;
    job->StopRequested = true;
    job->Worker.replace(s::thread::os::Thread::get());
    job->Worker->runOnce(job.get());
    job->Worker->waitIdle();
    using Request = RecordingWindow::Request;
    EXPECT_EQ(owner.requests(), (std::vector<Request> { { ProcessUpdateDownloadedNum, 1, 0 }, { ProcessUpdateDownloadedNum, 0, 0 } }));
    EXPECT_FALSE(job->Running);
    EXPECT_FALSE(job->StopRequested);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

namespace {

// Parses lines on the job's worker thread, as the runner does.
class ParsingTask final : public s::thread::ITask {
public:
    explicit ParsingTask(DlThread& job)
        : m_job(job)
    {
    }
    void run() override
    {
        for (int i = 0; i <= 1000; ++i) {
            std::u16string line = u"[download]  " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u".0% of 10.00MiB at  1.00MiB/s ETA 00:05";
            ParseToolLine(m_job, line, ToolYoutubeDl);
            if (i % 100 == 0)
                m_job.SetFileName(i % 200 == 0 ? u"a.mp4" : u"b.mp4");
        }
    }

private:
    DlThread& m_job;
};

}

// The UI thread reads the numbers without a lock and copies the texts under the job's lock while
// the worker writes both.
TEST(DlThread, WorkerWritesWhileTheUiThreadReads)
{
    Pooled<DlThread> job;
    job->Dir->assign(u"/nowhere");
    ParsingTask task(*job);
    job->Worker.replace(s::thread::os::Thread::get());
    job->Worker->runOnce(&task);
    int seen = 0;
    while (!job->Worker->isIdle()) {
        double percent = job->PercentDone;
        EXPECT_TRUE(percent == -1.0 || (percent >= 0.0 && percent < 10.0));
        std::scoped_lock guard(job->Lock);
        std::string path = Utf8(job->FilePath->view());
        EXPECT_TRUE(path.empty() || path == "/nowhere/a.mp4" || path == "/nowhere/b.mp4") << path;
        ++seen;
    }
    job->Worker->waitIdle();
    EXPECT_EQ(job->TotalSize, 10485760);
    EXPECT_EQ(Utf8(job->FileName->view()), "a.mp4");
}

TEST(JobState, StoredNamesAndDisplayTexts)
{
    const struct {
        JobState state;
        int32_t value;
        std::u16string_view stored;
        int32_t textId;
    } states[] = {
        { JobState::None, -1, u"", 0 },
        { JobState::Error, 0, u"Error", 3820000 },
        { JobState::Canceled, 1, u"Canceled", 3820100 },
        { JobState::Pending, 2, u"Pending", 3820200 },
        { JobState::Paused, 3, u"Paused", 3820300 },
        { JobState::Canceling, 4, u"Canceling", 3820400 },
        { JobState::Retrying, 5, u"Retrying", 3820500 },
        { JobState::Initializing, 6, u"Initializing", 3820600 },
        { JobState::Downloading, 7, u"Downloading", 3820700 },
        { JobState::Merging, 8, u"", 3820750 },
        { JobState::Converting, 9, u"", 3820770 },
        { JobState::Completed, 10, u"Completed", 3820800 },
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.value);
        EXPECT_EQ(static_cast<int32_t>(s.state), s.value);
        EXPECT_EQ(Utf8(StoredName(s.state)), Utf8(s.stored));
        EXPECT_EQ(DisplayTextId(s.state), s.textId);
        if (!s.stored.empty()) {
            JobState read = JobState::None;
            EXPECT_TRUE(StateFromStoredName(s.stored, read));
            EXPECT_EQ(read, s.state);
        }
    }
    EXPECT_EQ(DisplayTextId(static_cast<JobState>(11)), 0);
    EXPECT_EQ(StoredName(static_cast<JobState>(11)), u"");

    // Names read back ignoring letter case; unknown names leave the state alone.
    const std::pair<std::u16string_view, JobState> names[] = {
        { u"completed", JobState::Completed },
        { u"DOWNLOADING", JobState::Downloading },
        { u"Merging", JobState::Paused },
        { u"", JobState::Paused },
        { u"Completed ", JobState::Paused },
    };
    for (const auto& [name, expected] : names) {
        JobState read = JobState::Paused;
        StateFromStoredName(name, read);
        EXPECT_EQ(read, expected) << Utf8(name);
    }
}
