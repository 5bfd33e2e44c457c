// The tool runner against fake tools (for what real tools rarely do) and against the real yt-dlp
// and ffmpeg downloading from a loopback HTTP server that this program starts.

#include "engine/DlThread.h"
#include "engine/JobState.h"
#include "engine/WorkerEvents.h"
#include "engine/runner/LaunchGate.h"
#include "engine/runner/OutputReader.h"
#include "engine/runner/ToolCommand.h"
#include "engine/runner/ToolLocator.h"
#include "engine/runner/ToolRunner.h"
#include "foundation/system/os/Process.h"
#include "gui/IWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
using s::str::StrBuffer;
using s::system::os::Process;
using s::thread::Pooled;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const fs::path ToolsDir = TEST_TOOLS_DIR;
const std::string FakeTool = (ToolsDir / "fake-downloader").string();
const std::string RecordingTool = (ToolsDir / "record-and-run").string();

// ---------------------------------------------------------------- helpers

struct TempDir {
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "fetchwick-runner-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::u16string u16() const { return std::u16string(StrBuffer::makeUtf8(path.string())->view()); }
    fs::path path;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string utf8(std::u16string_view text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

struct ProcInfo {
    pid_t pid;
    pid_t parent;
    pid_t group;
    char state;
};

// Every live process (zombies do not count: they have ended).
std::vector<ProcInfo> processes()
{
    std::vector<ProcInfo> found;
    DIR* proc = opendir("/proc");
    if (!proc)
        return found;
    while (dirent* entry = readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        std::string stat = readFile(fs::path("/proc") / entry->d_name / "stat");
        size_t afterName = stat.rfind(')');
        if (afterName == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(afterName + 2));
        ProcInfo info {};
        info.pid = std::atoi(entry->d_name);
        fields >> info.state >> info.parent >> info.group;
        if (info.state != 'Z' && info.state != 'X')
            found.push_back(info);
    }
    closedir(proc);
    return found;
}

std::vector<pid_t> liveMembersOf(pid_t group)
{
    std::vector<pid_t> members;
    for (const ProcInfo& info : processes()) {
        if (info.group == group)
            members.push_back(info.pid);
    }
    return members;
}

// The process groups of our children other than the ones named: the tools the runner started.
std::vector<pid_t> toolGroups(const std::vector<pid_t>& except)
{
    std::vector<pid_t> groups;
    for (const ProcInfo& info : processes()) {
        if (info.parent == getpid() && std::find(except.begin(), except.end(), info.pid) == except.end())
            groups.push_back(info.group);
    }
    return groups;
}

template<class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// A window that records what the runner sends it.
class RecordingWindow final : public s::gui::IWindow {
public:
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t) override
    {
        std::scoped_lock guard(m_lock);
        if (name == ProcessUpdateLog) {
            EXPECT_EQ(a2, 0);
            m_logTexts.emplace_back(reinterpret_cast<const StrBuffer*>(a1)->view());
        } else {
            ++m_others;
        }
        return 0;
    }

    std::vector<std::u16string> logTexts() const
    {
        std::scoped_lock guard(m_lock);
        return m_logTexts;
    }
    std::u16string joined() const
    {
        std::u16string all;
        for (const std::u16string& text : logTexts())
            all += text;
        return all;
    }
    int others() const
    {
        std::scoped_lock guard(m_lock);
        return m_others;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::u16string> m_logTexts;
    int m_others { 0 };
};

// A program folder whose "vdl" holds the tools a test installs, with a launch gate of its own:
// the runs of a test wait for one another's launch slots, never for another test's.
class Installation {
public:
    Installation()
        : m_locator(m_root.u16())
        , m_gate(std::make_unique<LaunchGate>())
        , m_previous(std::exchange(s_current, this))
    {
        fs::create_directories(vdl());
    }
    ~Installation() { s_current = m_previous; }

    // The installation the runs of TestJob use.
    static Installation& current()
    {
        assert(s_current);
        return *s_current;
    }

    const ToolLocator& locator() const { return m_locator; }
    LaunchGate& gate() const { return *m_gate; }
    // Lets the next tool start at once, whenever the last one started.
    void forgetLaunches() { m_gate = std::make_unique<LaunchGate>(); }

    fs::path vdl() const { return m_root.path / "vdl"; }
    std::u16string dir() const { return m_root.u16() + u"/"; }

    void install(const std::string& name, const std::string& target) const { fs::create_symlink(target, vdl() / name); }

    // The argument vector the tool installed as `name` got at its last start.
    std::vector<std::string> argvOf(const std::string& name) const
    {
        std::string recorded = readFile(vdl() / (name + ".argv"));
        std::vector<std::string> argv;
        size_t start = 0;
        for (size_t end; (end = recorded.find('\0', start)) != std::string::npos; start = end + 1)
            argv.push_back(recorded.substr(start, end - start));
        return argv;
    }

    // Start times (ns since 1970) of the fake tool installed as `name`, one per start.
    std::vector<int64_t> startsOf(const std::string& name) const
    {
        std::istringstream lines(readFile(vdl() / (name + ".runs")));
        std::vector<int64_t> starts;
        long long pid = 0;
        long long nanoseconds = 0;
        while (lines >> pid >> nanoseconds)
            starts.push_back(nanoseconds);
        return starts;
    }

    std::vector<pid_t> pidsOf(const std::string& name) const
    {
        std::istringstream lines(readFile(vdl() / (name + ".runs")));
        std::vector<pid_t> pids;
        long long pid = 0;
        long long nanoseconds = 0;
        while (lines >> pid >> nanoseconds)
            pids.push_back(static_cast<pid_t>(pid));
        return pids;
    }

private:
    TempDir m_root;
    ToolLocator m_locator;
    std::unique_ptr<LaunchGate> m_gate;
    Installation* m_previous;
    static Installation* s_current;
};

Installation* Installation::s_current = nullptr;

// A job with its own download folder, run on the calling thread or on one of its own.
class TestJob {
public:
    explicit TestJob(std::u16string_view url, RecordingWindow* listener = nullptr)
    {
        m_job->Url->assign(url);
        m_job->Dir->assign(m_dir.u16());
        m_job->setLogListener(listener);
    }
    ~TestJob()
    {
        if (m_thread.joinable()) {
            m_job->StopRequested = true;
            m_thread.join();
        }
    }

    DlThread& operator*() { return *m_job; }
    DlThread* operator->() { return m_job.get(); }
    const fs::path& dir() const { return m_dir.path; }

    void run()
    {
        Installation& tools = Installation::current();
        ToolRunner(tools.locator(), tools.gate()).RunTool(*m_job, m_job->Url->view(), m_job->Dir->view(), m_job->StopRequested);
    }
    void start()
    {
        m_finished = false;
        m_thread = std::thread([this] {
            run();
            m_finished = true;
        });
    }
    bool finished() const { return m_finished; }
    // Asks for a stop and gives the time until the run was over.
    std::chrono::milliseconds stopAndJoin()
    {
        auto asked = std::chrono::steady_clock::now();
        m_job->StopRequested = true;
        EXPECT_TRUE(waitFor([this] { return finished(); }, 10s));
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
        m_thread.join();
        return took;
    }
    void join() { m_thread.join(); }

    std::u16string log()
    {
        std::scoped_lock guard(m_job->Lock);
        return std::u16string(m_job->Log->view());
    }
    std::u16string fileName()
    {
        std::scoped_lock guard(m_job->Lock);
        return std::u16string(m_job->FileName->view());
    }
    std::u16string filePath()
    {
        std::scoped_lock guard(m_job->Lock);
        return std::u16string(m_job->FilePath->view());
    }

private:
    TempDir m_dir;
    Pooled<DlThread> m_job;
    std::thread m_thread;
    std::atomic<bool> m_finished { false };
};

// ---------------------------------------------------------------- command lines

TEST(ToolCommand, TextAndArgumentsForEveryKindOfJob)
{
    Installation tools;
    for (const char* name : { "youtube-dl", "youtube-dl_old", "you-get" })
        tools.install(name, FakeTool);
    const std::u16string P = tools.dir();
    const std::string vdl = tools.vdl().string() + "/";
    const std::string current = vdl + "youtube-dl";
    const std::string old = vdl + "youtube-dl_old";
    const std::string youGet = vdl + "you-get";

    struct Case {
        const char* name;
        std::u16string tool;
        std::u16string url;
        std::u16string id;
        std::u16string password;
        bool onlyMp3;
        int attempt;
        std::u16string text; // after the program folder
        std::vector<std::string> argv;
        bool oldTool;
    } cases[] = {
        { "YouTube, first attempt: the old build, no merge option", u"youtube-dl", u"https://www.youtube.com/watch?v=abc", u"", u"", false, 0,
            u"vdl/youtube-dl_old \"https://www.youtube.com/watch?v=abc\" --no-mtime -i",
            { old, "--no-mtime", "-i", "--", "https://www.youtube.com/watch?v=abc" }, true },
        { "YouTube, second attempt: the current build with the merge option", u"youtube-dl", u"https://www.youtube.com/watch?v=abc", u"", u"", false, 1,
            u"vdl/youtube-dl \"https://www.youtube.com/watch?v=abc\" --no-mtime -i --merge-output-format mkv",
            { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://www.youtube.com/watch?v=abc" }, false },
        { "YouTube in capitals: the old-build test is exact, so the current build at once", u"youtube-dl", u"https://www.YouTube.com/watch?v=abc", u"", u"", false, 0,
            u"vdl/youtube-dl \"https://www.YouTube.com/watch?v=abc\" --no-mtime -i --merge-output-format mkv",
            { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://www.YouTube.com/watch?v=abc" }, false },
        { "YouTube, MP3 only: the current build, audio options, then the merge option", u"youtube-dl", u"https://www.youtube.com/watch?v=abc", u"", u"", true, 0,
            u"vdl/youtube-dl \"https://www.youtube.com/watch?v=abc\" --no-mtime -i -x --audio-format mp3 --audio-quality 192K --merge-output-format mkv",
            { current, "--no-mtime", "-i", "-x", "--audio-format", "mp3", "--audio-quality", "192K", "--merge-output-format", "mkv", "--",
                "https://www.youtube.com/watch?v=abc" },
            false },
        { "login with password", u"youtube-dl", u"https://vimeo.com/1", u"user", u"secret", false, 0,
            u"vdl/youtube-dl \"https://vimeo.com/1\" -u \"user\" -p \"secret\" --no-mtime -i --merge-output-format mkv",
            { current, "-u", "user", "-p", "secret", "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://vimeo.com/1" }, false },
        { "login without password", u"youtube-dl", u"https://vimeo.com/1", u"user", u"", false, 0,
            u"vdl/youtube-dl \"https://vimeo.com/1\" -u \"user\" --no-mtime -i --merge-output-format mkv",
            { current, "-u", "user", "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://vimeo.com/1" }, false },
        { "you-get: two spaces, no login, no MP3 options", u"you-get", u"https://www.bilibili.com/video/BV1", u"user", u"secret", true, 0,
            u"vdl/you-get  \"https://www.bilibili.com/video/BV1\"",
            { youGet, "--", "https://www.bilibili.com/video/BV1" }, false },
        { "a link with quotes and a command", u"youtube-dl", u"http://x/\" --exec \"touch pwned", u"", u"", false, 0,
            u"vdl/youtube-dl \"http://x/\" --exec \"touch pwned\" --no-mtime -i --merge-output-format mkv",
            { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "http://x/\" --exec \"touch pwned" }, false },
        { "a link that is an option", u"youtube-dl", u"--exec=touch pwned", u"", u"", false, 0,
            u"vdl/youtube-dl \"--exec=touch pwned\" --no-mtime -i --merge-output-format mkv",
            { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "--exec=touch pwned" }, false },
        { "a link with a leading dash and spaces", u"youtube-dl", u"-o /tmp/x y z", u"", u"", false, 0,
            u"vdl/youtube-dl \"-o /tmp/x y z\" --no-mtime -i --merge-output-format mkv",
            { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "-o /tmp/x y z" }, false },
        { "a login name and password that are options", u"youtube-dl", u"https://vimeo.com/1", u"--exec=touch pwned", u"-p", false, 0,
            u"vdl/youtube-dl \"https://vimeo.com/1\" -u \"--exec=touch pwned\" -p \"-p\" --no-mtime -i --merge-output-format mkv",
            { current, "-u", "--exec=touch pwned", "-p", "-p", "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://vimeo.com/1" }, false },
        { "the old-build renaming touches the text only, never the link that runs", u"youtube-dl", u"https://www.youtube.com/youtube-dl x", u"", u"", false, 0,
            u"vdl/youtube-dl_old \"https://www.youtube.com/youtube-dl_old x\" --no-mtime -i",
            { old, "--no-mtime", "-i", "--", "https://www.youtube.com/youtube-dl x" }, true },
        { "a login holding the service's name is no link of it", u"youtube-dl", u"https://vimeo.com/1", u"me.youtube.fan", u"", false, 0,
            u"vdl/youtube-dl \"https://vimeo.com/1\" -u \"me.youtube.fan\" --no-mtime -i --merge-output-format mkv",
            { current, "-u", "me.youtube.fan", "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://vimeo.com/1" }, false },
        { "non-ASCII text goes to the tool as UTF-8", u"youtube-dl", u"https://vimeo.com/\u00e9t\u00e9", u"\u5c71\u7530", u"", false, 0,
            u"vdl/youtube-dl \"https://vimeo.com/\u00e9t\u00e9\" -u \"\u5c71\u7530\" --no-mtime -i --merge-output-format mkv",
            { current, "-u", "\xe5\xb1\xb1\xe7\x94\xb0", "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://vimeo.com/\xc3\xa9t\xc3\xa9" }, false },
    };
    for (const Case& c : cases) {
        ToolRequest request { c.tool, c.url, c.id, c.password, c.onlyMp3, c.attempt };
        ToolCommand command = ToolCommand::build(request, tools.locator());
        EXPECT_EQ(utf8(command.Text->view()), utf8(P + c.text)) << c.name;
        EXPECT_EQ(command.Arguments, c.argv) << c.name;
        EXPECT_EQ(command.OldTool, c.oldTool) << c.name;
    }
}

// The login as a private file: only its name is on the command line, in the text as in the
// arguments. And without an installed old build, the video service's links go straight to the
// current build.
TEST(ToolCommand, LoginFilesAndAMissingOldBuild)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    const std::u16string P = tools.dir();
    const std::string current = tools.vdl().string() + "/youtube-dl";

    ToolRequest login { u"youtube-dl", u"https://vimeo.com/1", u"user", u"secret", false, 0, "/run/user/1/fetchwick-login-x" };
    ToolCommand withFile = ToolCommand::build(login, tools.locator());
    EXPECT_EQ(utf8(withFile.Text->view()), utf8(P + u"vdl/youtube-dl \"https://vimeo.com/1\" --config-location \"/run/user/1/fetchwick-login-x\" --no-mtime -i --merge-output-format mkv"));
    EXPECT_EQ(withFile.Arguments, (std::vector<std::string> { current, "--config-location", "/run/user/1/fetchwick-login-x", "--no-mtime", "-i",
                                      "--merge-output-format", "mkv", "--", "https://vimeo.com/1" }));

    ToolRequest youtube { u"youtube-dl", u"https://www.youtube.com/watch?v=abc", u"", u"", false, 0 };
    ToolCommand straight = ToolCommand::build(youtube, tools.locator());
    EXPECT_FALSE(straight.OldTool);

    // A program folder that holds the service's name does not make every link one of its links.
    TempDir parent;
    fs::path named = parent.path / "my.youtube.tools";
    fs::create_directories(named / "vdl");
    for (const char* name : { "youtube-dl", "youtube-dl_old" })
        fs::create_symlink(FakeTool, named / "vdl" / name);
    ToolLocator inNamedFolder(std::u16string(StrBuffer::makeUtf8(named.string())->view()));
    ASSERT_TRUE(inNamedFolder.hasOldBuild());
    EXPECT_FALSE(ToolCommand::build({ u"youtube-dl", u"https://vimeo.com/1", u"", u"", false, 0 }, inNamedFolder).OldTool);
    EXPECT_TRUE(ToolCommand::build(youtube, inNamedFolder).OldTool);
    EXPECT_EQ(straight.Arguments,
        (std::vector<std::string> { current, "--no-mtime", "-i", "--merge-output-format", "mkv", "--", "https://www.youtube.com/watch?v=abc" }));
}

// Every hostile piece reaches the tool as one argument, and nothing runs that the user did not ask for.
TEST(ToolCommand, HostileLinksAndLoginsReachTheToolAsTheyAre)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    struct Case {
        std::u16string url;
        std::u16string id;
        std::u16string password;
    } cases[] = {
        { u"http://x/\" --exec \"touch pwned", u"", u"" },
        { u"--exec=touch pwned", u"", u"" },
        { u"-o pwned", u"", u"" },
        { u"http://x/a b;touch pwned", u"$(touch pwned)", u"`touch pwned`" },
        { u"http://x/y", u"--exec=touch pwned", u"-x" },
    };
    for (const Case& c : cases) {
        TestJob job(c.url);
        job->Id->assign(c.id);
        job->Password->assign(c.password);
        tools.forgetLaunches();
        job.run();
        // A login went into a private file, which the tool named and which is gone now.
        std::vector<std::string> argv = tools.argvOf("youtube-dl");
        std::string loginFile = argv.size() > 2 && argv[1] == "--config-location" ? argv[2] : "";
        EXPECT_EQ(loginFile.empty(), c.id.empty() && c.password.empty()) << utf8(c.url);
        EXPECT_FALSE(!loginFile.empty() && fs::exists(loginFile));
        ToolCommand command = ToolCommand::build({ u"youtube-dl", c.url, c.id, c.password, false, 0, loginFile }, tools.locator());
        EXPECT_EQ(argv, command.Arguments) << utf8(c.url);
        EXPECT_EQ(command.Arguments.back(), utf8(c.url));
        if (!c.password.empty()) {
            EXPECT_EQ(std::find(argv.begin(), argv.end(), utf8(c.password)), argv.end());
        }
        EXPECT_FALSE(fs::exists(job.dir() / "pwned")) << utf8(c.url);
    }
}

TEST(ToolCommand, FindsToolsInTheProgramFolderThenOnThePath)
{
    Installation tools;
    TempDir path;
    const char* savedPath = std::getenv("PATH");
    std::string saved = savedPath ? savedPath : "";
    setenv("PATH", ("relative:" + path.path.string() + "::/nonexistent").c_str(), 1);
    const std::u16string P = tools.dir();
    const std::string vdl = tools.vdl().string() + "/";

    // Nothing anywhere: the vdl path, whose start then fails.
    EXPECT_EQ(tools.locator().toolFile(u"youtube-dl", false), vdl + "youtube-dl");
    EXPECT_EQ(tools.locator().toolFile(u"you-get", false), vdl + "you-get");

    // On the PATH: yt-dlp before youtube-dl; you-get by its name; a file that cannot run is skipped.
    fs::create_symlink(FakeTool, path.path / "youtube-dl");
    EXPECT_EQ(tools.locator().toolFile(u"youtube-dl", false), (path.path / "youtube-dl").string());
    fs::create_symlink(FakeTool, path.path / "yt-dlp");
    EXPECT_EQ(tools.locator().toolFile(u"youtube-dl", false), (path.path / "yt-dlp").string());
    std::ofstream(path.path / "you-get") << "not executable";
    EXPECT_EQ(tools.locator().toolFile(u"you-get", false), vdl + "you-get");

    // The old build only ever comes from vdl.
    EXPECT_EQ(tools.locator().toolFile(u"youtube-dl", true), vdl + "youtube-dl_old");

    // The program folder's own tools come first.
    tools.install("youtube-dl", FakeTool);
    tools.install("you-get", FakeTool);
    EXPECT_EQ(tools.locator().toolFile(u"youtube-dl", false), vdl + "youtube-dl");
    EXPECT_EQ(tools.locator().toolFile(u"you-get", false), vdl + "you-get");
    setenv("PATH", saved.c_str(), 1);
}

// ---------------------------------------------------------------- fake tools

TEST(ToolRunnerFake, CutsLinesDecodesThemAndLogsEachAsItArrives)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    struct Case {
        std::u16string link;
        std::vector<std::u16string> logTexts;
    } cases[] = {
        // Written the Windows way: the line feed after a carriage return begins the next line.
        { u"http://fake/crlf", { u"a\n", u"\nb\n", u"\nExit Code: 0\n" } },
        // Malformed UTF-8 becomes U+FFFD, one for each broken piece.
        { u"http://fake/invalid-utf8", { u"caf\u00e9 \ufffd \ufffd \ufffd\ufffd end\n", u"\nExit Code: 0\n" } },
        // What follows the last line end is neither parsed nor logged.
        { u"http://fake/no-final-end", { u"first\n", u"\nExit Code: 0\n" } },
        { u"http://fake/exit-0", { u"\nExit Code: 0\n" } },
    };
    for (const Case& c : cases) {
        RecordingWindow window;
        TestJob job(c.link, &window);
        tools.forgetLaunches();
        job.run();
        EXPECT_EQ(window.logTexts(), c.logTexts) << utf8(c.link);
        EXPECT_EQ(job.log(), window.joined()) << utf8(c.link);
        EXPECT_EQ(window.others(), 0);
    }
}

TEST(ToolRunnerFake, EndsEachAttemptByExitCodeAndProgress)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    struct Case {
        std::u16string link;
        JobState state;
        double percent;
        std::u16string logEnd;
        std::u16string fileName;
    } cases[] = {
        { u"http://fake/ok", JobState::Completed, 100.0, u"\nExit Code: 0\n", u"video.mp4" },
        // Exit code 0 without any progress line still completes.
        { u"http://fake/exit-0", JobState::Completed, 100.0, u"\nExit Code: 0\n", u"" },
        // A failure after 45.5 % keeps that progress above 400, so it sorts after finished jobs.
        { u"http://fake/fail", JobState::Error, 445.5, u"ERROR: unable to download video data\n\nExit Code: 1\n", u"video.mp4" },
        { u"http://fake/exit-3", JobState::Error, -1.0, u"\nExit Code: 3\n", u"" },
    };
    for (const Case& c : cases) {
        TestJob job(c.link);
        job->Speed = 5;
        job->Eta = 5;
        tools.forgetLaunches();
        job.run();
        EXPECT_EQ(job->State.load(), c.state) << utf8(c.link);
        EXPECT_EQ(job->PercentDone.load(), c.percent) << utf8(c.link);
        EXPECT_EQ(job->Speed.load(), -1);
        EXPECT_EQ(job->Eta.load(), -1);
        std::u16string log = job.log();
        EXPECT_TRUE(log.size() >= c.logEnd.size() && log.compare(log.size() - c.logEnd.size(), c.logEnd.size(), c.logEnd) == 0)
            << utf8(c.link) << ": " << utf8(log);
        EXPECT_EQ(job.fileName(), c.fileName) << utf8(c.link);
        if (!c.fileName.empty()) {
            EXPECT_EQ(job.filePath(), std::u16string(job->Dir->view()) + u"/" + c.fileName);
        }
    }
}

// A web server chooses the reason phrase that yt-dlp prints with its 404; one that reads like a
// percentage beyond every measure must neither hang the worker nor leave a figure behind.
TEST(ToolRunnerFake, AServersReasonPhraseCannotHangAFailedRun)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TestJob job(u"http://fake/http404-reason");
    auto started = std::chrono::steady_clock::now();
    job.start();
    ASSERT_TRUE(waitFor([&] { return job.finished(); }, 10s)) << "the run hangs";
    auto took = std::chrono::steady_clock::now() - started;
    job.join();
    EXPECT_LT(took, 1s);
    EXPECT_EQ(job->State.load(), JobState::Error);
    EXPECT_EQ(job->PercentDone.load(), -1.0);
    EXPECT_NE(job.log().find(u"HTTP Error 404: 1 sec (1e30%)"), std::u16string::npos) << utf8(job.log());
    EXPECT_TRUE(job.log().ends_with(u"\nExit Code: 1\n"));
}

// Names that would lead out of the download folder are logged but never become the job's file,
// so deleting the job's files afterwards touches nothing outside (real files in a home of the
// test's own).
TEST(ToolRunnerFake, NamesLeadingOutOfTheFolderAreLoggedButNotTaken)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TempDir home;
    const char* savedHome = std::getenv("HOME");
    std::string saved = savedHome ? savedHome : "";
    setenv("HOME", home.path.c_str(), 1);
    std::ofstream(home.path / ".bashrc") << "keep me";
    std::ofstream(home.path / ".profile") << "keep me too";
    fs::path downloads = home.path / "Videos" / "dl";
    TestJob job(u"http://fake/hostile-names");
    job->Dir->assign(StrBuffer::makeUtf8(downloads.string())->view());
    job.run();
    setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(job->State.load(), JobState::Error);
    EXPECT_EQ(job.fileName(), u"");
    EXPECT_EQ(job.filePath(), u"");
    std::u16string log = job.log();
    EXPECT_NE(log.find(u"x [download] Destination: ../../.bashrc\n"), std::u16string::npos) << utf8(log);
    EXPECT_NE(log.find(u"[Merger] Merging formats into \"../../.bashrc\"\n"), std::u16string::npos) << utf8(log);
    job->DeleteFiles();
    EXPECT_EQ(readFile(home.path / ".bashrc"), "keep me");
    EXPECT_EQ(readFile(home.path / ".profile"), "keep me too");
}

// A link of the you-get table runs you-get, and its lines are read by you-get's rules (which do
// not know youtube-dl's destination line).
TEST(ToolRunnerFake, YouGetLinksRunYouGetWithItsOwnRules)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    tools.install("you-get", FakeTool);
    const std::u16string url = u"https://www.acfun.cn/v/ok";
    TestJob job(url);
    job->OnlyMp3 = true;
    job->Id->assign(u"user");
    job.run();
    EXPECT_EQ(tools.argvOf("you-get"), (std::vector<std::string> { (tools.vdl() / "you-get").string(), "--", utf8(url) }));
    EXPECT_TRUE(tools.startsOf("youtube-dl").empty());
    EXPECT_EQ(job->State.load(), JobState::Completed);
    EXPECT_EQ(job.fileName(), u"");
}

// Python tools talk plain UTF-8 without buffering or colours; a question gets no answer; the
// tool runs in the download folder.
TEST(ToolRunnerFake, ToolRunsInTheDownloadFolderWithAPlainEnvironmentAndNoInput)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    setenv("TERM", "xterm-256color", 1);
    TestJob job(u"http://fake/environment");
    job.run();
    std::string folder = fs::canonical(job.dir()).string();
    EXPECT_EQ(utf8(job.log()), "utf-8 1 dumb\nno input\n" + folder + "\n\nExit Code: 0\n");
}

// A tool that cannot start leaves the job in Error with one line that says why and what to do,
// and never an exit code.
TEST(ToolRunnerFake, AToolThatCannotStartSaysWhyAndWhatToInstall)
{
    enum class Setup { Nothing, NotExecutable, NotAProgram, FolderIsAFile };
    struct Case {
        const char* name;
        Setup setup;
        std::u16string link;
        std::vector<std::string> logHas;
    } cases[] = {
        { "no youtube-dl anywhere", Setup::Nothing, u"http://fake/ok",
            { "Neither yt-dlp nor youtube-dl was found on the PATH. Install yt-dlp with your distribution's package manager (Debian: apt install yt-dlp) "
              "or put it in vdl/ beside Fetchwick (",
                "/vdl/youtube-dl).\n" } },
        { "no you-get anywhere", Setup::Nothing, u"https://www.acfun.cn/v/ok",
            { "you-get was not found on the PATH. Install it with your distribution's package manager (Debian: apt install you-get) or put it in vdl/ "
              "beside Fetchwick (",
                "/vdl/you-get).\n" } },
        { "no old build and no current one: the old build is not tried", Setup::Nothing, u"http://www.youtube.com/ok",
            { "Neither yt-dlp nor youtube-dl was found on the PATH." } },
        { "a tool file that may not be run", Setup::NotExecutable, u"http://fake/ok",
            { "/vdl/youtube-dl cannot be run: Permission denied. Make it executable (chmod +x) or install yt-dlp (Debian: apt install yt-dlp).\n" } },
        { "a tool file that is no program", Setup::NotAProgram, u"http://fake/ok",
            { "/vdl/youtube-dl is not a program this system can run. Install yt-dlp (Debian: apt install yt-dlp).\n" } },
        { "a download folder that cannot be made", Setup::FolderIsAFile, u"http://fake/ok",
            { "The download folder could not be made: ", "/file/videos (Not a directory).\n" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation tools;
        TempDir emptyPath;
        const char* savedPath = std::getenv("PATH");
        std::string saved = savedPath ? savedPath : "";
        setenv("PATH", emptyPath.path.string().c_str(), 1);
        if (c.setup == Setup::NotExecutable)
            std::ofstream(tools.vdl() / "youtube-dl") << "#!/bin/sh\n";
        if (c.setup == Setup::NotAProgram) {
            std::ofstream(tools.vdl() / "youtube-dl") << "no program at all";
            fs::permissions(tools.vdl() / "youtube-dl", fs::perms::owner_all);
        }
        if (c.setup == Setup::FolderIsAFile)
            tools.install("youtube-dl", FakeTool);
        RecordingWindow window;
        TestJob job(c.link, &window);
        if (c.setup == Setup::FolderIsAFile) {
            std::ofstream(job.dir() / "file") << "x";
            job->Dir->assign(StrBuffer::makeUtf8((job.dir() / "file" / "videos").string())->view());
        }
        job.run();
        setenv("PATH", saved.c_str(), 1);
        EXPECT_EQ(job->State.load(), JobState::Error);
        EXPECT_EQ(job->PercentDone.load(), -1.0);
        std::string log = utf8(job.log());
        for (const std::string& piece : c.logHas)
            EXPECT_NE(log.find(piece), std::string::npos) << piece << "\nin: " << log;
        EXPECT_EQ(log.find("Exit Code"), std::string::npos) << log;
        EXPECT_EQ(job.log(), window.joined());
        EXPECT_TRUE(tools.startsOf("youtube-dl").empty());
    }
}

TEST(ToolRunnerFake, MakesTheDownloadFolderWithItsParents)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TestJob job(u"http://fake/ok");
    std::u16string nested = std::u16string(job->Dir->view()) + u"/new/\u00e9t\u00e9";
    job->Dir->assign(nested);
    job.run();
    EXPECT_EQ(job->State.load(), JobState::Completed);
    EXPECT_TRUE(fs::is_directory(job.dir() / "new" / "\xc3\xa9t\xc3\xa9"));
}

TEST(ToolRunnerFake, OldBuildFailureIsRetriedOnceWithTheCurrentBuild)
{
    struct Case {
        const char* name;
        bool oldInstalled;
        std::u16string link;
        JobState state;
        int currentStarts;
    } cases[] = {
        // The old build fails: one more attempt, with the current build.
        { "old build fails", true, u"http://www.youtube.com/fail", JobState::Error, 1 },
        // No old build at all: the current build at once, no failed attempt, no retry.
        { "no old build", false, u"http://www.youtube.com/ok", JobState::Completed, 1 },
        // The old build succeeds: no second attempt.
        { "old build succeeds", true, u"http://www.youtube.com/ok", JobState::Completed, 0 },
    };
    for (const Case& c : cases) {
        Installation tools;
        tools.install("youtube-dl", FakeTool);
        if (c.oldInstalled)
            tools.install("youtube-dl_old", FakeTool);
        RecordingWindow window;
        TestJob job(c.link, &window);
        job.run();
        EXPECT_EQ(job->State.load(), c.state) << c.name;
        EXPECT_EQ(tools.startsOf("youtube-dl").size(), size_t(c.currentStarts)) << c.name;
        std::u16string log = job.log();
        bool retried = log.find(u"\r\n\r\n[Retry]:\n") != std::u16string::npos;
        EXPECT_EQ(retried, c.currentStarts == 1 && c.oldInstalled) << c.name;
        if (c.currentStarts == 1) {
            std::vector<std::string> expected { (tools.vdl() / "youtube-dl").string(), "--no-mtime", "-i", "--merge-output-format", "mkv", "--", utf8(c.link) };
            EXPECT_EQ(tools.argvOf("youtube-dl"), expected) << c.name;
            if (c.oldInstalled) {
                EXPECT_EQ(log.find(u"\nExit Code: 1\n\r\n\r\n[Retry]:\n"), log.find(u"\nExit Code: 1\n")) << c.name;
                // The second attempt waited for its own launch slot.
                EXPECT_GE(tools.startsOf("youtube-dl")[0] - tools.startsOf("youtube-dl_old")[0], 850'000'000) << c.name;
            } else {
                EXPECT_EQ(log.find(u"[Retry]"), std::u16string::npos) << c.name;
            }
        }
        EXPECT_EQ(job.log(), window.joined()) << c.name;
    }
}

TEST(ToolRunnerFake, StopsTheToolAndItsGroupWhateverItDoes)
{
    enum class Ready { Started, Printing, Trapped };
    struct Case {
        const char* name;
        std::u16string link;
        Ready ready;
        int maxMs; // the stop is seen within 200 ms; a tool that ignores SIGTERM also takes the grace
    } cases[] = {
        { "silent", u"http://fake/silent", Ready::Started, 300 },
        { "endless output without line ends", u"http://fake/endless", Ready::Printing, 300 },
        { "ignores SIGTERM", u"http://fake/ignore-term", Ready::Trapped, 300 + OutputReader::StopGraceMs },
    };
    for (const Case& c : cases) {
        Installation tools;
        tools.install("youtube-dl", FakeTool);
        TestJob job(c.link);
        job.start();
        ASSERT_TRUE(waitFor(
            [&] {
                switch (c.ready) {
                case Ready::Started:
                    return !tools.pidsOf("youtube-dl").empty();
                case Ready::Printing:
                    return !job.log().empty();
                case Ready::Trapped:
                    return job->State.load() == JobState::Downloading;
                }
                return false;
            },
            5s))
            << c.name;
        pid_t group = tools.pidsOf("youtube-dl")[0];
        auto took = job.stopAndJoin();
        EXPECT_LT(took.count(), c.maxMs) << c.name;
        EXPECT_EQ(job->State.load(), JobState::Canceled) << c.name;
        EXPECT_EQ(job.log().find(u"Exit Code"), std::u16string::npos) << c.name;
        EXPECT_TRUE(waitFor([&] { return liveMembersOf(group).empty(); }, 1s)) << c.name;
    }
}

TEST(ToolRunnerFake, EndlessOutputIsLoggedInBoundedPieces)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    RecordingWindow window;
    TestJob job(u"http://fake/endless", &window);
    job.start();
    ASSERT_TRUE(waitFor([&] { return window.logTexts().size() >= 4; }, 10s));
    job.stopAndJoin();
    std::vector<std::u16string> texts = window.logTexts();
    for (const std::u16string& text : texts) {
        EXPECT_EQ(text.size(), OutputReader::MaxLineBytes + 1);
        EXPECT_EQ(text.find_first_not_of(u'x'), OutputReader::MaxLineBytes);
    }
}

TEST(ToolRunnerFake, AToolThatEndsWhileItsHelperHoldsTheOutputOpenStillFinishes)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TestJob job(u"http://fake/leave-child");
    job.start();
    ASSERT_TRUE(waitFor([&] { return job.finished(); }, 5s)) << "the runner waited for the helper";
    job.join();
    EXPECT_EQ(job->State.load(), JobState::Completed);
    EXPECT_NE(job.log().find(u"\nExit Code: 0\n"), std::u16string::npos);
    pid_t group = tools.pidsOf("youtube-dl")[0];
    EXPECT_TRUE(waitFor([&] { return liveMembersOf(group).empty(); }, 1s));
}

// ---------------------------------------------------------------- launch spacing

// The slots themselves: whatever the scheduling, no two are closer than the spacing.
TEST(ToolRunnerLaunch, SlotsTakenTogetherAreASecondApart)
{
    LaunchGate gate;
    std::atomic<bool> noStop { false };
    std::vector<std::chrono::steady_clock::time_point> taken(4);
    std::vector<std::thread> workers;
    for (auto& slot : taken)
        workers.emplace_back([&] { EXPECT_TRUE(gate.waitForSlot(noStop, &slot)); });
    for (std::thread& worker : workers)
        worker.join();
    std::sort(taken.begin(), taken.end());
    for (size_t i = 1; i < taken.size(); ++i) {
        EXPECT_GE(taken[i] - taken[i - 1], LaunchGate::DefaultSpacing);
        // Each waiter looks again at least every 100 ms.
        EXPECT_LT(taken[i] - taken[i - 1], LaunchGate::DefaultSpacing + std::chrono::milliseconds(500));
    }
}

TEST(ToolRunnerLaunch, ToolsOfJobsStartedTogetherStartAboutASecondApart)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TestJob first(u"http://fake/exit-0");
    TestJob second(u"http://fake/exit-0");
    TestJob third(u"http://fake/exit-0");
    first.start();
    second.start();
    third.start();
    first.join();
    second.join();
    third.join();
    std::vector<int64_t> starts = tools.startsOf("youtube-dl");
    ASSERT_EQ(starts.size(), 3u);
    std::sort(starts.begin(), starts.end());
    // Seen where the tools themselves start, which a busy machine delays by a varying few tens of
    // milliseconds after the launch slot (the slots are exactly spaced, see above).
    EXPECT_GE(starts[1] - starts[0], 850'000'000);
    EXPECT_GE(starts[2] - starts[1], 850'000'000);
    EXPECT_LT(starts[2] - starts[0], 4'000'000'000);
    for (TestJob* job : { &first, &second, &third })
        EXPECT_EQ((*job)->State.load(), JobState::Completed);
}

TEST(ToolRunnerLaunch, AStopWhileWaitingForTheSlotStartsNoTool)
{
    Installation tools;
    tools.install("youtube-dl", FakeTool);
    TestJob first(u"http://fake/exit-0");
    first.run();
    ASSERT_EQ(tools.startsOf("youtube-dl").size(), 1u);

    TestJob waiting(u"http://fake/exit-0");
    waiting.start();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(waiting.finished());
    auto took = waiting.stopAndJoin();
    EXPECT_LT(took.count(), 500);
    EXPECT_EQ(waiting->State.load(), JobState::Canceled);
    EXPECT_EQ(waiting->PercentDone.load(), -1.0);
    EXPECT_EQ(waiting.log(), u"");
    EXPECT_EQ(tools.startsOf("youtube-dl").size(), 1u);

    // A stop asked for before the run: nothing starts either.
    TestJob stopped(u"http://fake/exit-0");
    stopped->StopRequested = true;
    tools.forgetLaunches();
    stopped.run();
    EXPECT_EQ(stopped->State.load(), JobState::Canceled);
    EXPECT_EQ(tools.startsOf("youtube-dl").size(), 1u);
}

// ---------------------------------------------------------------- the real tools

// Media made with ffmpeg, served by a throttled loopback HTTP server for the whole suite.
class RealTools : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = new TempDir;
        fs::create_directories(s_root->path / "www.youtube.com");
        std::string clip = (s_root->path / "clip.mp4").string();
        int exitCode = -1;
        {
            Process ffmpeg;
            ASSERT_TRUE(ffmpeg.start({ "/usr/bin/ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10", "-f", "lavfi", "-i",
                                         "sine=frequency=440", "-t", "2", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-shortest", clip },
                {}));
            char buffer[4096];
            size_t count = 0;
            while (ffmpeg.read(buffer, sizeof buffer, count, 1000) != Process::Read::Ended) { }
            ASSERT_TRUE(ffmpeg.wait(exitCode));
            ASSERT_EQ(exitCode, 0);
        }
        fs::copy_file(clip, s_root->path / "www.youtube.com" / "clip.mp4");
        fs::copy_file(clip, s_root->path / "clip-\xc3\xa9t\xc3\xa9.mp4");
        s_clipSize = static_cast<int64_t>(fs::file_size(clip));

        std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        s_server = new Process;
        ASSERT_TRUE(s_server->start({ python, (ToolsDir / "http_server.py").string(), s_root->path.string(), "100000" }, {}));
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

    static std::u16string link(const std::string& path)
    {
        return std::u16string(StrBuffer::makeUtf8("http://127.0.0.1:" + std::to_string(s_port) + path)->view());
    }
    static pid_t serverPid() { return s_server->pid(); }

    static TempDir* s_root;
    static Process* s_server;
    static int s_port;
    static int64_t s_clipSize;
};

TempDir* RealTools::s_root = nullptr;
Process* RealTools::s_server = nullptr;
int RealTools::s_port = 0;
int64_t RealTools::s_clipSize = 0;

// The title is not ASCII: it reaches the log and the file name intact.
TEST_F(RealTools, PlainDownloadCompletesWithTheFileOnDisk)
{
    Installation tools; // no vdl/youtube-dl: yt-dlp comes from the PATH
    RecordingWindow window;
    TestJob job(link("/clip-%C3%A9t%C3%A9.mp4"), &window);
    job.run();
    const std::u16string name = u"clip-\u00e9t\u00e9 [clip-\u00e9t\u00e9].mp4";
    const fs::path file = job.dir() / "clip-\xc3\xa9t\xc3\xa9 [clip-\xc3\xa9t\xc3\xa9].mp4";
    EXPECT_EQ(job->State.load(), JobState::Completed) << utf8(job.log());
    EXPECT_EQ(job->PercentDone.load(), 100.0);
    EXPECT_EQ(job.fileName(), name);
    EXPECT_EQ(job.filePath(), std::u16string(job->Dir->view()) + u"/" + name);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(static_cast<int64_t>(fs::file_size(file)), s_clipSize);
    std::u16string log = job.log();
    EXPECT_NE(log.find(u"[download] Destination: " + name + u"\n"), std::u16string::npos) << utf8(log);
    EXPECT_NE(log.find(u"% of "), std::u16string::npos) << "no progress line: " << utf8(log);
    EXPECT_TRUE(log.ends_with(u"\nExit Code: 0\n")) << utf8(log);
    EXPECT_EQ(log, window.joined());
}

TEST_F(RealTools, Mp3OnlyEndsWithTheMp3File)
{
    Installation tools;
    TestJob job(link("/clip.mp4"));
    job->OnlyMp3 = true;
    job.run();
    EXPECT_EQ(job->State.load(), JobState::Completed) << utf8(job.log());
    EXPECT_TRUE(fs::exists(job.dir() / "clip [clip].mp3"));
    EXPECT_FALSE(fs::exists(job.dir() / "clip [clip].mp4"));
    EXPECT_EQ(job.fileName(), u"clip [clip].mp3");
}

TEST_F(RealTools, NotFoundEndsInErrorWithTheExitCode)
{
    Installation tools;
    TestJob job(link("/missing.mp4"));
    job.run();
    EXPECT_EQ(job->State.load(), JobState::Error);
    EXPECT_EQ(job->PercentDone.load(), -1.0);
    std::u16string log = job.log();
    EXPECT_NE(log.find(u"HTTP Error 404"), std::u16string::npos) << utf8(log);
    EXPECT_TRUE(log.ends_with(u"\nExit Code: 1\n")) << utf8(log);
}

TEST_F(RealTools, StopDuringTheDownloadEndsEveryToolProcess)
{
    Installation tools;
    TestJob job(link("/rate/8000/clip.mp4"));
    job.start();
    ASSERT_TRUE(waitFor([&] { return job->State.load() == JobState::Downloading && job->PercentDone.load() > 0; }, 20s)) << utf8(job.log());
    std::vector<pid_t> groups = toolGroups({ serverPid() });
    ASSERT_EQ(groups.size(), 1u);
    auto took = job.stopAndJoin();
    EXPECT_LT(took.count(), 1000);
    EXPECT_EQ(job->State.load(), JobState::Canceled);
    EXPECT_GT(job->PercentDone.load(), 400.0);
    EXPECT_EQ(job.log().find(u"Exit Code"), std::u16string::npos);
    EXPECT_TRUE(liveMembersOf(groups[0]).empty());
    EXPECT_TRUE(toolGroups({ serverPid() }).empty());
}

TEST_F(RealTools, FailedOldBuildIsFollowedByTheCurrentBuildWithTheMergeOption)
{
    Installation tools;
    tools.install("youtube-dl_old", FakeTool); // knows no such link: prints an error and exits 2
    tools.install("youtube-dl", RecordingTool);
    std::u16string url = link("/www.youtube.com/clip.mp4");
    RecordingWindow window;
    TestJob job(url, &window);
    job.run();
    std::u16string log = job.log();
    EXPECT_EQ(job->State.load(), JobState::Completed) << utf8(log);
    EXPECT_EQ(log.find(u"ERROR: fake-downloader: unknown link"), 0u) << utf8(log);
    size_t retry = log.find(u"\nExit Code: 2\n\r\n\r\n[Retry]:\n");
    ASSERT_NE(retry, std::u16string::npos) << utf8(log);
    EXPECT_NE(log.find(u"[download] Destination: clip [clip].mp4\n", retry), std::u16string::npos) << utf8(log);
    EXPECT_TRUE(log.ends_with(u"\nExit Code: 0\n"));
    std::vector<std::string> expected { (tools.vdl() / "youtube-dl").string(), "--no-mtime", "-i", "--merge-output-format", "mkv", "--", utf8(url) };
    EXPECT_EQ(tools.argvOf("youtube-dl"), expected);
    EXPECT_TRUE(fs::exists(job.dir() / "clip [clip].mp4"));
    EXPECT_EQ(log, window.joined());
}

TEST_F(RealTools, HostileLoginDoesNotBecomeAnOptionOfTheRealTool)
{
    Installation tools;
    TestJob job(link("/clip.mp4"));
    job->Id->assign(u"--exec=touch pwned");
    job->Password->assign(u"--version");
    job.run();
    EXPECT_EQ(job->State.load(), JobState::Completed) << utf8(job.log());
    EXPECT_TRUE(fs::exists(job.dir() / "clip [clip].mp4"));
    EXPECT_FALSE(fs::exists(job.dir() / "pwned"));

    TestJob optionLink(u"--exec=touch pwned");
    tools.forgetLaunches();
    optionLink.run();
    EXPECT_EQ(optionLink->State.load(), JobState::Error);
    EXPECT_NE(optionLink.log().find(u"is not a valid URL"), std::u16string::npos) << utf8(optionLink.log());
    EXPECT_FALSE(fs::exists(optionLink.dir() / "pwned"));
}

}
