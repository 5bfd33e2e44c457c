// Start-up as two real processes meet it: single copy, bringing the first copy forward, stale
// sockets, termination signals and the start-up flag. The program under test is the real start-up
// with a stand-in main window (startup_probe.cpp).

#include "app/os/SingleCopy.h"
#include "app/os/SystemVersion.h"
#include "formats/reg/os/Hive.h"
#include "formats/reg/os/RegDir.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

class Probe : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }

    void TearDown() override
    {
        for (pid_t pid : m_children) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    pid_t start(std::vector<std::string> arguments = {})
    {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("FETCHWICK_PROBE_LOG", logPath().c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
            ::setenv("HOME", config.path().c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(STARTUP_PROBE));
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(STARTUP_PROBE, argv.data());
            ::_exit(127);
        }
        m_children.push_back(pid);
        return pid;
    }

    std::string logPath() const { return runtime / "probe.log"; }

    std::vector<std::string> logLines() const
    {
        std::ifstream file(logPath());
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line))
            lines.push_back(line);
        return lines;
    }

    int count(const std::string& what, pid_t pid = 0) const
    {
        int n = 0;
        for (const std::string& line : logLines()) {
            std::istringstream in(line);
            pid_t who = 0;
            in >> who;
            std::string rest;
            std::getline(in, rest);
            if (rest.find(what) != std::string::npos && (pid == 0 || who == pid))
                ++n;
        }
        return n;
    }

    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 20s) const
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (condition())
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return condition();
    }

    // The exit status, or -1 when the process is still running after the limit.
    int waitExit(pid_t pid, std::chrono::milliseconds limit = 20s)
    {
        int status = 0;
        bool ended = waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit);
        if (!ended)
            return -1;
        std::erase(m_children, pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    TempFolder runtime;
    TempFolder config;
    bool m_opened { false };

private:
    std::vector<pid_t> m_children;
};

}

TEST_F(Probe, ASecondStartBringsTheFirstForwardAndEnds)
{
    pid_t first = start();
    ASSERT_TRUE(waitFor([&] { return count("started", first) == 1; })) << "the first copy did not start";

    auto before = std::chrono::steady_clock::now();
    pid_t second = start();
    EXPECT_EQ(waitExit(second), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 3s + 2s) << "the second copy took too long to end";
    EXPECT_EQ(count("started", second), 0) << "the second copy showed its window";
    EXPECT_TRUE(waitFor([&] { return count("forward", first) == 1; })) << "the first copy was not asked to come forward";

    // A third start does the same; the first copy stays the only one.
    EXPECT_EQ(waitExit(start()), 0);
    EXPECT_TRUE(waitFor([&] { return count("forward", first) == 2; }));

    ::kill(first, SIGTERM);
    EXPECT_EQ(waitExit(first), 0);
    EXPECT_EQ(count("closed", first), 1);
}

TEST_F(Probe, TwoSimultaneousStartsLeaveExactlyOne)
{
    for (int round = 0; round < 3; ++round) {
        std::remove(logPath().c_str());
        pid_t a = start();
        pid_t b = start();
        ASSERT_TRUE(waitFor([&] { return count("started") == 1 && count("ended") == 1; })) << "round " << round;
        pid_t survivor = count("started", a) == 1 ? a : b;
        pid_t other = survivor == a ? b : a;
        EXPECT_EQ(waitExit(other), 0);
        // Asked while it was still starting, the survivor comes forward once it is up.
        EXPECT_TRUE(waitFor([&] { return count("forward", survivor) == 1; })) << "round " << round;
        ::kill(survivor, SIGTERM);
        EXPECT_EQ(waitExit(survivor), 0);
        EXPECT_EQ(count("started"), 1) << "round " << round;
    }
}

TEST_F(Probe, ASocketLeftByACrashedCopyDoesNotStopTheNextStart)
{
    pid_t first = start();
    ASSERT_TRUE(waitFor([&] { return count("started", first) == 1; }));
    ::kill(first, SIGKILL);
    waitExit(first);

    std::string socketPath = s::app::os::SingleCopy::socketPath(STARTUP_PROBE);
    ASSERT_FALSE(socketPath.empty());
    ASSERT_EQ(::access(socketPath.c_str(), F_OK), 0) << "the killed copy should have left its socket";

    pid_t next = start();
    EXPECT_TRUE(waitFor([&] { return count("started", next) == 1; })) << "a stale socket stopped the start";
    ::kill(next, SIGTERM);
    EXPECT_EQ(waitExit(next), 0);
}

TEST_F(Probe, TerminationSignalsTakeTheClosePath)
{
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        std::remove(logPath().c_str());
        pid_t pid = start();
        ASSERT_TRUE(waitFor([&] { return count("started", pid) == 1; }));
        ::kill(pid, signal);
        EXPECT_EQ(waitExit(pid), 0) << strsignal(signal);
        EXPECT_EQ(count("closed", pid), 1) << strsignal(signal);
        EXPECT_EQ(count("ended", pid), 1) << strsignal(signal);
    }
}

TEST_F(Probe, StartupFlag)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* seen;
    };
    const Case cases[] = {
        { {}, "startup=0" },
        { { "-startup" }, "startup=1" },
        { { "-STARTUP" }, "startup=1" },
        { { "/startup" }, "startup=0" },
    };
    for (const Case& c : cases) {
        std::remove(logPath().c_str());
        pid_t pid = start(c.arguments);
        ASSERT_TRUE(waitFor([&] { return count("started", pid) == 1; }));
        EXPECT_EQ(count(c.seen, pid), 1) << (c.arguments.empty() ? "(none)" : c.arguments[0]);
        ::kill(pid, SIGTERM);
        EXPECT_EQ(waitExit(pid), 0);
    }
}

TEST_F(Probe, FirstStartAfterASilentInstallationOpensTheWebPageOnce)
{
    std::string hivePath = config / "Pellix/registry.reg";
    ::mkdir((config / "Pellix").c_str(), 0700);
    auto key = s::reg::os::RegDir::make(s::reg::os::RootKey::CurrentUser, u"Software\\Pellix\\Fetchwick");
    key->setHive(&s::reg::os::Hive::forFile(hivePath));
    const char16_t one[] = u"1";
    ASSERT_TRUE(key->setValue(u"Silent", s::reg::os::ValueType::String, one, sizeof one));

    // A start with arguments leaves the mark for the next plain start.
    for (const std::vector<std::string>& arguments : { std::vector<std::string> { "-startup" }, std::vector<std::string> {},
             std::vector<std::string> {} }) {
        std::remove(logPath().c_str());
        pid_t pid = start(arguments);
        ASSERT_TRUE(waitFor([&] { return count("started", pid) == 1; }));
        ::kill(pid, SIGTERM);
        EXPECT_EQ(waitExit(pid), 0);
        int expected = arguments.empty() && !m_opened ? 1 : 0;
        EXPECT_EQ(count("opened web page", pid), expected);
        m_opened = m_opened || expected == 1;
    }
    EXPECT_TRUE(m_opened);
}

TEST(SystemVersion, KernelReleases)
{
    struct Case {
        const char* release;
        int major, minor, build;
        bool supported;
    };
    const Case cases[] = {
        { "6.1.0-18-amd64", 6, 1, 0, true },
        { "3.2.0", 3, 2, 0, true },
        { "3.1.10", 3, 1, 10, false },
        { "2.6.32-754.el6.x86_64", 2, 6, 32, false },
        { "", 0, 0, 0, false },
        { "garbage", 0, 0, 0, false },
    };
    for (const Case& c : cases) {
        auto version = s::app::os::SystemVersion::fromRelease(c.release);
        EXPECT_EQ(version.major, c.major) << c.release;
        EXPECT_EQ(version.minor, c.minor) << c.release;
        EXPECT_EQ(version.build, c.build) << c.release;
        EXPECT_EQ(version.isSupported(), c.supported) << c.release;
        EXPECT_TRUE(version.vistaOrLater);
    }
    EXPECT_TRUE(s::app::os::SystemVersion::current().isSupported());
}
