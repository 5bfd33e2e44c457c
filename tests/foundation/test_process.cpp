#include "foundation/system/os/Process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

using s::system::os::Process;
using namespace std::chrono_literals;

namespace {

// Everything the child writes until its pipe ends (bounded, so a broken test cannot hang).
std::string readAll(Process& process, std::chrono::milliseconds limit = 10s)
{
    std::string output;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        size_t count = 0;
        Process::Read result = process.read(buffer, sizeof buffer, count, 100);
        if (result == Process::Read::Ended)
            break;
        output.append(buffer, count);
    }
    return output;
}

std::string run(const std::vector<std::string>& argv, int& exitCode, const std::string& dir = {}, const std::vector<std::string>& environment = {})
{
    Process process;
    EXPECT_TRUE(process.start(argv, dir, environment)) << std::strerror(errno);
    std::string output = readAll(process);
    EXPECT_TRUE(process.wait(exitCode));
    return output;
}

std::vector<std::string> shell(const std::string& script, std::vector<std::string> arguments = {})
{
    std::vector<std::string> argv { "/bin/sh", "-c", script, "sh" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

// A process counts as gone once it has ended, even while nobody has reaped it yet.
bool alive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    if (text.empty())
        return false;
    size_t afterName = text.rfind(')');
    char state = afterName != std::string::npos && afterName + 2 < text.size() ? text[afterName + 2] : '?';
    return state != 'Z' && state != 'X';
}

bool goneWithin(pid_t pid, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (alive(pid)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

struct TempDir {
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fetchwick-process-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

}

TEST(Process, MergesOutputAndErrorOnOnePipeAndGivesTheExitCode)
{
    struct Case {
        const char* script;
        const char* output;
        int exitCode;
    } cases[] = {
        { "echo out; echo err >&2; exit 3", "out\nerr\n", 3 },
        { "printf 'no line end'", "no line end", 0 },
        { "exit 0", "", 0 },
        { "kill -KILL $$", "", 128 + SIGKILL },
        { "kill -TERM $$", "", 128 + SIGTERM },
    };
    for (const Case& c : cases) {
        int exitCode = -1;
        EXPECT_EQ(run(shell(c.script), exitCode), c.output) << c.script;
        EXPECT_EQ(exitCode, c.exitCode) << c.script;
    }
}

TEST(Process, PassesEveryArgumentAsItStandsWithoutAShell)
{
    TempDir dir;
    std::vector<std::string> hostile {
        "-x",
        "--exec",
        "rm -rf ~",
        "\"quoted\" 'single'",
        "$(touch injected)",
        "`touch injected`",
        "a;touch injected",
        "with\nline feed",
        "",
        "ünïcødé ☃",
    };
    int exitCode = -1;
    std::string output = run(shell("for a in \"$@\"; do printf '[%s]' \"$a\"; done", hostile), exitCode, dir.path.string());
    std::string expected;
    for (const std::string& argument : hostile)
        expected += "[" + argument + "]";
    EXPECT_EQ(output, expected);
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "injected"));
}

TEST(Process, RunsInTheGivenFolderWithNoInputAndInAGroupOfItsOwn)
{
    TempDir dir;
    int exitCode = -1;
    EXPECT_EQ(run(shell("pwd -P"), exitCode, dir.path.string()), std::filesystem::canonical(dir.path).string() + "\n");

    // A tool that asks a question gets end of input at once instead of waiting for an answer.
    EXPECT_EQ(run(shell("if read answer; then echo got; else echo none; fi"), exitCode), "none\n");

    // Field 5 of /proc/PID/stat is the process group; the shell's name has no spaces.
    EXPECT_EQ(run(shell("set -- $(cat /proc/$$/stat); [ \"$5\" = \"$$\" ] && echo leader"), exitCode), "leader\n");
}

TEST(Process, AddsAndReplacesEnvironmentVariablesAndKeepsTheRest)
{
    setenv("FETCHWICK_TEST_KEPT", "kept", 1);
    setenv("TERM", "xterm-256color", 1);
    int exitCode = -1;
    std::string output = run(shell("echo \"$FETCHWICK_TEST_KEPT $TERM $PYTHONIOENCODING $PYTHONUNBUFFERED\"; env | grep -c '^TERM='"),
        exitCode, {}, { "PYTHONIOENCODING=utf-8", "PYTHONUNBUFFERED=1", "TERM=dumb" });
    EXPECT_EQ(output, "kept dumb utf-8 1\n1\n");
}

TEST(Process, GivesTheChildDefaultSignalActionsEvenWhereWeIgnoreThem)
{
    // Programs that ignore SIGPIPE are common; a tool must still die when its reader goes away.
    struct sigaction previous {};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    int exitCode = -1;
    std::string output = run(shell("kill -PIPE $$; echo survived"), exitCode);
    sigaction(SIGPIPE, &previous, nullptr);
    EXPECT_EQ(output, "");
    EXPECT_EQ(exitCode, 128 + SIGPIPE);
}

TEST(Process, FailsToStartWhatCannotRun)
{
    TempDir dir;
    std::filesystem::path notExecutable = dir.path / "plain.txt";
    std::ofstream(notExecutable) << "#!/bin/sh\necho hi\n";
    struct Case {
        std::string file;
        int error;
    } cases[] = {
        { (dir.path / "missing").string(), ENOENT },
        { notExecutable.string(), EACCES },
        { "sh", ENOENT }, // a bare name is not looked up on the PATH
    };
    for (const Case& c : cases) {
        Process process;
        errno = 0;
        EXPECT_FALSE(process.start({ c.file }, {})) << c.file;
        EXPECT_EQ(errno, c.error) << c.file;
        EXPECT_FALSE(process.started());
        int exitCode = -1;
        EXPECT_FALSE(process.wait(exitCode));
    }
    Process inMissingFolder;
    EXPECT_FALSE(inMissingFolder.start({ "/bin/true" }, (dir.path / "nowhere").string()));
}

TEST(Process, ReadsReturnIdleWhileTheChildIsSilent)
{
    Process process;
    ASSERT_TRUE(process.start(shell("sleep 5"), {}));
    char buffer[16];
    size_t count = 99;
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(process.read(buffer, sizeof buffer, count, 50), Process::Read::Idle);
    EXPECT_EQ(count, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    EXPECT_FALSE(process.exited());
    int exitCode = -1;
    EXPECT_TRUE(process.terminate(exitCode));
    EXPECT_EQ(exitCode, 128 + SIGTERM);
}

TEST(Process, TerminateEndsTheWholeGroupEvenWhatIgnoresSigterm)
{
    struct Case {
        const char* name;
        const char* script;
        int exitCode;
    } cases[] = {
        // The child and its background job both ignore SIGTERM: only SIGKILL ends them.
        { "stubborn", "trap '' TERM; sleep 30 & echo $!; while :; do sleep 1; done", 128 + SIGKILL },
        // A child that obeys, with a stubborn grandchild (a converter that outlives its tool).
        { "orphaned", "(trap '' TERM; exec sleep 30) & echo $!; wait", 128 + SIGTERM },
    };
    for (const Case& c : cases) {
        Process process;
        ASSERT_TRUE(process.start(shell(c.script), {}));
        std::string line;
        char buffer[64];
        while (line.find('\n') == std::string::npos) {
            size_t count = 0;
            ASSERT_NE(process.read(buffer, sizeof buffer, count, 2000), Process::Read::Ended) << c.name;
            line.append(buffer, count);
        }
        pid_t grandchild = std::stoi(line);
        pid_t child = process.pid();
        ASSERT_TRUE(alive(grandchild)) << c.name;
        int exitCode = -1;
        auto before = std::chrono::steady_clock::now();
        EXPECT_TRUE(process.terminate(exitCode, 200)) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1500ms) << c.name;
        EXPECT_EQ(exitCode, c.exitCode) << c.name;
        EXPECT_FALSE(alive(child)) << c.name;
        EXPECT_TRUE(goneWithin(grandchild, 2s)) << c.name;
        EXPECT_FALSE(process.started());
    }
}

TEST(Process, WaitEndsWhatTheChildLeftRunningInItsGroup)
{
    Process process;
    ASSERT_TRUE(process.start(shell("sleep 30 >/dev/null 2>&1 & echo $!; exit 7"), {}));
    std::string output = readAll(process);
    ASSERT_FALSE(output.empty());
    pid_t leftover = std::stoi(output);
    int exitCode = -1;
    EXPECT_TRUE(process.wait(exitCode));
    EXPECT_EQ(exitCode, 7);
    EXPECT_TRUE(goneWithin(leftover, 2s));
}

TEST(Process, ExitedSeesTheEndWithoutReapingIt)
{
    Process process;
    ASSERT_TRUE(process.start(shell("echo done"), {}));
    EXPECT_EQ(readAll(process), "done\n");
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!process.exited() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(process.exited());
    EXPECT_TRUE(process.started());
    int exitCode = -1;
    EXPECT_TRUE(process.wait(exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST(Process, DestructionEndsARunningChildAndAnObjectCanBeReused)
{
    pid_t child = -1;
    {
        Process process;
        ASSERT_TRUE(process.start(shell("sleep 30"), {}));
        child = process.pid();
    }
    EXPECT_FALSE(alive(child));

    Process process;
    int exitCode = -1;
    for (int code : { 1, 2 }) {
        ASSERT_TRUE(process.start(shell("exit " + std::to_string(code)), {}));
        EXPECT_EQ(readAll(process), "");
        EXPECT_TRUE(process.wait(exitCode));
        EXPECT_EQ(exitCode, code);
    }
}

TEST(Process, ClosedStandardStreamsDoNotConfuseThePipe)
{
    // With our own standard input closed, pipe2 hands out descriptor 0; the child must still get
    // /dev/null as its input and the pipe as its output.
    int savedIn = dup(0);
    close(0);
    Process process;
    bool started = process.start(shell("cat; echo after"), {});
    dup2(savedIn, 0);
    close(savedIn);
    ASSERT_TRUE(started);
    EXPECT_EQ(readAll(process), "after\n");
    int exitCode = -1;
    EXPECT_TRUE(process.wait(exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST(Process, AChildReapedElsewhereEndsWithoutAnExitCode)
{
    // Some libraries reap every child; then the end is still seen, no exit code is made up and
    // no signal goes to a process group that may belong to somebody else by now.
    Process process;
    ASSERT_TRUE(process.start(shell("exit 5"), {}));
    int status = 0;
    ASSERT_EQ(waitpid(process.pid(), &status, 0), process.pid());
    EXPECT_TRUE(process.exited());
    int exitCode = -1;
    EXPECT_FALSE(process.wait(exitCode));
    EXPECT_EQ(exitCode, -1);
    EXPECT_FALSE(process.started());
}
