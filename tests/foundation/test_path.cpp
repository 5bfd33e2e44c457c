#include "foundation/col/ArrayU08.h"
#include "foundation/file/os/Path.h"
#include "foundation/file/os/PathArray.h"
#include "foundation/str/StrBuffer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using s::file::os::Path;
using s::file::os::PathArray;
using s::thread::Pooled;

namespace {

std::string utf8(const s::str::StrBuffer& text) { return text.toStdUtf8(); }

// A fresh folder for one test, removed with everything in it afterwards.
struct TempFolder {
    explicit TempFolder(const std::filesystem::path& base = std::filesystem::temp_directory_path())
    {
        std::string pattern = (base / "fetchwick-path-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder()
    {
        if (path.empty())
            return;
        // Read-only leftovers of a failed test must not stop the clean-up.
        std::error_code error;
        for (auto& entry : std::filesystem::recursive_directory_iterator(path, error))
            chmod(entry.path().c_str(), entry.is_directory() ? 0700 : 0600);
        std::filesystem::remove_all(path, error);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

bool present(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::u16string u16(const std::string& text)
{
    return std::u16string(Path::makeUtf8(text)->text().view());
}

}

TEST(Path, NormalisesAndSplitsInTheLinuxSense)
{
    struct Case {
        std::u16string_view text;
        const char* normal;
        const char* directory;
        const char* fileName;
        const char* extension;
    };
    const Case cases[] = {
        { u"/home/x/", "/home/x", "/home/", "x", "" },
        { u"/home//x///", "/home/x", "/home/", "x", "" },
        { u"/", "/", "/", "", "" },
        { u"///", "/", "/", "", "" },
        { u"a/b.txt", "a/b.txt", "a/", "b", ".txt" },
        { u"/a/archive.tar.gz", "/a/archive.tar.gz", "/a/", "archive.tar", ".gz" },
        { u"/a/.bashrc", "/a/.bashrc", "/a/", ".bashrc", "" },
        { u"/a/..", "/a/..", "/a/", "..", "" },
        { u"/a/.", "/a/.", "/a/", ".", "" },
        { u"/a/file.", "/a/file.", "/a/", "file", "." },
        { u"name", "name", "", "name", "" },
        { u"C:\\dir\\x", "C:\\dir\\x", "", "C:\\dir\\x", "" },
        { u"/v/Été/clip ü.mp4", "/v/Été/clip ü.mp4", "/v/Été/", "clip ü", ".mp4" },
    };
    for (const Case& c : cases) {
        Pooled<Path> path = Path::make(c.text);
        SCOPED_TRACE(utf8(path->text()));
        EXPECT_TRUE(path->isValid());
        EXPECT_EQ(utf8(path->fullPath()), c.normal);
        EXPECT_EQ(utf8(path->platformPath()), c.normal);
        EXPECT_EQ(path->nativePath(), c.normal);
        EXPECT_EQ(utf8(path->drive()), "");
        EXPECT_EQ(utf8(path->directory()), c.directory);
        EXPECT_EQ(utf8(path->fileName()), c.fileName);
        EXPECT_EQ(utf8(path->extension()), c.extension);
        EXPECT_TRUE(path->text() == c.text) << "the text as set is kept";
    }
}

TEST(Path, EmptyTextAndTextWithNulAreInvalid)
{
    const std::u16string_view texts[] = { u"", std::u16string_view(u"/a\0b", 4) };
    for (std::u16string_view text : texts) {
        Pooled<Path> path = Path::make(text);
        EXPECT_FALSE(path->isValid());
        EXPECT_FALSE(path->exists());
        EXPECT_FALSE(path->isFile());
        EXPECT_FALSE(path->createDirectory());
        EXPECT_FALSE(path->remove());
        EXPECT_FALSE(path->openForReading()->isOpen());
    }
}

TEST(Path, SettingAgainClearsEverythingAndSuffixesJoin)
{
    Pooled<Path> path = Path::make(u"/a/b.txt");
    path->set(u"c");
    EXPECT_EQ(utf8(path->fullPath()), "c");
    EXPECT_EQ(utf8(path->directory()), "");
    EXPECT_EQ(utf8(path->extension()), "");
    path->set(path->fullPath().view());
    EXPECT_EQ(utf8(path->fullPath()), "c");

    EXPECT_EQ(Path::make(u"/d/DlList.dat", u".tmp")->nativePath(), "/d/DlList.dat.tmp");
    EXPECT_TRUE(Path::make(u"/a/b/")->equals(Path::make(u"/a//b").get()));
    EXPECT_EQ(Path::make(u"/a/b/")->hash(), Path::make(u"/a//b")->hash());
    EXPECT_FALSE(Path::make(u"/a/B")->equals(Path::make(u"/a/b").get()));
    EXPECT_STREQ(path->className(), "s_file_os_Path");
}

TEST(Path, ParentIsTheTextBeforeTheLastSeparator)
{
    struct Case {
        std::u16string_view text;
        const char* parent;
    };
    const Case cases[] = {
        { u"/a/b/c", "/a/b" },
        { u"/a/b/c/", "/a/b" },
        { u"/a", "/" },
        { u"a/b", "a" },
        { u"a", "" },
        { u"/", "" },
    };
    for (const Case& c : cases) {
        Pooled<Path> parent = Path::make(c.text)->parent();
        EXPECT_EQ(parent->nativePath(), c.parent) << utf8(Path::make(c.text)->text());
        EXPECT_EQ(parent->isValid(), *c.parent != 0);
    }
}

TEST(Path, TheRootIsNeverCreatedDeletedOrMoved)
{
    TempFolder temp;
    writeFile(temp / "f", "x");
    for (std::u16string_view root : { u"/", u"//", u"/.", u"/..", u"/./" }) {
        Pooled<Path> path = Path::make(root);
        SCOPED_TRACE(path->nativePath());
        EXPECT_TRUE(path->isRoot());
        EXPECT_FALSE(path->createDirectory());
        EXPECT_FALSE(path->remove());
        EXPECT_FALSE(path->moveTo(u"/tmp/never"));
        EXPECT_FALSE(Path::makeUtf8(temp / "f")->moveTo(root, true));
    }
    EXPECT_TRUE(present(temp / "f"));
    EXPECT_FALSE(Path::makeUtf8(temp.path)->isRoot());
}

TEST(Path, InformationIsReadOnceAndRefreshedBySettingAgain)
{
    TempFolder temp;
    writeFile(temp / "five", "12345");
    std::filesystem::create_directories(temp / "dir/sub");
    writeFile(temp / "dir/a", "abc");
    writeFile(temp / "dir/sub/b", "defgh");
    struct Case {
        std::string name;
        bool exists, isFile, isDirectory;
        int64_t size, recursiveSize;
    };
    const Case cases[] = {
        { "five", true, true, false, 5, 5 },
        { "dir", true, false, true, 0, 8 },
        { "missing", false, false, false, -1, -1 },
        { "five/below", false, false, false, -1, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pooled<Path> path = Path::makeUtf8(temp / c.name);
        EXPECT_EQ(path->exists(), c.exists);
        EXPECT_EQ(path->isFile(), c.isFile);
        EXPECT_EQ(path->isDirectory(), c.isDirectory);
        EXPECT_EQ(path->size(), c.size);
        EXPECT_EQ(path->size(true), c.recursiveSize);
    }
    Pooled<Path> five = Path::makeUtf8(temp / "five");
    EXPECT_EQ(five->size(), 5);
    writeFile(temp / "five", "1234567");
    EXPECT_EQ(five->size(), 5) << "cached";
    five->set(five->fullPath().view());
    EXPECT_EQ(five->size(), 7);
}

TEST(Path, CreateDirectoryMakesMissingAncestors)
{
    TempFolder temp;
    std::filesystem::create_directory(temp / "a");
    EXPECT_TRUE(Path::makeUtf8(temp / "a/b/c")->createDirectory());
    EXPECT_TRUE(std::filesystem::is_directory(temp / "a/b"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "a/b/c"));
    EXPECT_TRUE(Path::makeUtf8(temp / "a/b/c")->createDirectory()) << "already there";

    writeFile(temp / "file", "x");
    EXPECT_FALSE(Path::makeUtf8(temp / "file")->createDirectory());
    EXPECT_FALSE(Path::makeUtf8(temp / "file/sub")->createDirectory());

    EXPECT_TRUE(Path::makeUtf8(temp / "p/q/r.txt")->ensureParentExists());
    EXPECT_TRUE(std::filesystem::is_directory(temp / "p/q"));
    EXPECT_FALSE(present(temp / "p/q/r.txt"));
}

TEST(Path, DeletesFilesReadOnlyFilesAndWholeFolders)
{
    TempFolder temp;
    writeFile(temp / "plain", "x");
    writeFile(temp / "readonly", "x");
    chmod((temp / "readonly").c_str(), 0444);
    std::filesystem::create_directories(temp / "tree/locked/deeper");
    writeFile(temp / "tree/a", "x");
    writeFile(temp / "tree/locked/b", "x");
    writeFile(temp / "tree/locked/deeper/c", "x");
    chmod((temp / "tree/locked/b").c_str(), 0444);
    chmod((temp / "tree/locked/deeper").c_str(), 0555);
    chmod((temp / "tree/locked").c_str(), 0555);
    std::filesystem::create_directory(temp / "empty");

    for (const char* name : { "plain", "readonly", "tree", "empty", "missing", "missing/below" }) {
        Pooled<Path> path = Path::makeUtf8(temp / name);
        EXPECT_TRUE(path->remove(true)) << name;
        EXPECT_FALSE(present(temp / name)) << name;
    }
}

TEST(Path, DeletingAFolderDeletesLinksButNeverWhatTheyPointAt)
{
    TempFolder temp;
    std::filesystem::create_directories(temp / "outside");
    writeFile(temp / "outside/keep", "precious");
    std::filesystem::create_directories(temp / "doomed");
    std::filesystem::create_directory_symlink(temp / "outside", temp / "doomed/link");
    std::filesystem::create_symlink(temp / "outside/keep", temp / "doomed/filelink");
    std::filesystem::create_symlink(temp / "nowhere", temp / "dangling");

    EXPECT_TRUE(Path::makeUtf8(temp / "doomed")->remove());
    EXPECT_FALSE(present(temp / "doomed"));
    EXPECT_EQ(readFile(temp / "outside/keep"), "precious");

    // A dangling link is there to delete even though nothing exists behind it.
    EXPECT_TRUE(Path::makeUtf8(temp / "dangling")->remove());
    EXPECT_FALSE(present(temp / "dangling"));
}

namespace {

struct MoveCase {
    bool targetExists;
    bool replace;
    bool moved;
};

const MoveCase moveCases[] = {
    { false, false, true },
    { false, true, true },
    { true, false, false },
    { true, true, true },
};

void checkMoves(const std::string& sourceFolder, const std::string& targetFolder)
{
    for (const MoveCase& c : moveCases) {
        SCOPED_TRACE(testing::Message() << "target exists " << c.targetExists << ", replace " << c.replace);
        std::string source = sourceFolder + "/source.dat";
        std::string target = targetFolder + "/target.dat";
        writeFile(source, "new content");
        chmod(source.c_str(), 0640);
        std::filesystem::last_write_time(source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
        auto sourceTime = std::filesystem::last_write_time(source);
        if (c.targetExists)
            writeFile(target, "old");
        else
            std::filesystem::remove(target);

        Pooled<Path> path = Path::makeUtf8(source);
        EXPECT_EQ(path->moveTo(Path::makeUtf8(target)->text().view(), c.replace), c.moved);
        EXPECT_EQ(present(source), !c.moved);
        EXPECT_EQ(readFile(target), c.moved ? "new content" : "old");
        if (c.moved) {
            EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
                std::filesystem::perms(0640));
            EXPECT_EQ(std::filesystem::last_write_time(target), sourceTime);
        }
        std::filesystem::remove(source);
        // Nothing is left behind next to the target.
        int entries = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(targetFolder))
            ++entries;
        EXPECT_EQ(entries, 1);
    }
}

}

TEST(Path, MovesWithAndWithoutReplaceInOneFileSystem)
{
    TempFolder temp;
    checkMoves(temp.path, temp.path);
}

TEST(Path, MovesFromSharedMemoryToTheTemporaryFolder)
{
    TempFolder shm("/dev/shm");
    TempFolder temp;
    ASSERT_FALSE(shm.path.empty());
    struct stat a, b;
    ASSERT_EQ(stat(shm.path.c_str(), &a), 0);
    ASSERT_EQ(stat(temp.path.c_str(), &b), 0);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm and the temporary folder are one file system here";
    checkMoves(shm.path, temp.path);
}

TEST(Path, MovesFoldersAndRefusesMissingSources)
{
    TempFolder temp;
    std::filesystem::create_directories(temp / "from/inner");
    writeFile(temp / "from/inner/f", "x");
    EXPECT_TRUE(Path::makeUtf8(temp / "from")->moveTo(u16(temp / "to")));
    EXPECT_EQ(readFile(temp / "to/inner/f"), "x");
    EXPECT_FALSE(present(temp / "from"));
    EXPECT_FALSE(Path::makeUtf8(temp / "missing")->moveTo(u16(temp / "elsewhere")));
    EXPECT_FALSE(Path::makeUtf8(temp / "to")->moveTo(u""));
}

TEST(Path, ListsEntriesInNameOrderAndOptionallyEverythingBelow)
{
    TempFolder temp;
    std::filesystem::create_directories(temp / "root/b/inner");
    writeFile(temp / "root/c", "");
    writeFile(temp / "root/a", "");
    writeFile(temp / "root/b/x", "");
    writeFile(temp / "root/b/inner/y", "");
    std::filesystem::create_directories(temp / "elsewhere");
    writeFile(temp / "elsewhere/z", "");
    std::filesystem::create_directory_symlink(temp / "elsewhere", temp / "root/d");

    auto names = [&](const PathArray& paths) {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < paths.size(); ++i)
            out.push_back(paths[i]->nativePath().substr(temp.path.size() + 6));
        return out;
    };
    Pooled<Path> root = Path::makeUtf8(temp / "root");
    Pooled<PathArray> flat;
    EXPECT_TRUE(root->list(*flat));
    EXPECT_EQ(names(*flat), (std::vector<std::string> { "a", "b", "c", "d" }));
    Pooled<PathArray> deep;
    EXPECT_TRUE(root->list(*deep, true));
    EXPECT_EQ(names(*deep), (std::vector<std::string> { "a", "b", "b/inner", "b/inner/y", "b/x", "c", "d" }));
    EXPECT_TRUE((*deep)[1]->isDirectory());

    Pooled<PathArray> none;
    EXPECT_FALSE(Path::makeUtf8(temp / "missing")->list(*none));
    EXPECT_EQ(none->size(), 0u);
}

TEST(Path, WholeFilesGoInAndOut)
{
    TempFolder temp;
    Pooled<Path> path = Path::makeUtf8(temp / "new/folder/data.bin");
    Pooled<s::col::_array::ArrayU08> bytes;
    for (int i = 0; i < 200000; ++i)
        bytes->push(static_cast<uint8_t>(i * 7));
    EXPECT_TRUE(path->writeAll(*bytes));
    EXPECT_TRUE(path->writeAll("tail", 4, true));
    Pooled<s::col::_array::ArrayU08> back;
    EXPECT_TRUE(Path::makeUtf8(temp / "new/folder/data.bin")->readAll(*back));
    ASSERT_EQ(back->count(), 200004u);
    EXPECT_EQ(back->compareRange(0, 200000, bytes->data(), 200000), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(back->data()) + 200000, 4), "tail");

    Pooled<s::str::StrBuffer> text = s::str::StrBuffer::make(u"Grüße, 世界\n");
    EXPECT_TRUE(Path::makeUtf8(temp / "text.txt")->writeText(*text));
    EXPECT_EQ(readFile(temp / "text.txt"), "Grüße, 世界\n") << "UTF-8 without byte-order mark";

    writeFile(temp / "empty", "");
    EXPECT_TRUE(Path::makeUtf8(temp / "empty")->readAll(*back));
    EXPECT_EQ(back->count(), 0u);
    EXPECT_FALSE(Path::makeUtf8(temp / "missing")->readAll(*back));
    EXPECT_EQ(back->count(), 0u);
    // A file whose size the system reports as 0 is still read to its end.
    EXPECT_TRUE(Path::make(u"/proc/self/status")->readAll(*back));
    EXPECT_GT(back->count(), 0u);
}

TEST(Path, LongPathsNeedNoSpecialForm)
{
    TempFolder temp;
    std::string deep = temp.path;
    for (int i = 0; i < 4; ++i)
        deep += "/" + std::string(200, static_cast<char>('a' + i));
    Pooled<Path> file = Path::makeUtf8(deep + "/file.txt");
    ASSERT_GT(file->fullPath().length(), 800u);
    EXPECT_EQ(file->platformPath().view(), file->fullPath().view());
    EXPECT_TRUE(file->writeAll("data", 4));
    EXPECT_EQ(readFile(deep + "/file.txt"), "data");
    EXPECT_TRUE(file->moveTo(u16(deep + "/moved.txt")));
    EXPECT_TRUE(Path::makeUtf8(temp / std::string(200, 'a'))->remove());
    EXPECT_FALSE(present(temp / std::string(200, 'a')));
}

namespace {

// Runs in a child process as an unprivileged user, for whom permissions are real.
[[noreturn]] void deleteAsAnUnprivilegedUser()
{
    if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(2);
    int failures = 0;
    auto check = [&](bool condition) { failures += condition ? 0 : 1; };
    {
        TempFolder temp;
        if (temp.path.empty())
            std::_Exit(3);
        std::filesystem::create_directories(temp / "tree/locked/deeper");
        writeFile(temp / "tree/locked/b", "x");
        writeFile(temp / "tree/locked/deeper/c", "x");
        chmod((temp / "tree/locked/b").c_str(), 0444);
        chmod((temp / "tree/locked/deeper").c_str(), 0555);
        chmod((temp / "tree/locked").c_str(), 0555);
        check(Path::makeUtf8(temp / "tree")->remove());
        check(!present(temp / "tree"));

        writeFile(temp / "readonly", "x");
        chmod((temp / "readonly").c_str(), 0444);
        check(Path::makeUtf8(temp / "readonly")->remove());
        check(!present(temp / "readonly"));

        // A single file in a folder the user locked stays: its folder is not ours to change.
        std::filesystem::create_directory(temp / "shut");
        writeFile(temp / "shut/f", "x");
        chmod((temp / "shut").c_str(), 0555);
        check(!Path::makeUtf8(temp / "shut/f")->remove());
        check(present(temp / "shut/f"));
        check((std::filesystem::status(temp / "shut").permissions() & std::filesystem::perms::all) == std::filesystem::perms(0555));
    }
    std::_Exit(failures);
}

}

TEST(PathDeathTest, AnUnprivilegedUserDeletesReadOnlyFilesAndLockedTrees)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(deleteAsAnUnprivilegedUser(), testing::ExitedWithCode(0), "");
}
