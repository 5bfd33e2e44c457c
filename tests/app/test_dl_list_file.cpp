// The download list file on real files: its exact text, round trips, damaged files, failing
// and interrupted writes, and its privacy.

#include "app/DlListFile.h"
#include "engine/JobState.h"
#include "foundation/str/StrBuffer.h"
#include "tests/common/DecimalCommaLocale.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using s::thread::Pooled;
using s::video::gui::dialogs::videodl::DlListFile;
using s::video::gui::dialogs::videodl::DlThread;
using s::video::gui::dialogs::videodl::JobState;

namespace {

std::u16string u16(std::string_view utf8)
{
    Pooled<s::str::strbuffer::StrBuffer> buffer;
    buffer->assignUtf8(utf8);
    return std::u16string(buffer->view());
}

std::string u8(std::u16string_view text)
{
    Pooled<s::str::strbuffer::StrBuffer> buffer;
    buffer->assign(text);
    return buffer->toStdUtf8();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

const DlListFile::Generator generator { u"Fetchwick", u"0.10", u"https://www.pellix.example/fetchwick/" };

struct JobFields {
    int32_t index { 1 };
    int64_t size { -1 };
    double percent { -1.0 };
    JobState state { JobState::None };
    std::u16string id {};
    std::u16string password {};
    std::u16string dir {};
    std::u16string url {};
    bool mp3 { false };
    std::u16string name {};
    std::u16string path {};
    std::u16string log {};
};

Pooled<DlThread> makeJob(const JobFields& fields)
{
    Pooled<DlThread> job;
    job->Index = fields.index;
    job->TotalSize = fields.size;
    job->PercentDone = fields.percent;
    job->State = fields.state;
    job->Id->assign(fields.id);
    job->Password->assign(fields.password);
    job->Dir->assign(fields.dir);
    job->Url->assign(fields.url);
    job->OnlyMp3 = fields.mp3;
    job->FileName->assign(fields.name);
    job->FilePath->assign(fields.path);
    job->Log->assign(fields.log);
    return job;
}

std::vector<DlThread*> pointers(std::vector<Pooled<DlThread>>& jobs)
{
    std::vector<DlThread*> list;
    for (auto& job : jobs)
        list.push_back(job.get());
    return list;
}

}

TEST(DlListFile, GoldenTextOfOneEntry)
{
    std::vector<Pooled<DlThread>> jobs;
    jobs.push_back(makeJob({ .index = 1, .size = 1394409, .percent = 100.0, .state = JobState::Completed, .dir = u"/home/u/Videos/Downloads",
        .url = u"https://www.youtube.com/watch?v=abc", .name = u"Clip.mp4", .path = u"/home/u/Videos/Downloads/Clip.mp4",
        .log = u"[download] 100%" }));
    auto list = pointers(jobs);
    std::u16string text = DlListFile::toText(u"/home/u/.local/share/Pellix/Fetchwick/DlList.dat", generator, {}, list);
    EXPECT_EQ(u8(text),
        "<VideoDlXml>"
        "<Generator Application=\"Fetchwick\" Version=\"0.10\" URL=\"https://www.pellix.example/fetchwick/\" DlListVer=\"1\"></Generator>"
        "<View IdText=\"\" PasswordText=\"\"></View>"
        "<DlList length=\"1\" filePath=\"/home/u/.local/share/Pellix/Fetchwick/DlList.dat\">"
        "<_0 Index=\"1\" TotalSize=\"1394409\" PercentDone=\"100000\" State=\"Completed\" Dir=\"/home/u/Videos/Downloads\" "
        "Url=\"https://www.youtube.com/watch?v=abc\" OnlyMp3=\"0\" FileName=\"Clip.mp4\" "
        "FilePath=\"/home/u/Videos/Downloads/Clip.mp4\" Log=\"\"></_0>"
        "</DlList>"
        "</VideoDlXml>");

    TempFolder folder;
    std::string path = folder / "DlList.dat";
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, list));
    std::string bytes = readFile(path);
    EXPECT_EQ(bytes.substr(0, 12), "<VideoDlXml>") << "no declaration, no byte-order mark";
    EXPECT_EQ(bytes.find('\n'), std::string::npos) << "compact";
}

TEST(DlListFile, RoundTripOfTextsLoginsAndStates)
{
    struct Case {
        const char* what;
        JobFields fields;
        JobState readState;
    };
    const Case cases[] = {
        { "markup and blanks", { .index = 3, .size = 1024, .percent = 45.5, .state = JobState::Error, .dir = u"/d",
              .url = u"http://a/?x=\"1\"&y=<2>", .name = u" Title \"quoted\" <b> & 'it' ", .path = u"/d/a&b.mp4",
              .log = u"line 1\r\nline\t2\n<error> & \"done\" " }, JobState::Error },
        { "logins beyond Latin-1", { .index = 4, .state = JobState::Canceled, .id = u"ユーザー", .password = u"pässwörd 🙂",
              .dir = u"/d", .url = u"http://b/" }, JobState::Canceled },
        { "merging reads as canceled", { .index = 5, .percent = 99.0, .state = JobState::Merging }, JobState::Canceled },
        { "converting reads as canceled", { .index = 6, .state = JobState::Converting }, JobState::Canceled },
        { "no state at all", { .index = 7, .state = JobState::None }, JobState::Canceled },
        { "mp3 and huge size", { .index = 8, .size = 5000000000000LL, .percent = 400.0, .state = JobState::Paused, .mp3 = true },
            JobState::Paused },
    };
    TempFolder folder;
    std::string path = folder / "DlList.dat";
    std::vector<Pooled<DlThread>> jobs;
    for (const Case& c : cases)
        jobs.push_back(makeJob(c.fields));
    auto list = pointers(jobs);
    DlListFile::Logins view { u"  \u3000 someone\t", u"\r\n s3cret \u3000" };
    ASSERT_TRUE(DlListFile::write(u16(path), generator, view, list));

    DlListFile::Contents back;
    ASSERT_TRUE(DlListFile::read(u16(path), back));
    EXPECT_EQ(back.viewId, u"someone");
    EXPECT_EQ(back.viewPassword, u"s3cret");
    ASSERT_EQ(back.jobs.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const JobFields& fields = cases[i].fields;
        DlThread& job = *back.jobs[i];
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(job.Index, fields.index);
        EXPECT_EQ(job.TotalSize.load(), fields.size);
        EXPECT_DOUBLE_EQ(job.PercentDone.load(), fields.percent);
        EXPECT_EQ(job.State.load(), cases[i].readState);
        EXPECT_EQ(job.Id->view(), fields.id);
        EXPECT_EQ(job.Password->view(), fields.password);
        EXPECT_EQ(job.Dir->view(), fields.dir);
        EXPECT_EQ(job.Url->view(), fields.url);
        EXPECT_EQ(job.OnlyMp3, fields.mp3);
        EXPECT_EQ(job.FileName->view(), fields.name);
        EXPECT_EQ(job.FilePath->view(), fields.path);
        EXPECT_EQ(job.Log->view(), fields.log);
    }
    EXPECT_EQ(back.nextIndex, 9);

    // No plain login in the file; letters only, four per unit.
    std::string bytes = readFile(path);
    EXPECT_EQ(bytes.find("someone"), std::string::npos);
    EXPECT_EQ(bytes.find("s3cret"), std::string::npos);
    EXPECT_EQ(bytes.find(u8(u"pässwörd")), std::string::npos);
    size_t at = bytes.find("IdText=\"");
    ASSERT_NE(at, std::string::npos);
    std::string letters = bytes.substr(at + 8, bytes.find('"', at + 8) - at - 8);
    EXPECT_EQ(letters.size(), 4u * 7u);
    EXPECT_EQ(letters.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos);
}

TEST(DlListFile, SameLoginDifferentCountsGiveDifferentLetters)
{
    EXPECT_NE(DlListFile::listPassword(1, generator), DlListFile::listPassword(2, generator));
    std::vector<Pooled<DlThread>> one;
    one.push_back(makeJob({ .id = u"me" }));
    std::vector<Pooled<DlThread>> two;
    two.push_back(makeJob({ .id = u"me" }));
    two.push_back(makeJob({}));
    auto a = pointers(one);
    auto b = pointers(two);
    std::string textA = u8(DlListFile::toText(u"/x", generator, {}, a));
    std::string textB = u8(DlListFile::toText(u"/x", generator, {}, b));
    auto idOf = [](const std::string& text) {
        size_t at = text.find(" Id=\"");
        return text.substr(at + 5, text.find('"', at + 5) - at - 5);
    };
    EXPECT_EQ(idOf(textA).size(), 8u);
    EXPECT_NE(idOf(textA), idOf(textB));
}

TEST(DlListFile, EmptyListsAndDamagedFiles)
{
    struct Case {
        const char* what;
        std::string text;
        size_t entries;
        int32_t nextIndex;
        std::u16string viewId;
        JobState firstState;
    };
    std::string head = "<VideoDlXml><Generator Application=\"A\" Version=\"1\" URL=\"u\" DlListVer=\"1\"></Generator>";
    const Case cases[] = {
        { "no entries", head + "<DlList length=\"0\"></DlList></VideoDlXml>", 0, 1, u"", JobState::None },
        { "numbered 3, 7, 5", head + "<DlList length=\"3\"><_0 Index=\"3\"/><_1 Index=\"7\"/><_2 Index=\"5\"/></DlList></VideoDlXml>", 3, 8,
            u"", JobState::Canceled },
        { "an entry element missing", head + "<DlList length=\"2\"><_1 Index=\"4\" State=\"Completed\"/></DlList></VideoDlXml>", 2, 5,
            u"", JobState::Canceled },
        { "length missing", head + "<DlList><_0 Index=\"3\"/></DlList></VideoDlXml>", 0, 1, u"", JobState::None },
        { "length negative", head + "<DlList length=\"-5\"><_0 Index=\"3\"/></DlList></VideoDlXml>", 0, 1, u"", JobState::None },
        { "length huge", head + "<DlList length=\"2147483647\"></DlList></VideoDlXml>", size_t(DlListFile::maxEntries), 1, u"",
            JobState::Canceled },
        { "index at the top", head + "<DlList length=\"1\"><_0 Index=\"2147483647\"/></DlList></VideoDlXml>", 1, 2147483647, u"",
            JobState::Canceled },
        { "unknown state", head + "<DlList length=\"1\"><_0 State=\"Exploded\"/></DlList></VideoDlXml>", 1, 1, u"", JobState::None },
        { "state in other case", head + "<DlList length=\"1\"><_0 State=\"cOMPLETED\"/></DlList></VideoDlXml>", 1, 1, u"",
            JobState::Completed },
        { "cut off", head + "<DlList length=\"2\"><_0 Index=\"9\" Url=\"http://a", 2, 10, u"", JobState::Canceled },
        { "not XML at all", "\x01\x02 garbage \xff", 0, 1, u"", JobState::None },
        { "empty", "", 0, 1, u"", JobState::None },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DlListFile::Contents back;
        DlListFile::fromText(u16(c.text), back);
        EXPECT_EQ(back.jobs.size(), c.entries);
        EXPECT_EQ(back.nextIndex, c.nextIndex);
        if (!back.jobs.empty()) {
            EXPECT_EQ(back.jobs[0]->State.load(), c.firstState);
        }
    }
}

TEST(DlListFile, VersionZeroRestoresOnlyTheLoginBoxes)
{
    DlListFile::Generator g { u"A", u"1", u"u" };
    std::u16string password = DlListFile::listPassword(1, g);
    std::vector<Pooled<DlThread>> jobs;
    jobs.push_back(makeJob({ .index = 2 }));
    auto list = pointers(jobs);
    std::string text = u8(DlListFile::toText(u"/x", g, { u"name", u"" }, list));
    size_t at = text.find("DlListVer=\"1\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 13, "DlListVer=\"0\"");
    DlListFile::Contents back;
    DlListFile::fromText(u16(text), back);
    EXPECT_TRUE(back.jobs.empty());
    EXPECT_TRUE(back.hasViewId);
    EXPECT_EQ(back.viewId, u"name");
    EXPECT_FALSE(back.hasViewPassword);
}

TEST(DlListFile, NoFileOrAFolderInItsPlace)
{
    TempFolder folder;
    DlListFile::Contents back;
    EXPECT_FALSE(DlListFile::read(u16(folder / "missing.dat"), back));
    EXPECT_FALSE(DlListFile::read(u16(folder.path()), back));
    EXPECT_FALSE(DlListFile::read(u"", back));
}

TEST(DlListFile, PrivateFileAndFolders)
{
    TempFolder folder;
    std::string path = folder / "data/Pellix/Fetchwick/DlList.dat";
    std::vector<Pooled<DlThread>> jobs;
    jobs.push_back(makeJob({ .id = u"me", .password = u"pw" }));
    auto list = pointers(jobs);
    ::umask(022);
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, list));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((folder / "data/Pellix/Fetchwick").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A list file someone made readable becomes private at the next save.
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, list));
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(DlListFile, FailingWritesLeaveTheOldFileWhole)
{
    TempFolder folder;
    std::string path = folder / "DlList.dat";
    std::vector<Pooled<DlThread>> small;
    small.push_back(makeJob({ .index = 1, .url = u"http://old/" }));
    auto smallList = pointers(small);
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, smallList));
    std::string old = readFile(path);

    std::vector<Pooled<DlThread>> big;
    for (int i = 0; i < 200; ++i)
        big.push_back(makeJob({ .index = i, .url = u"http://new/", .log = std::u16string(500, u'x') }));
    auto bigList = pointers(big);

    // A full disk: the file size limit makes the writes fail part way.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit { 4096, 4096 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(DlListFile::write(u16(path), generator, {}, bigList) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a failed write must say so";
    EXPECT_EQ(readFile(path), old);

    // A folder the writer may not write into.
    child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(DlListFile::write(u16(path), generator, {}, bigList) ? 1 : 0);
    }
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "cannot change to an unprivileged user here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write must say so";
    EXPECT_EQ(readFile(path), old);
    EXPECT_NE(::access((path + ".tmp").c_str(), F_OK), 0) << "no temporary left";
}

TEST(DlListFile, KilledWritersLeaveTheOldOrTheNewFile)
{
    TempFolder folder;
    std::string path = folder / "DlList.dat";
    std::vector<Pooled<DlThread>> a;
    std::vector<Pooled<DlThread>> b;
    for (int i = 0; i < 300; ++i) {
        a.push_back(makeJob({ .index = i, .url = u"http://a/", .log = std::u16string(300, u'a') }));
        b.push_back(makeJob({ .index = i, .url = u"http://b/", .log = std::u16string(400, u'b') }));
    }
    auto listA = pointers(a);
    auto listB = pointers(b);
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, listA));
    std::string textA = readFile(path);
    ASSERT_TRUE(DlListFile::write(u16(path), generator, {}, listB));
    std::string textB = readFile(path);

    std::mt19937 random(12345);
    for (int round = 0; round < 12; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                DlListFile::write(u16(path), generator, {}, i % 2 ? listA : listB);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 30000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string now = readFile(path);
        EXPECT_TRUE(now == textA || now == textB) << "round " << round << ": " << now.size() << " bytes";
        DlListFile::Contents back;
        ASSERT_TRUE(DlListFile::read(u16(path), back));
        EXPECT_EQ(back.jobs.size(), 300u);
    }
}

TEST(DlListFile, NumbersUnderADecimalCommaLocale)
{
    fetchwick::test::DecimalCommaLocale german;
    if (!german.active())
        GTEST_SKIP() << "the German locale could not be built here";
    struct Case {
        double percent;
        int32_t stored;
    };
    const Case cases[] = { { 45.5, 45500 }, { -1.0, -1000 }, { 100.0, 100000 }, { 445.5, 445500 }, { 0.0015, 1 }, { -0.0005, 0 } };
    for (const Case& c : cases)
        EXPECT_EQ(DlListFile::storedPercent(c.percent), c.stored) << c.percent;
    std::vector<Pooled<DlThread>> jobs;
    jobs.push_back(makeJob({ .index = 12, .size = 123456789012LL, .percent = 45.5 }));
    auto list = pointers(jobs);
    std::string text = u8(DlListFile::toText(u"/x", generator, {}, list));
    EXPECT_NE(text.find("TotalSize=\"123456789012\" PercentDone=\"45500\""), std::string::npos) << text;
    DlListFile::Contents back;
    DlListFile::fromText(u16(text), back);
    ASSERT_EQ(back.jobs.size(), 1u);
    EXPECT_DOUBLE_EQ(back.jobs[0]->PercentDone.load(), 45.5);
    EXPECT_EQ(back.jobs[0]->TotalSize.load(), 123456789012LL);
}
