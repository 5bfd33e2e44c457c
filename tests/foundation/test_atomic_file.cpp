#include "foundation/file/os/AtomicFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using s::file::os::AtomicFile;

namespace {

struct TempFolder {
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fetchwick-atomic-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

bool replace(const std::string& target, const std::string& content, mode_t mode = 0666)
{
    return AtomicFile::replace(target, content.data(), content.size(), mode);
}

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

bool present(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}

TEST(AtomicFile, ReplacesTheContentAndLeavesNoTemporary)
{
    TempFolder temp;
    std::string file = temp / "a.xml";
    ASSERT_TRUE(replace(file, "first"));
    EXPECT_EQ(readFile(file), "first");
    ASSERT_TRUE(replace(file, std::string(3 << 20, 'x'))) << "larger than any one write";
    EXPECT_EQ(readFile(file).size(), 3u << 20);
    ASSERT_TRUE(replace(file, ""));
    EXPECT_EQ(readFile(file), "");
    EXPECT_FALSE(present(AtomicFile::temporaryPathFor(file)));
    EXPECT_EQ(AtomicFile::temporaryPathFor(file), file + ".tmp");
}

TEST(AtomicFile, PermissionsOfNewAndExistingFiles)
{
    TempFolder temp;
    mode_t mask = ::umask(022);
    struct Case {
        const char* what;
        int existing; // -1: no file yet
        mode_t mode;
        mode_t expected;
    } cases[] = {
        { "new file, the umask applies", -1, 0666, 0644 },
        { "new private file", -1, 0600, 0600 },
        { "an existing file keeps its own bits", 0640, 0666, 0640 },
        { "an existing file made private", 0644, 0600, 0600 },
        { "already private", 0600, 0666, 0600 },
    };
    int i = 0;
    for (const Case& c : cases) {
        std::string file = temp / ("f" + std::to_string(i++));
        if (c.existing >= 0) {
            writeFile(file, "old");
            ::chmod(file.c_str(), static_cast<mode_t>(c.existing));
        }
        ASSERT_TRUE(replace(file, "new", c.mode)) << c.what;
        EXPECT_EQ(modeOf(file), c.expected) << c.what;
        EXPECT_EQ(readFile(file), "new") << c.what;
    }
    ::umask(mask);
}

// A temporary left behind by a writer that crashed is removed, never renamed into place, and a
// temporary that is a link never leads the write elsewhere.
TEST(AtomicFile, StaleTemporariesAreRemovedNotMoved)
{
    TempFolder temp;
    std::string file = temp / "s.xml";
    writeFile(file, "old");
    writeFile(file + ".tmp", "half-written junk from a crash");
    ASSERT_TRUE(replace(file, "new"));
    EXPECT_EQ(readFile(file), "new");
    EXPECT_FALSE(present(file + ".tmp"));

    writeFile(temp / "elsewhere", "keep me");
    ASSERT_EQ(::symlink((temp / "elsewhere").c_str(), (file + ".tmp").c_str()), 0);
    ASSERT_TRUE(replace(file, "newer"));
    EXPECT_EQ(readFile(file), "newer");
    EXPECT_EQ(readFile(temp / "elsewhere"), "keep me");
    EXPECT_FALSE(present(file + ".tmp"));
}

TEST(AtomicFile, FailuresLeaveTheOldFileAndNoTemporary)
{
    TempFolder temp;
    std::string file = temp / "f.xml";
    writeFile(file, "old");

    // A folder stands where the temporary goes (whatever the rights of the user running this).
    ASSERT_EQ(::mkdir((file + ".tmp").c_str(), 0700), 0);
    errno = 0;
    EXPECT_FALSE(replace(file, "new"));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(readFile(file), "old");
    ::rmdir((file + ".tmp").c_str());

    EXPECT_FALSE(replace(temp / "missing/folder/f.xml", "new")) << "the folder must exist";
    EXPECT_EQ(errno, ENOENT);

    // A disk that fills up in the middle of the write: a file size limit in a child process.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4096, 4096 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool ok = replace(file, std::string(100000, 'n'));
        std::_Exit(!ok && errno == EFBIG ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write fails and says why";
    EXPECT_EQ(readFile(file), "old");
    EXPECT_FALSE(present(file + ".tmp"));
}

TEST(AtomicFile, ALinkKeepsLeadingToTheReplacedFile)
{
    TempFolder temp;
    ASSERT_EQ(::mkdir((temp / "real").c_str(), 0700), 0);
    writeFile(temp / "real/settings.xml", "old");
    ASSERT_EQ(::symlink("real/settings.xml", (temp / "link.xml").c_str()), 0);
    ASSERT_TRUE(replace(temp / "link.xml", "new"));
    struct stat st;
    ASSERT_EQ(::lstat((temp / "link.xml").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(temp / "real/settings.xml"), "new");
}

// Writers that race on one file take turns: a reader only ever finds one writer's whole content.
TEST(AtomicFile, RacingWritersNeverMixTheirContent)
{
    TempFolder temp;
    std::string file = temp / "race.xml";
    ASSERT_TRUE(replace(file, std::string(100000, 'a')));
    std::atomic<bool> stop { false };
    std::atomic<int> failures { 0 };
    std::vector<std::thread> writers;
    for (char fill : { 'b', 'c', 'd' }) {
        writers.emplace_back([&, fill] {
            std::string content(100000, fill);
            for (int i = 0; i < 40; ++i) {
                if (!replace(file, content)) {
                    failures.fetch_add(1);
                    ADD_FAILURE() << "errno " << errno;
                }
            }
        });
    }
    std::thread reader([&] {
        while (!stop.load()) {
            std::string seen = readFile(file);
            if (seen.size() != 100000 || seen.find_first_not_of(seen[0]) != std::string::npos)
                failures.fetch_add(1000);
        }
    });
    for (auto& writer : writers)
        writer.join();
    stop = true;
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_FALSE(present(file + ".tmp"));
}
