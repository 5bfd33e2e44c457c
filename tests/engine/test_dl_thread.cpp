#include "EngineTestSupport.h"

#include "engine/DlThread.h"
#include "engine/DownloadFolder.h"
#include "engine/JobState.h"
#include "engine/ToolOutputParser.h"
#include "engine/WorkerEvents.h"
#include "foundation/thread/os/Thread.h"
#include "gui/IWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
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
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {
        { 45.5, 445.5 }, // failed after the tool reported 45.5 %
        { 0.0, 400.0 }, // failed after exactly 0 %
        { -1.0, -1.0 }, // failed before any percentage
        { 100.0, 500.0 },
        { 445.0, 445.0 }, // failed again: stays
        { 445.5, 445.5 },
        { 150.25, 450.25 }, // a tool's estimate that overshot
        { 200.0, 500.0 }, // whole hundreds fold to 100, as subtracting while above 100 does
        { 1000.0, 500.0 },
        // What a web server's reason phrase can make a tool print is no progress: unknown.
        { 1000.5, -1.0 },
        { 1e30, -1.0 },
        { std::numeric_limits<double>::max(), -1.0 },
        { Infinity, -1.0 },
        { -Infinity, -1.0 },
        { std::numeric_limits<double>::quiet_NaN(), -1.0 },
        { -5.0, -1.0 },
        { -0.0, 400.0 },
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(DlThread::FoldFailedProgress(before), after) << before;

    // Folding is the exact remainder, also where repeated subtraction would take for ever.
    for (double percent = 100.0; percent <= 1000.0; percent += 0.1) {
        double expected = percent;
        while (expected > 100.0)
            expected -= 100.0;
        EXPECT_EQ(DlThread::FoldFailedProgress(percent), expected + 400.0) << percent;
    }
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

namespace {

// A home folder of its own for the test (HOME points there while the object lives), holding a
// ".bashrc" and a download folder two levels down, "Videos/dl", with a file of the job in it.
class TemporaryHome {
public:
    TemporaryHome()
    {
        const char* saved = std::getenv("HOME");
        m_saved = saved ? std::optional<std::string>(saved) : std::nullopt;
        setenv("HOME", m_home.path().c_str(), 1);
        m_home.makeFile(u".bashrc", 7);
        m_home.makeFile(u".profile", 5);
        std::filesystem::create_directories(downloads());
        std::ofstream(downloads() / "clip.mp4") << "video";
    }
    ~TemporaryHome()
    {
        if (m_saved)
            setenv("HOME", m_saved->c_str(), 1);
        else
            unsetenv("HOME");
    }

    std::filesystem::path path() const { return m_home.path(); }
    std::filesystem::path downloads() const { return m_home.path() / "Videos" / "dl"; }
    std::u16string downloadsText() const { return downloads().u16string(); }

    // Every file of the home, with its size: what a test must find unchanged.
    std::vector<std::pair<std::string, uintmax_t>> files() const
    {
        std::vector<std::pair<std::string, uintmax_t>> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_home.path())) {
            if (entry.is_regular_file(ignored()))
                found.emplace_back(std::filesystem::relative(entry.path(), m_home.path()).string(), entry.file_size());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    static std::error_code& ignored()
    {
        static thread_local std::error_code code;
        return code;
    }

    TempDir m_home;
    std::optional<std::string> m_saved;
};

}

// Names a tool prints go through the parser's rules; whatever they say, the job's deletions stay
// inside its folder. The lines are what a hostile page title or a doctored tool could produce.
TEST(DlThread, NamesFromToolOutputDeleteNothingOutsideTheFolder)
{
    const struct {
        const char* what;
        std::u16string_view tool;
        std::u16string line; // {HOME} is the temporary home, {DIR} the download folder
    } cases[] = {
        { "a playlist title holding the destination line", ToolYoutubeDl, u"x [download] Destination: ../../.bashrc" },
        { "an absolute destination", ToolYoutubeDl, u"[download] Destination: {HOME}/.bashrc" },
        { "a destination that climbs in the middle", ToolYoutubeDl, u"[download] Destination: a/../../../.bashrc" },
        { "backslashes", ToolYoutubeDl, u"[download] Destination: ..\\..\\.bashrc" },
        { "merge", ToolYoutubeDl, u"[Merger] Merging formats into \"../../.bashrc\"" },
        { "older merge", ToolYoutubeDl, u"[ffmpeg] Merging formats into \"{HOME}/.bashrc\"" },
        { "audio", ToolYoutubeDl, u"[ExtractAudio] Destination: ../../.bashrc.mp3" },
        { "older audio", ToolYoutubeDl, u"[ffmpeg] Destination: {HOME}/x.mp3" },
        { "already downloaded, absolute", ToolYoutubeDl, u"[download] {HOME}/.bashrc has already been downloaded" },
        { "already downloaded, after the folder", ToolYoutubeDl, u"[download] {DIR}/../../.bashrc has already been downloaded" },
        { "you-get title", ToolYouGet, u"Title: ../../.bashrc" },
        { "you-get file name", ToolYouGet, u"Downloading ../../.profile ..." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryHome home;
        auto before = home.files();
        Pooled<DlThread> job;
        job->Dir->assign(home.downloadsText());
        job->SetFileName(u"clip.mp4");
        std::u16string line = c.line;
        for (auto [key, value] : { std::pair<std::u16string, std::u16string> { u"{HOME}", home.path().u16string() }, { u"{DIR}", home.downloadsText() } }) {
            if (size_t at = line.find(key); at != std::u16string::npos)
                line.replace(at, key.size(), value);
        }
        ParseToolLine(*job, line, c.tool);
        EXPECT_EQ(Utf8(job->FileName->view()), "clip.mp4") << "the name was refused";
        EXPECT_EQ(job->PercentDone, -1.0);
        job->DeleteFiles();
        auto after = home.files();
        std::erase_if(before, [](const auto& file) { return file.first == "Videos/dl/clip.mp4"; });
        EXPECT_EQ(after, before) << "only the job's own file went";
    }
}

// The shape of a name decides first; where the folder exists, where the name leads decides too.
TEST(DownloadFolder, TakesOnlyNamesThatStayInTheFolder)
{
    TemporaryHome home;
    std::filesystem::create_symlink(home.path(), home.downloads() / "up");
    std::filesystem::create_directories(home.downloads() / "sub");
    const struct {
        std::u16string name;
        bool taken;
    } names[] = {
        { u"clip [clip].mp4", true },
        { u"sub/part.mp4", true }, // a folder of its own inside
        { u"new/part.mp4", true }, // a folder that is not there yet leads nowhere else
        { u"./clip.mp4", true },
        { u"..clip", true },
        { u"clip..mp4", true },
        { u"Wait... what.mp4", true },
        { u"", false },
        { u"/etc/passwd", false },
        { u"..", false },
        { u"../x", false },
        { u"a/../../x", false },
        { u"a/..", false },
        { u"..\\x", false },
        { u"up/.bashrc", false }, // through a link that leads out
        { u"up", false }, // the link itself leads out
        { std::u16string(u"..\0x", 4), false },
        { std::u16string(u"x\0", 2), false },
    };
    for (const auto& n : names) {
        EXPECT_EQ(DownloadFolder::acceptsName(home.downloadsText(), n.name), n.taken) << Utf8(n.name);
        // (Joined to the folder, "/etc/passwd" is the folder's own "etc/passwd".)
        if (!n.name.starts_with(u"/")) {
            EXPECT_EQ(DownloadFolder::holds(home.downloadsText(), home.downloadsText() + u"/" + n.name), n.taken) << Utf8(n.name);
        }
    }
    // Without a usable folder, only the name's own shape counts, and nothing is ever deleted.
    for (std::u16string_view dir : { u"", u"Videos", u"/nonexistent-download-folder" }) {
        EXPECT_TRUE(DownloadFolder::acceptsName(dir, u"clip.mp4")) << Utf8(dir);
        EXPECT_FALSE(DownloadFolder::acceptsName(dir, u"../clip.mp4")) << Utf8(dir);
        EXPECT_FALSE(DownloadFolder::holds(dir, std::u16string(dir) + u"/clip.mp4")) << Utf8(dir);
    }
    // The root folder holds everything below it.
    EXPECT_TRUE(DownloadFolder::holds(u"/", home.path().u16string() + u"/.bashrc"));
    EXPECT_FALSE(DownloadFolder::holds(u"/", u"/"));
}

// Whatever FilePath holds (a list file can be edited by hand), the job deletes only inside an
// absolute folder, and never through a link that leads out.
TEST(DlThread, DeletesOnlyInsideItsAbsoluteFolder)
{
    TemporaryHome home;
    std::filesystem::create_symlink(home.path(), home.downloads() / "home");
    std::filesystem::create_symlink(home.path() / ".bashrc", home.downloads() / "rc");
    auto before = home.files();
    const struct {
        const char* what;
        std::u16string dir;
        std::u16string path;
    } cases[] = {
        { "a path outside", home.downloadsText(), home.path().u16string() + u"/.bashrc" },
        { "a path that climbs out", home.downloadsText(), home.downloadsText() + u"/../../.bashrc" },
        { "a folder that only begins like the job's", home.downloadsText(), home.downloadsText() + u"x/../../../.bashrc" },
        { "through a link to a folder outside", home.downloadsText(), home.downloadsText() + u"/home/.bashrc" },
        { "a link to a file outside", home.downloadsText(), home.downloadsText() + u"/rc" },
        { "no folder", u"", home.path().u16string() + u"/.bashrc" },
        { "a relative folder", u"Videos/dl", u"Videos/dl/clip.mp4" },
        { "a relative folder that climbs", u"..", u"../.bashrc" },
    };
    std::filesystem::path savedCurrent = std::filesystem::current_path();
    std::filesystem::current_path(home.path()); // where the relative folders would lead
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool all : { false, true }) {
            Pooled<DlThread> job;
            job->Dir->assign(c.dir);
            job->FilePath->assign(c.path);
            for (const char* suffix : { "", ".part", ".download" })
                std::ofstream(home.path() / (std::string(".bashrc") + suffix), std::ios::app);
            auto withPartials = home.files();
            if (all)
                job->DeleteFiles();
            else
                job->DeletePartials();
            EXPECT_EQ(home.files(), withPartials);
            std::filesystem::remove(home.path() / ".bashrc.part");
            std::filesystem::remove(home.path() / ".bashrc.download");
        }
    }
    std::filesystem::current_path(savedCurrent);
    EXPECT_EQ(home.files(), before);

    // Inside, with or without a trailing separator on the folder, it deletes.
    for (std::u16string dir : { home.downloadsText(), home.downloadsText() + u"/" }) {
        std::ofstream(home.downloads() / "clip.mp4") << "video";
        Pooled<DlThread> job;
        job->Dir->assign(dir);
        job->SetFileName(u"clip.mp4");
        job->DeleteFiles();
        EXPECT_FALSE(std::filesystem::exists(home.downloads() / "clip.mp4")) << Utf8(dir);
    }
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

namespace {

// A window whose object may be taken again for another window: its generation says which.
class ReusableWindow final : public s::gui::IWindow {
public:
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t, intptr_t) override
    {
        std::scoped_lock guard(m_lock);
        if (name == ProcessUpdateLog)
            m_texts.emplace_back(reinterpret_cast<const s::str::StrBuffer*>(a1)->view());
        else if (name == ProcessUpdateDownloadedNum)
            m_runningChanges.push_back(a1);
        return 0;
    }
    uint64_t generation() const override { return m_generation; }
    void reuse() { ++m_generation; }

    std::vector<std::u16string> texts()
    {
        std::scoped_lock guard(m_lock);
        return m_texts;
    }
    std::vector<intptr_t> runningChanges()
    {
        std::scoped_lock guard(m_lock);
        return m_runningChanges;
    }

private:
    std::mutex m_lock;
    std::vector<std::u16string> m_texts;
    std::vector<intptr_t> m_runningChanges;
    std::atomic<uint64_t> m_generation { 1 };
};

template<class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Puts the fake downloader first on the PATH as yt-dlp for the lifetime of the object (the test
// program's folder has no "vdl", so that is what a job's worker starts).
class FakeToolOnPath {
public:
    FakeToolOnPath()
    {
        const char* saved = std::getenv("PATH");
        m_saved = saved ? saved : "";
        std::filesystem::create_symlink(std::filesystem::path(TEST_TOOLS_DIR) / "fake-downloader", m_dir.path() / "yt-dlp");
        setenv("PATH", (m_dir.path().string() + ":" + m_saved).c_str(), 1);
    }
    ~FakeToolOnPath() { setenv("PATH", m_saved.c_str(), 1); }

    // The process ids of the tool's starts.
    std::vector<pid_t> starts() const
    {
        std::ifstream runs(m_dir.path() / "yt-dlp.runs");
        std::vector<pid_t> pids;
        long long pid = 0;
        long long nanoseconds = 0;
        while (runs >> pid >> nanoseconds)
            pids.push_back(static_cast<pid_t>(pid));
        return pids;
    }

private:
    TempDir m_dir;
    std::string m_saved;
};

}

// A window that was released and taken again for another window no longer hears the job that
// pointed at it.
TEST(DlThread, AReusedLogWindowHearsNothingMore)
{
    ReusableWindow window;
    Pooled<DlThread> job;
    job->setLogListener(&window);
    job->appendLog(*s::str::StrBuffer::make(u"one\n"));
    window.reuse();
    job->appendLog(*s::str::StrBuffer::make(u"two\n"));
    job->setLogListener(&window);
    job->appendLog(*s::str::StrBuffer::make(u"three\n"));
    job->setLogListener(nullptr);
    job->appendLog(*s::str::StrBuffer::make(u"four\n"));
    EXPECT_EQ(window.texts(), (std::vector<std::u16string> { u"one\n", u"three\n" }));
    EXPECT_EQ(Utf8(job->Log->view()), "one\ntwo\nthree\nfour\n");

    job->setRow(reinterpret_cast<s::gui::listbox2::Record*>(&window), 42);
    EXPECT_EQ(job->rowId, 42u);
    job->setRow(nullptr, 42);
    EXPECT_EQ(job->rowId, 0u);
}

// An idle job goes back to its pool at once.
TEST(DlThread, AnIdleJobGoesBackAtOnce)
{
    auto& pool = s::thread::poolOf<DlThread>();
    DlThread* job = DlThread::get();
    uint32_t free = pool.freeCount();
    job->release();
    EXPECT_EQ(pool.freeCount(), free + 1);
    DlThread* again = DlThread::get();
    EXPECT_EQ(again, job);
    again->release();
}

// Released while its worker runs the tool, a job is stopped, forgotten by its row and log window
// at once, and handed back to the pool by its worker once the run is over: the pool never hands
// out a job that a worker still writes (ThreadSanitizer watches the reused job).
TEST(DlThread, AJobReleasedWhileItsWorkerRunsGoesBackWhenTheWorkerLetsGo)
{
    FakeToolOnPath tool;
    TempDir dir;
    ReusableWindow owner;
    ReusableWindow logWindow;
    auto& pool = s::thread::poolOf<DlThread>();

    DlThread* job = DlThread::get();
    job->Owner = &owner;
    job->Dir->assign(dir.text());
    job->Url->assign(u"http://fake/chatter");
    job->setLogListener(&logWindow);
    ASSERT_TRUE(job->StartJob());
    EXPECT_FALSE(job->StartJob()) << "a running job is left alone";
    ASSERT_TRUE(WaitFor([&] { return logWindow.texts().size() >= 3; })) << Utf8(job->Log->view());
    ASSERT_EQ(tool.starts().size(), 1u) << Utf8(job->Log->view());
    pid_t toolPid = tool.starts()[0];

    uint32_t free = pool.freeCount();
    job->release();
    size_t heardAtRelease = logWindow.texts().size();
    EXPECT_FALSE(job->StartJob()) << "a released job does not start again";

    // The worker stops the tool and hands the job back as the last thing of its run.
    ASSERT_TRUE(WaitFor([&] { return pool.freeCount() == free + 1; }));
    EXPECT_EQ(owner.runningChanges(), (std::vector<intptr_t> { 1, 0 }));
    EXPECT_LE(logWindow.texts().size(), heardAtRelease + 1) << "the log window was forgotten at the release";
    EXPECT_TRUE(WaitFor([&] { return kill(toolPid, 0) != 0; })) << "the tool was stopped";

    // Taken again, the job is fresh and stays as its new user makes it.
    DlThread* reused = DlThread::get();
    ASSERT_EQ(reused, job);
    EXPECT_EQ(reused->Log->length(), 0u);
    EXPECT_EQ(reused->State, JobState::None);
    EXPECT_EQ(reused->LogListener, nullptr);
    EXPECT_FALSE(reused->Running);
    reused->Dir->assign(u"/elsewhere");
    reused->Log->assign(u"fresh");
    reused->PercentDone = 12.0;
    ASSERT_TRUE(WaitFor([&] { return reused->Worker->isIdle(); }));
    {
        std::scoped_lock guard(reused->Lock);
        EXPECT_EQ(Utf8(reused->Log->view()), "fresh");
    }
    EXPECT_EQ(reused->PercentDone, 12.0);
    EXPECT_EQ(reused->State, JobState::None);
    reused->release();
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
