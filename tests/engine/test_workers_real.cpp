// The workers with the real yt-dlp and ffmpeg, downloading from a throttled loopback HTTP server
// that this program starts: ten jobs at once with their tools a second apart, cancel, retry,
// remove while running and while idle, delete, and a close with three downloads running.

#include "WorkerFixture.h"
#include "foundation/system/os/Process.h"

#include <algorithm>
#include <dirent.h>

using namespace enginetest;
using s::str::strbuffer::StrBuffer;
using s::system::os::Process;
using s::thread::Pooled;

namespace {

// Every live process whose process group is `group`.
std::vector<pid_t> groupMembers(pid_t group)
{
    std::vector<pid_t> members;
    DIR* proc = opendir("/proc");
    while (proc && (errno = 0, true)) {
        dirent* entry = readdir(proc);
        if (!entry)
            break;
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        std::string stat = ReadFileBytes(std::filesystem::path("/proc") / entry->d_name / "stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        char state = 0;
        pid_t parent = 0, itsGroup = 0;
        fields >> state >> parent >> itsGroup;
        if (itsGroup == group && state != 'Z' && state != 'X')
            members.push_back(std::atoi(entry->d_name));
    }
    if (proc)
        closedir(proc);
    return members;
}

// Our children other than the server: the tools (each leads a process group of its own).
std::vector<pid_t> toolProcesses(pid_t server)
{
    std::vector<pid_t> tools;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        std::string stat = ReadFileBytes(std::filesystem::path("/proc") / entry->d_name / "stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        pid_t pid = std::atoi(entry->d_name);
        if (parent == getpid() && pid != server && state != 'Z')
            tools.push_back(pid);
    }
    if (proc)
        closedir(proc);
    return tools;
}

class RealWorkers : public WorkerFixture {
protected:
    static void SetUpTestSuite()
    {
        s_root = new TempDir;
        std::filesystem::path site = s_root->path() / "www.bbc.co.uk";
        std::filesystem::create_directories(site);
        std::string clip = (site / "clip.mp4").string();
        {
            Process ffmpeg;
            ASSERT_TRUE(ffmpeg.start({ "/usr/bin/ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10", "-f", "lavfi", "-i",
                                         "sine=frequency=440", "-t", "4", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-shortest", clip },
                {}));
            char buffer[4096];
            size_t count = 0;
            while (ffmpeg.read(buffer, sizeof buffer, count, 1000) != Process::Read::Ended) { }
            int exitCode = -1;
            ASSERT_TRUE(ffmpeg.wait(exitCode));
            ASSERT_EQ(exitCode, 0);
        }
        for (int n = 0; n < 20; ++n)
            std::filesystem::copy_file(clip, site / ("clip" + std::to_string(n) + ".mp4"));

        std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        s_server = new Process;
        ASSERT_TRUE(s_server->start({ python, (std::filesystem::path(TEST_TOOLS_DIR) / "http_server.py").string(), s_root->path().string() }, {}));
        std::string line;
        char buffer[64];
        while (line.find('\n') == std::string::npos) {
            size_t count = 0;
            ASSERT_NE(s_server->read(buffer, sizeof buffer, count, 10000), Process::Read::Ended);
            line.append(buffer, count);
        }
        s_port = std::stoi(line);
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_root;
        s_server = nullptr;
        s_root = nullptr;
    }

    void SetUp() override
    {
        ASSERT_GT(s_port, 0);
        WorkerFixture::SetUp();
        // No vdl folder: the real yt-dlp from the PATH.
        std::filesystem::remove_all(program.path() / "vdl");
    }

    // A link the catalogue takes for a known site (so intake fetches no page), served slowly
    // (bytes per second) or at once.
    static std::u16string clipLink(const std::string& file, int rate = 0)
    {
        std::string path = rate ? "/rate/" + std::to_string(rate) + "/www.bbc.co.uk/" + file : "/www.bbc.co.uk/" + file;
        std::string url = "http://127.0.0.1:" + std::to_string(s_port) + path;
        return std::u16string(url.begin(), url.end());
    }

    void takeLink(const std::u16string& url)
    {
        gui.call([&] {
            gui.link = url;
            intake.TakeLink(true, false);
        });
    }
    DlThread* jobOf(const std::u16string& url)
    {
        return gui.call([&]() -> DlThread* {
            for (int32_t i = 0; i < list.getRowCount(); ++i) {
                DlThread* found = JobCommands::JobAt(list, i);
                std::scoped_lock guard(found->Lock);
                if (found->Url->view() == url)
                    return found;
            }
            return nullptr;
        });
    }
    std::filesystem::path filePath(DlThread* job)
    {
        Pooled<StrBuffer> path = job->CopyFilePath();
        return std::filesystem::path(path->toStdUtf8());
    }
    bool downloading(DlThread* job)
    {
        return job->State.load() == JobState::Downloading && !filePath(job).empty() && std::filesystem::exists(filePath(job).string() + ".part");
    }

    static TempDir* s_root;
    static Process* s_server;
    static int s_port;
};

TempDir* RealWorkers::s_root = nullptr;
Process* RealWorkers::s_server = nullptr;
int RealWorkers::s_port = 0;

TEST_F(RealWorkers, TenLinksRunAtOnceWithTheirToolsASecondApart)
{
    std::vector<std::u16string> links;
    for (int n = 0; n < 10; ++n)
        links.push_back(clipLink("clip" + std::to_string(n) + ".mp4", 3000));
    gui.call([&] {
        for (const std::u16string& url : links) {
            gui.link = url;
            intake.TakeLink(true, false);
        }
    });
    ASSERT_EQ(rowCount(), 10);
    for (int n = 0; n < 10; ++n)
        EXPECT_TRUE(job(n)->Running.load());

    // When each tool's process was made: its job turns Initializing right after.
    std::vector<double> started(10, -1.0);
    auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitFor([&] {
        double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        bool all = true;
        for (int n = 0; n < 10; ++n) {
            if (started[n] < 0 && job(n)->State.load() != JobState::None)
                started[n] = now;
            all = all && started[n] >= 0;
        }
        return all;
    }, 90));
    std::sort(started.begin(), started.end());
    for (int n = 1; n < 10; ++n)
        EXPECT_GE(started[n] - started[n - 1], 0.8) << "tools " << n - 1 << " and " << n;
    EXPECT_LT(started[9] - started[0], 30.0);
    EXPECT_EQ(gui.running.load(), 10);
}

TEST_F(RealWorkers, CancelRetryRemoveAndDelete)
{
    // Cancel a running download: Canceled, its partial file left for a retry.
    std::u16string slow = clipLink("clip10.mp4", 2000);
    takeLink(slow);
    DlThread* canceled = jobOf(slow);
    ASSERT_TRUE(waitFor([&] { return downloading(canceled); }));
    selectOnly({ canceled });
    gui.call([&] { commands.Cancel(); });
    ASSERT_TRUE(waitFor([&] { return !canceled->Running && canceled->State.load() == JobState::Canceled; }));
    std::filesystem::path canceledFile = filePath(canceled);
    EXPECT_TRUE(std::filesystem::exists(canceledFile.string() + ".part"));

    // Retry after an error: the file was missing, then it is there.
    std::u16string later = clipLink("later.mp4");
    takeLink(later);
    DlThread* failed = jobOf(later);
    ASSERT_TRUE(waitFor([&] { return !failed->Running && failed->State.load() == JobState::Error; }));
    std::filesystem::copy_file(s_root->path() / "www.bbc.co.uk" / "clip.mp4", s_root->path() / "www.bbc.co.uk" / "later.mp4");
    selectOnly({ failed });
    gui.call([&] { commands.Retry(); });
    ASSERT_TRUE(waitFor([&] { return !failed->Running && failed->State.load() == JobState::Completed; }));
    EXPECT_TRUE(std::filesystem::exists(filePath(failed)));

    // Remove a running download: Canceling until yt-dlp has ended, then the partial file and the
    // row go, and the job is released once its worker is idle.
    std::u16string removed = clipLink("clip11.mp4", 2000);
    takeLink(removed);
    DlThread* running = jobOf(removed);
    ASSERT_TRUE(waitFor([&] { return downloading(running); }));
    std::filesystem::path runningFile = filePath(running);
    std::vector<pid_t> tools = toolProcesses(s_server->pid());
    ASSERT_EQ(tools.size(), 1u);
    selectOnly({ running });
    gui.call([&] { commands.Remove(JobCommands::Scope::FirstSelected, false); });
    ASSERT_TRUE(waitFor([&] { return jobOf(removed) == nullptr; }));
    EXPECT_TRUE(groupMembers(tools[0]).empty());
    EXPECT_FALSE(std::filesystem::exists(runningFile.string() + ".part"));
    EXPECT_FALSE(std::filesystem::exists(runningFile));
    ASSERT_TRUE(waitFor([&] { return gui.call([&] {
        commands.SweepStopping();
        return commands.awaitingCount() == 0;
    }); }));

    // Remove an idle job that did not finish: its partial file only.
    selectOnly({ canceled });
    gui.call([&] { commands.Remove(JobCommands::Scope::FirstSelected, false); });
    EXPECT_FALSE(std::filesystem::exists(canceledFile.string() + ".part"));
    EXPECT_EQ(jobOf(slow), nullptr);

    // Delete File and Entry of the finished one: the file goes too.
    std::filesystem::path finishedFile = filePath(failed);
    selectOnly({ failed });
    gui.call([&] { commands.Remove(JobCommands::Scope::AllSelected, true); });
    EXPECT_FALSE(std::filesystem::exists(finishedFile));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(RealWorkers, ACloseWithThreeDownloadsRunningEndsEveryTool)
{
    std::vector<std::u16string> links = { clipLink("clip12.mp4", 2000), clipLink("clip13.mp4", 2000) };
    links.push_back(clipLink("clip14.mp4", 2000));
    for (const std::u16string& url : links)
        takeLink(url);
    ASSERT_TRUE(waitFor([&] {
        for (const std::u16string& url : links) {
            if (!downloading(jobOf(url)))
                return false;
        }
        return true;
    }, 90));
    std::vector<pid_t> tools = toolProcesses(s_server->pid());
    ASSERT_EQ(tools.size(), 3u);

    gui.call([&] { commands.BeginShutdown(); });
    gui.closed = true;
    gui.call([&] { commands.StopAllAndWait(); });
    // Before the list file would be written: no tool and nothing a tool started is left.
    for (pid_t tool : tools)
        EXPECT_TRUE(groupMembers(tool).empty()) << "group " << tool;
    for (const std::u16string& url : links) {
        DlThread* stopped = jobOf(url);
        EXPECT_FALSE(stopped->Running.load());
        EXPECT_EQ(stopped->State.load(), JobState::Canceled);
    }
    gui.call([&] { commands.ReleaseAll(); });
    EXPECT_EQ(rowCount(), 0);
}

}
