#include "foundation/file/os/FileInputStream.h"
#include "foundation/file/os/FileOutputStream.h"
#include "foundation/file/os/Path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

using s::file::SeekOrigin;
using s::file::os::FileOutputStream;
using s::file::os::Path;
using s::thread::Pooled;

namespace {

struct TempFolder {
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fetchwick-stream-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

// The seam: every system write the stream issues, by size.
std::vector<size_t> g_writes;
ssize_t countingWrite(int fd, const void* data, size_t count)
{
    g_writes.push_back(count);
    return ::write(fd, data, count);
}
ssize_t failingWrite(int, const void*, size_t)
{
    errno = ENOSPC;
    return -1;
}
// Writes half of what it is asked, as a system write may.
ssize_t halvingWrite(int fd, const void* data, size_t count)
{
    g_writes.push_back(count);
    return ::write(fd, data, count > 1 ? count / 2 : count);
}

std::string pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

}

TEST(FileStream, AMissingFileGivesAStreamWhoseFirstReadIsFalse)
{
    TempFolder temp;
    Pooled<s::file::os::FileInputStream> in = Path::makeUtf8(temp / "missing")->openForReading();
    EXPECT_FALSE(in->isOpen());
    char buffer[16];
    uint32_t got = 99;
    EXPECT_FALSE(in->read(buffer, sizeof buffer, got));
    EXPECT_EQ(got, 0u);
    EXPECT_STREQ(in->className(), "s_file_os_FileInputStream");
}

TEST(FileStream, ReadsGiveWhatIsThereThenFalseAtTheEnd)
{
    TempFolder temp;
    std::ofstream(temp / "f", std::ios::binary) << "hello";
    Pooled<s::file::os::FileInputStream> in = Path::makeUtf8(temp / "f")->openForReading();
    ASSERT_TRUE(in->isOpen());
    char buffer[3];
    uint32_t got = 0;
    EXPECT_TRUE(in->read(buffer, 3, got));
    EXPECT_EQ(got, 3u);
    EXPECT_TRUE(in->read(buffer, 3, got));
    EXPECT_EQ(got, 2u);
    EXPECT_FALSE(in->read(buffer, 3, got));
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(in->bytesRead(), 5u);
}

TEST(FileStream, WritesGoOutInWholeBuffersAndTheRestAtFlush)
{
    struct Case {
        size_t size;
        std::vector<size_t> beforeFlush;
        std::vector<size_t> afterFlush;
    };
    const Case cases[] = {
        { 70000, { 65536 }, { 65536, 4464 } },
        { 65536, {}, { 65536 } },
        { 65537, { 65536 }, { 65536, 1 } },
        { 200000, { 65536, 65536, 65536 }, { 65536, 65536, 65536, 3392 } },
        { 10, {}, { 10 } },
    };
    TempFolder temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        g_writes.clear();
        Pooled<FileOutputStream> out = Path::makeUtf8(temp / "out")->openForWriting();
        ASSERT_TRUE(out->isOpen());
        out->setWriteFunction(countingWrite);
        std::string data = pattern(c.size);
        uint32_t written = 0;
        EXPECT_TRUE(out->write(data.data(), static_cast<uint32_t>(data.size()), written));
        EXPECT_EQ(written, c.size);
        EXPECT_EQ(g_writes, c.beforeFlush);
        EXPECT_EQ(out->position(), c.size);
        EXPECT_TRUE(out->flush());
        EXPECT_EQ(g_writes, c.afterFlush);
        EXPECT_TRUE(out->close());
        EXPECT_EQ(readFile(temp / "out"), data);
    }
}

TEST(FileStream, ManySmallWritesShareTheBufferAndCloseSendsTheRest)
{
    TempFolder temp;
    g_writes.clear();
    Pooled<FileOutputStream> out = Path::makeUtf8(temp / "out")->openForWriting();
    out->setWriteFunction(countingWrite);
    std::string expected;
    for (int i = 0; i < 10000; ++i) {
        std::string line = "line " + std::to_string(i) + "\n";
        uint32_t written = 0;
        ASSERT_TRUE(out->write(line.data(), static_cast<uint32_t>(line.size()), written));
        expected += line;
    }
    EXPECT_EQ(g_writes.size(), expected.size() / 65536);
    EXPECT_TRUE(out->close());
    EXPECT_EQ(g_writes.size(), expected.size() / 65536 + 1);
    EXPECT_EQ(readFile(temp / "out"), expected);
}

TEST(FileStream, AFailedSystemWriteFailsTheWriteAndEveryLaterFlushAndClose)
{
    TempFolder temp;
    Pooled<FileOutputStream> out = Path::makeUtf8(temp / "out")->openForWriting();
    out->setWriteFunction(failingWrite);
    std::string data = pattern(70000);
    uint32_t written = 0;
    EXPECT_FALSE(out->write(data.data(), 70000, written));
    EXPECT_LT(written, 70000u);
    EXPECT_TRUE(out->failed());
    EXPECT_FALSE(out->flush());
    EXPECT_FALSE(out->write("x", 1, written));
    EXPECT_FALSE(out->close());

    // A stream released to the pool comes back clean.
    out.replace();
    Pooled<FileOutputStream> again = Path::makeUtf8(temp / "again")->openForWriting();
    EXPECT_FALSE(again->failed());
    EXPECT_TRUE(again->write("ok", 2, written));
    EXPECT_TRUE(again->close());
    EXPECT_EQ(readFile(temp / "again"), "ok");
}

TEST(FileStream, ShortSystemWritesAreContinued)
{
    TempFolder temp;
    g_writes.clear();
    Pooled<FileOutputStream> out = Path::makeUtf8(temp / "out")->openForWriting();
    out->setWriteFunction(halvingWrite);
    std::string data = pattern(1000);
    uint32_t written = 0;
    EXPECT_TRUE(out->write(data.data(), 1000, written));
    EXPECT_TRUE(out->close());
    EXPECT_EQ(readFile(temp / "out"), data);
    EXPECT_GT(g_writes.size(), 1u);
}

TEST(FileStream, SeekFlushesAndMovesThePosition)
{
    TempFolder temp;
    Pooled<FileOutputStream> out = Path::makeUtf8(temp / "out")->openForWriting();
    uint32_t n = 0;
    ASSERT_TRUE(out->write("hello world", 11, n));
    EXPECT_TRUE(out->seek(0, SeekOrigin::Begin));
    EXPECT_EQ(out->position(), 0u);
    ASSERT_TRUE(out->write("J", 1, n));
    EXPECT_TRUE(out->seek(-5, SeekOrigin::End));
    EXPECT_EQ(out->position(), 6u);
    ASSERT_TRUE(out->write("W", 1, n));
    EXPECT_TRUE(out->seek(-3, SeekOrigin::Current));
    EXPECT_EQ(out->position(), 4u);
    char back[4] = {};
    uint32_t got = 0;
    EXPECT_TRUE(out->read(back, 3, got));
    EXPECT_EQ(std::string(back, got), "o W");
    EXPECT_EQ(out->position(), 7u);
    EXPECT_FALSE(out->seek(-100, SeekOrigin::Current));
    EXPECT_TRUE(out->sync());
    EXPECT_TRUE(out->close());
    EXPECT_EQ(readFile(temp / "out"), "Jello World");
}

TEST(FileStream, WritingTruncatesOrAppendsAndCreatesTheFolder)
{
    TempFolder temp;
    Pooled<Path> path = Path::makeUtf8(temp / "a/b/f.txt");
    uint32_t n = 0;
    {
        Pooled<FileOutputStream> out = path->openForWriting();
        ASSERT_TRUE(out->isOpen());
        out->write("first", 5, n);
    }
    EXPECT_EQ(readFile(temp / "a/b/f.txt"), "first") << "releasing the stream closes it";
    {
        Pooled<FileOutputStream> out = path->openForWriting(true);
        EXPECT_EQ(out->position(), 5u);
        out->write("+more", 5, n);
    }
    EXPECT_EQ(readFile(temp / "a/b/f.txt"), "first+more");
    {
        Pooled<FileOutputStream> out = path->openForWriting();
        out->write("new", 3, n);
    }
    EXPECT_EQ(readFile(temp / "a/b/f.txt"), "new");

    // A folder where the file should be: no stream, and writes fail.
    std::filesystem::create_directory(temp / "dir");
    Pooled<FileOutputStream> out = Path::makeUtf8(temp / "dir")->openForWriting();
    EXPECT_FALSE(out->isOpen());
    EXPECT_FALSE(out->write("x", 1, n));
    EXPECT_EQ(n, 0u);
}
