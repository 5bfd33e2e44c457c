// The private file that carries a site login to youtube-dl: where it goes, who may read it, how
// values are quoted (read back by the same rules the tool uses), and the real yt-dlp reading it.

#include "EngineTestSupport.h"
#include "engine/DlThread.h"
#include "engine/runner/LaunchGate.h"
#include "engine/runner/ToolLocator.h"
#include "engine/runner/ToolRunner.h"
#include "engine/workers/LoginFile.h"
#include "foundation/system/os/Process.h"

#include <fstream>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using s::system::os::Process;
using namespace s::video::gui::dialogs::videodl;

namespace {

// Runs a program and gives back what it printed (stdout and stderr together).
std::string output(const std::vector<std::string>& argv)
{
    Process process;
    if (!process.start(argv, {}))
        return {};
    std::string printed;
    char buffer[4096];
    size_t count = 0;
    while (process.read(buffer, sizeof buffer, count, 30000) != Process::Read::Ended)
        printed.append(buffer, count);
    printed.append(buffer, count);
    int exitCode = 0;
    process.wait(exitCode);
    return printed;
}

class LoginFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_hadRuntime = old != nullptr;
        m_oldRuntime = old ? old : "";
        std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_hadRuntime)
            ::setenv("XDG_RUNTIME_DIR", m_oldRuntime.c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

    enginetest::TempDir runtime;
    bool m_hadRuntime { false };
    std::string m_oldRuntime;
};

TEST_F(LoginFileTest, APrivateFileInTheRuntimeFolderThatGoesWithItsObject)
{
    std::string path;
    {
        LoginFile file;
        ASSERT_TRUE(file.create(u"someone", u"secret"));
        path = file.path();
        EXPECT_EQ(std::filesystem::path(path).parent_path(), runtime.path());
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(enginetest::ReadFileBytes(path), "--username 'someone'\n--password 'secret'\n");
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    LoginFile onlyName;
    ASSERT_TRUE(onlyName.create(u"someone", u""));
    EXPECT_EQ(enginetest::ReadFileBytes(onlyName.path()), "--username 'someone'\n");
}

TEST_F(LoginFileTest, AShareableRuntimeFolderIsNotUsed)
{
    std::filesystem::permissions(runtime.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    LoginFile file;
    ASSERT_TRUE(file.create(u"someone", u"secret"));
    EXPECT_NE(std::filesystem::path(file.path()).parent_path(), runtime.path());
    struct stat info {};
    ASSERT_EQ(::stat(std::filesystem::path(file.path()).parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
}

TEST_F(LoginFileTest, ValuesAreReadBackAsTheyWereTyped)
{
    const std::u16string values[] = { u"two words", u"it's", u"\"quoted\"", u"a#b # c", u"back\\slash", u"caf\u00e9 \u2603", u"-p" };
    for (const std::u16string& value : values) {
        LoginFile file;
        ASSERT_TRUE(file.create(value, value));
        // yt-dlp splits its configuration files with Python's shlex, comments on.
        std::string read = output({ "/usr/bin/python3", "-c",
            "import shlex,sys; print(repr(shlex.split(open(sys.argv[1], encoding='utf-8').read(), comments=True)))", file.path() });
        std::string expected = output({ "/usr/bin/python3", "-c", "import sys; v=sys.argv[1]; print(repr(['--username', v, '--password', v]))",
            enginetest::Utf8(value) });
        EXPECT_EQ(read, expected) << enginetest::Utf8(value);
    }
}

TEST_F(LoginFileTest, TheRealToolReadsTheFile)
{
    LoginFile file;
    ASSERT_TRUE(file.create(u"someone", u"secret"));
    std::string printed = output({ "/usr/bin/yt-dlp", "-v", "--ignore-config", "--config-location", file.path(), "--no-mtime", "-i", "--",
        "http://127.0.0.1:9/none" });
    EXPECT_NE(printed.find("Config \"" + file.path() + "\": ['--username', 'PRIVATE', '--password', 'PRIVATE']"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("secret"), std::string::npos);
}

TEST_F(LoginFileTest, AJobsLoginReachesTheRealToolThroughTheFileOnly)
{
    // The real yt-dlp, told to say what it read, behind a wrapper that keeps its argument list.
    enginetest::TempDir program;
    std::filesystem::create_directories(program.path() / "vdl");
    std::filesystem::path wrapper = program.path() / "vdl" / "youtube-dl";
    std::ofstream(wrapper) << "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.argv\"\nexec yt-dlp -v --ignore-config \"$@\"\n";
    std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
    ToolLocator tools(program.text());
    LaunchGate gate;

    enginetest::TempDir downloads;
    s::thread::Pooled<DlThread> job;
    job->Url->assign(u"http://127.0.0.1:9/none");
    job->Dir->assign(downloads.text());
    job->Id->assign(u"someone");
    job->Password->assign(u"very secret");
    ToolRunner(tools, gate).RunTool(*job, job->Url->view(), job->Dir->view(), job->StopRequested);

    std::string argv = enginetest::ReadFileBytes(wrapper.string() + ".argv");
    EXPECT_EQ(argv.find("secret"), std::string::npos) << argv;
    EXPECT_EQ(argv.find("someone"), std::string::npos) << argv;
    size_t option = argv.find("--config-location\n");
    ASSERT_NE(option, std::string::npos) << argv;
    size_t start = option + std::string("--config-location\n").size();
    std::string file = argv.substr(start, argv.find('\n', start) - start);
    EXPECT_EQ(std::filesystem::path(file).parent_path(), runtime.path());
    EXPECT_FALSE(std::filesystem::exists(file));

    std::string log = job->Log->toStdUtf8();
    EXPECT_NE(log.find("Config \"" + file + "\": ['--username', 'PRIVATE', '--password', 'PRIVATE']"), std::string::npos) << log;
    EXPECT_EQ(log.find("secret"), std::string::npos) << log;
}

}
