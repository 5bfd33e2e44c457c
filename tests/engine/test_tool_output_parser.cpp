#include "EngineTestSupport.h"

#include "engine/DlThread.h"
#include "engine/ToolOutputParser.h"
#include "engine/runner/LineSplitter.h"
#include "foundation/str/StrBuffer.h"
#include "tests/common/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
using s::thread::Pooled;
using enginetest::TempDir;
using enginetest::Utf8;

namespace {

constexpr std::u16string_view Ydl = ToolYoutubeDl;
constexpr std::u16string_view YouGet = ToolYouGet;

// The single-precision figures the tools' numbers turn into.
constexpr double F45_3 = static_cast<double>(45.3f);
constexpr double F99_9 = static_cast<double>(99.9f);

// The fields a line may change. Defaults are a fresh job's values.
struct Fields {
    int64_t size = -1;
    double percent = -1.0;
    JobState state = JobState::None;
    int64_t speed = -1;
    int64_t eta = -1;
    int32_t duration = -1;
    std::u16string_view fileName = u"";
};

struct LineCase {
    const char* what;
    std::u16string_view line;
    std::u16string_view tool;
    Fields before;
    Fields after;
    // A file of this name and size is in the job's folder before the line arrives.
    std::u16string_view fileOnDisk = u"";
    int64_t fileSize = 0;
};

void Apply(DlThread& job, const Fields& fields)
{
    job.TotalSize = fields.size;
    job.PercentDone = fields.percent;
    job.State = fields.state;
    job.Speed = fields.speed;
    job.Eta = fields.eta;
    job.Duration = fields.duration;
    if (!fields.fileName.empty())
        job.SetFileName(fields.fileName);
}

void ExpectFields(DlThread& job, const Fields& expected, const std::u16string& dir)
{
    EXPECT_EQ(job.TotalSize, expected.size) << "TotalSize";
    EXPECT_EQ(job.PercentDone, expected.percent) << "PercentDone";
    EXPECT_EQ(job.State, expected.state) << "State";
    EXPECT_EQ(job.Speed, expected.speed) << "Speed";
    EXPECT_EQ(job.Eta, expected.eta) << "Eta";
    EXPECT_EQ(job.Duration, expected.duration) << "Duration";
    EXPECT_EQ(Utf8(job.FileName->view()), Utf8(expected.fileName)) << "FileName";
    std::u16string path = expected.fileName.empty() ? u"" : dir + u"/" + std::u16string(expected.fileName);
    EXPECT_EQ(Utf8(job.FilePath->view()), Utf8(path)) << "FilePath";
}

void RunCases(const std::vector<LineCase>& cases)
{
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        if (!c.fileOnDisk.empty())
            dir.makeFile(std::u16string(c.fileOnDisk), static_cast<uint64_t>(c.fileSize));
        Pooled<DlThread> job;
        job->Dir->assign(dir.text());
        Apply(*job, c.before);
        std::u16string line(c.line);
        if (size_t at = line.find(u"{DIR}"); at != std::u16string::npos)
            line.replace(at, 5, dir.text());
        ParseToolLine(*job, line, c.tool);
        ExpectFields(*job, c.after, dir.text());
    }
}

const Fields Downloading { .state = JobState::Downloading };

}

// Every example line of the parser's documented edge cases, and the newer yt-dlp forms.
TEST(ToolOutputParser, DocumentedLines)
{
    RunCases({
        { "progress line",
            u"[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05", Ydl, {},
            { .size = 10485760, .percent = F45_3, .state = JobState::Downloading, .speed = 1048576, .eta = 5000 } },
        { "an estimated size is marked with ~",
            u"[download]  45.3% of ~10.00MiB at  1.00MiB/s ETA 00:05", Ydl, {},
            { .size = 10485760, .percent = F45_3, .state = JobState::Downloading, .speed = 1048576, .eta = 5000 } },
        { "unknown speed and time left keep their values",
            u"[download]   0.5% of 10.00MiB at Unknown speed ETA Unknown ETA", Ydl, { .speed = 777, .eta = 888 },
            { .size = 10485760, .percent = 0.5, .state = JobState::Downloading, .speed = 777, .eta = 888 } },
        { "a dashed time left sends the line to the other-line rule: only percentage and size",
            u"[download]   0.5% of 10.00MiB at 50.00KiB/s ETA --:--", Ydl, { .speed = 777, .eta = 888 },
            { .size = 10485760, .percent = 0.5, .state = JobState::Downloading, .speed = 777, .eta = 888 } },
        { "the final line of a fragment download: exactly 100, and the ~ no longer zeroes the size",
            u"[download] 100% of ~10.00MiB in 00:02", Ydl, { .size = 5 },
            { .size = 10485760, .percent = 100.0, .state = JobState::Downloading } },
        { "a time left with hours reads hours as minutes and minutes as seconds",
            u"[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 1:02:03", Ydl, {},
            { .size = 10485760, .percent = F45_3, .state = JobState::Downloading, .speed = 1048576, .eta = 62000 } },
        { "a download line without a percentage only sets Downloading",
            u"[download] Downloading playlist: x", Ydl, { .size = 9, .percent = 3.0, .fileName = u"a.mp4" },
            { .size = 9, .percent = 3.0, .state = JobState::Downloading, .fileName = u"a.mp4" } },
        { "merge line, name in quotes",
            u"[ffmpeg] Merging formats into \"a b.mkv\"", Ydl, { .percent = 100.0, .fileName = u"a b.f137.mp4" },
            { .percent = 100.0, .state = JobState::Merging, .fileName = u"a b.mkv" } },
        { "merge line of newer builds",
            u"[Merger] Merging formats into \"manifest [manifest].mkv\"", Ydl, { .percent = 100.0 },
            { .percent = 100.0, .state = JobState::Merging, .fileName = u"manifest [manifest].mkv" } },
        { "a converter destination that is not MP3 changes nothing",
            u"[ffmpeg] Destination: a.m4a", Ydl, { .percent = 50.0, .state = JobState::Downloading, .fileName = u"a.mp4" },
            { .percent = 50.0, .state = JobState::Downloading, .fileName = u"a.mp4" } },
        { "MP3 destination",
            u"[ffmpeg] Destination: a.mp3", Ydl, { .percent = 100.0, .fileName = u"a.mp4" },
            { .percent = F99_9, .state = JobState::Converting, .fileName = u"a.mp3" } },
        { "MP3 destination of newer builds, extension in capitals",
            u"[ExtractAudio] Destination: clip [clip].MP3", Ydl, { .percent = 100.0, .fileName = u"clip [clip].mp4" },
            { .percent = F99_9, .state = JobState::Converting, .fileName = u"clip [clip].MP3" } },
        { "newer audio destination that is not MP3 changes nothing",
            u"[ExtractAudio] Destination: clip.opus", Ydl, { .percent = 100.0 }, { .percent = 100.0 } },
        { "converter progress against a known duration",
            u"frame=  750 fps=0.0 q=-1.0 size=    1024kB time=00:00:30.00 bitrate= 279.6kbits/s speed=2.00x", Ydl,
            { .duration = 60 },
            { .size = 2097152, .percent = 50.0, .state = JobState::Downloading, .speed = 69904, .eta = 15000, .duration = 60 } },
        { "converter progress without a duration changes nothing",
            u"frame=  750 fps=0.0 q=-1.0 size=    1024kB time=00:00:30.00 bitrate= 279.6kbits/s speed=2.00x", Ydl,
            {}, {} },
        { "you-get size",
            u"Size:       1.0 MiB (1048576 Bytes)", YouGet, { .fileName = u"x.mp4" },
            { .size = 1048576, .fileName = u"x.mp4" } },
        { "you-get size 0 takes the size of the file already there",
            u"Size:       0.0 MiB (0 Bytes)", YouGet, { .fileName = u"x.mp4" },
            { .size = 4321, .fileName = u"x.mp4" }, u"x.mp4", 4321 },
        { "you-get size 0 without a file stays 0",
            u"Size:       0.0 MiB (0 Bytes)", YouGet, { .fileName = u"x.mp4" },
            { .size = 0, .fileName = u"x.mp4" } },
        { "you-get file being fetched names a job without a title",
            u"Downloading x.mp4 ...", YouGet, {}, { .fileName = u"x.mp4" } },
        { "you-get file being fetched leaves a known title",
            u"Downloading x.mp4 ...", YouGet, { .fileName = u"The Title" }, { .fileName = u"The Title" } },
    });
}

// The other line forms, one case each.
TEST(ToolOutputParser, EveryRule)
{
    RunCases({
        { "destination, blanks trimmed", u"[download] Destination:  clip [clip].mp4 ", Ydl, {}, { .fileName = u"clip [clip].mp4" } },
        { "destination after a line feed that began the line", u"\n[download] Destination: a.mp4", Ydl, {}, { .fileName = u"a.mp4" } },
        { "you-get title", u"Title:      Some video ", YouGet, {}, { .fileName = u"Some video" } },
        { "playlist finished", u"[download] Finished downloading playlist: x", Ydl, { .percent = 40.0 },
            { .percent = 100.0, .state = JobState::Completed } },
        { "already downloaded, name after the folder", u"[download] {DIR}/a.mp4 has already been downloaded", Ydl, {},
            { .size = 77, .percent = 100.0, .fileName = u"a.mp4" }, u"a.mp4", 77 },
        { "already downloaded, newer builds print the name alone", u"[download] clip [clip].mp4 has already been downloaded",
            Ydl, {}, { .size = 1394409, .percent = 100.0, .fileName = u"clip [clip].mp4" }, u"clip [clip].mp4", 1394409 },
        { "already downloaded and merged, no file there", u"[download] v.mkv has already been downloaded and merged", Ydl, {},
            { .percent = 100.0, .fileName = u"v.mkv" } },
        { "already downloaded without a name is not taken", u"[download]  has already been downloaded", Ydl, {}, {} },
        { "original deleted: the result's size, then 100", u"Deleting original file a.mp4 (pass -k to keep)", Ydl,
            { .percent = F99_9, .state = JobState::Converting, .fileName = u"a.mp3" },
            { .size = 5000, .percent = 100.0, .state = JobState::Converting, .fileName = u"a.mp3" }, u"a.mp3", 5000 },
        { "original deleted, result not on disk", u"Deleting original file a.mp4 (pass -k to keep)", Ydl, { .size = 12, .fileName = u"a.mp3" },
            { .size = 12, .percent = 100.0, .fileName = u"a.mp3" } },
        { "you-get file already there", u"Skipping ./x.mp4: file already exists", YouGet, {}, { .percent = 100.0 } },
        { "converter duration", u"  Duration: 00:03:45.67, start: 0.000000, bitrate: 128 kb/s", Ydl, {}, { .duration = 225 } },
        { "converter size without a space after it keeps the size unknown",
            u"size=x time=00:00:30.00 speed=2.00x size=1024kB", Ydl, { .duration = 60 },
            { .percent = 50.0, .state = JobState::Downloading, .duration = 60 } },
        { "converter progress without a speed", u"frame= 1 size=     512kB time=00:00:15.00 bitrate= 279.6kbits/s", Ydl,
            { .duration = 60 }, { .size = 2097152, .percent = 25.0, .state = JobState::Downloading, .duration = 60 } },
        { "converter past the duration stops at 100", u"frame= 1 size=    2048kB time=00:01:30.00 bitrate=1k speed=1x", Ydl,
            { .duration = 60 }, { .size = 2097152, .percent = 100.0, .state = JobState::Downloading, .speed = 34952, .eta = 0, .duration = 60 } },
        { "seconds and percentage", u"1234.567 kB / 12.34 sec (45.6%)", Ydl, {},
            { .size = 2772359, .percent = static_cast<double>(45.6f), .state = JobState::Downloading } },
        { "seconds and percentage, you-get too", u"1234.567 kB / 12.34 sec (45.6%)", YouGet, {},
            { .size = 2772359, .percent = static_cast<double>(45.6f), .state = JobState::Downloading } },
        { "seconds without a percentage", u"12 sec (x", Ydl, {}, {} },
        { "yt-dlp's unknown speed reads as 0, the time left stays", u"[download]   0.1% of    1.33MiB at  Unknown B/s ETA Unknown", Ydl,
            { .eta = 3000 }, { .size = 1394606, .percent = static_cast<double>(0.1f), .state = JobState::Downloading, .speed = 0, .eta = 3000 } },
        { "fragment progress", u"[download]  33.3% of ~   2.42KiB at  225.70KiB/s ETA 00:00 (frag 0/3)", Ydl, {},
            { .size = 2478, .percent = static_cast<double>(33.3f), .state = JobState::Downloading, .speed = 231116, .eta = 0 } },
        { "final line of a download, file complete on disk: its exact size",
            u"[download] 100% of    1.33MiB in 00:00:03 at 391.86KiB/s ", Ydl, { .fileName = u"clip.mp4" },
            { .size = 1394409, .percent = 100.0, .state = JobState::Downloading, .fileName = u"clip.mp4" }, u"clip.mp4", 1394409 },
        { "final line, file not on disk: the tool's figure",
            u"[download] 100% of    1.33MiB in 00:00:03 at 391.86KiB/s ", Ydl, { .fileName = u"clip.mp4" },
            { .size = 1394606, .percent = 100.0, .state = JobState::Downloading, .fileName = u"clip.mp4" } },
        { "lines nobody knows change nothing", u"[info] clip: Downloading 1 format(s): mp4", Ydl, { .size = 3 }, { .size = 3 } },
        { "empty line", u"", Ydl, { .size = 3 }, { .size = 3 } },
    });
}

// Rules are tried in order; a rule of the other tool is skipped; a rule whose second condition
// fails lets the line go on.
TEST(ToolOutputParser, RuleOrder)
{
    RunCases({
        { "a destination that looks like progress is still a destination",
            u"[download] Destination: 50% of 1.00MiB at 1.00KiB/s ETA 00:01.mp4", Ydl, {},
            { .fileName = u"50% of 1.00MiB at 1.00KiB/s ETA 00:01.mp4" } },
        { "a converter destination that is not MP3 goes on to the later rules",
            u"[ffmpeg] Destination: a.m4a  Duration: 00:00:10.00, start", Ydl, {}, { .duration = 10 } },
        { "while the name is unknown, 'Downloading ' names the job before the size rule",
            u"Downloading x.mp4 Size: 1.0 MiB (1048576 Bytes)", YouGet, {},
            { .fileName = u"x.mp4 Size: 1.0 MiB (1048576 Bytes)" } },
        { "with a name known, the same line goes on to the size rule",
            u"Downloading x.mp4 Size: 1.0 MiB (1048576 Bytes)", YouGet, { .fileName = u"t" },
            { .size = 1048576, .fileName = u"t" } },
        { "you-get's title rule never reads a youtube-dl line", u"Title: x", Ydl, {}, {} },
        { "nor its size rule", u"Size: 1.0 MiB (1048576 Bytes)", Ydl, {}, {} },
        { "nor its already-there rule", u"x: file already exists", Ydl, {}, {} },
        { "youtube-dl's destination rule never reads a you-get line; the download rule does",
            u"[download] Destination: a.mp4", YouGet, {}, Downloading },
        { "youtube-dl's converter rules never read a you-get line",
            u"  Duration: 00:03:45.67, start: 0.000000", YouGet, {}, {} },
        { "the playlist rule comes before the download rules",
            u"[download] Finished downloading playlist: 100% of 5.00MiB", Ydl, {}, { .percent = 100.0, .state = JobState::Completed } },
        { "the already-downloaded rule comes before the download rules",
            u"[download] 50% of x.mp4 has already been downloaded", Ydl, {}, { .percent = 100.0, .fileName = u"50% of x.mp4" } },
        { "the converter rule comes before the download rules",
            u"[download] size=    1024kB time=00:00:30.00 bitrate=1k speed=2.00x", Ydl, { .duration = 60 },
            { .size = 2097152, .percent = 50.0, .state = JobState::Downloading, .speed = 69904, .eta = 15000, .duration = 60 } },
        { "the download rules come before the seconds rule",
            u"[download] 12 sec (45.6%)", Ydl, {}, Downloading },
    });
}

// The folder in front of the name is found whatever its letter case, and only as a folder.
TEST(ToolOutputParser, AlreadyDownloadedFindsTheFolderInFrontOfTheName)
{
    TempDir dir;
    dir.makeFile(u"Video.mp4", 10);
    struct Case {
        std::u16string line;
        std::u16string_view name;
    };
    std::u16string upper = dir.text();
    for (char16_t& unit : upper)
        unit = unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32) : unit;
    const Case cases[] = {
        { u"[download] " + dir.text() + u"/Video.mp4 has already been downloaded", u"Video.mp4" },
        { u"[download] " + upper + u"/Video.mp4 has already been downloaded", u"Video.mp4" },
        { u"[download] " + dir.text() + u"\\Video.mp4 has already been downloaded", u"Video.mp4" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.line));
        Pooled<DlThread> job;
        job->Dir->assign(dir.text());
        ParseToolLine(*job, c.line, Ydl);
        EXPECT_EQ(Utf8(job->FileName->view()), Utf8(c.name));
        EXPECT_EQ(job->TotalSize, 10);
        EXPECT_EQ(job->PercentDone, 100.0);
    }

    // A folder whose name also appears inside the file name, and a folder given with a
    // trailing separator.
    const std::pair<std::u16string_view, std::u16string> folders[] = {
        { u"v", u"[download] video.mp4 has already been downloaded" },
        { u"/srv/dl/", u"[download] /srv/dl/video.mp4 has already been downloaded" },
    };
    for (const auto& [folder, line] : folders) {
        Pooled<DlThread> job;
        job->Dir->assign(folder);
        ParseToolLine(*job, line, Ydl);
        EXPECT_EQ(Utf8(job->FileName->view()), "video.mp4") << Utf8(folder);
    }
}

TEST(ToolOutputParser, ParseClock)
{
    const std::pair<std::u16string_view, int32_t> cases[] = {
        { u"00:03:45.67, start", 225 },
        { u"00:01:23.45 bitrate", 83 },
        { u"00:03:45.67", -1 }, // nothing after the time
        { u"   01:00:00.00,", 3600 },
        { u"1:02:03.00 x", 123 }, // a one-letter hour part counts as 0
        { u"00:2:03.00 x", 3 }, // minutes need exactly two letters
        { u"00:02:3.00 x", -1 }, // seconds need exactly two letters
        { u"00:02:03 x", -1 }, // no fraction
        { u"02:03.00 x", -1 }, // one colon only
        { u"N/A, x", -1 },
        { u"", -1 },
        { u"100:00:00.00 x", 360000 },
        { u"99999999999:00:00.00 x", 2147483647 }, // saturates instead of overflowing
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(ParseClock(text), seconds) << Utf8(text);
}

namespace {

const std::vector<LineCase> OddNumberCases {
    { "numbers beyond every range saturate; such a percentage is unknown", u"[download] 1e999% of 1e999GiB at 1e999GiB/s ETA 00:05", Ydl, {},
        { .size = INT64_MAX, .percent = -1.0, .state = JobState::Downloading, .speed = INT64_MAX, .eta = 5000 } },
    { "beyond single precision only", u"[download] 1e39% of 1e39B at 1e39B/s ETA 00:05", Ydl, {},
        { .size = INT64_MAX, .percent = -1.0, .state = JobState::Downloading, .speed = INT64_MAX, .eta = 5000 } },
    { "a percentage that is no progress", u"[download] 1e30% of 1.00KiB at 1.00KiB/s ETA 00:05", Ydl, {},
        { .size = 1024, .percent = -1.0, .state = JobState::Downloading, .speed = 1024, .eta = 5000 } },
    // A "-" sends a line to the other-line rule, which reads the percentage and the size only.
    { "numbers too small for any range read as 0", u"[download] 1e-999% of 1e-999KiB at 1KiB/s ETA 00:05", Ydl, { .size = 5 },
        { .size = 0, .percent = 0.0, .state = JobState::Downloading } },
    { "too small with many digits and a point", u"[download] 0.00000000000000000000123e-990% of 12.5e-99999999999B in 00:05", Ydl, { .size = 5 },
        { .size = 0, .percent = 0.0, .state = JobState::Downloading } },
    { "too small for single precision only", u"[download] 1e-50% of 1.00KiB in 00:05", Ydl, {},
        { .size = 1024, .percent = 0.0, .state = JobState::Downloading } },
    { "a huge mantissa with a negative exponent is still huge", u"[download] 1% of 1000000000000000000000000000000000000e-10GiB in 00:05", Ydl, {},
        { .size = INT64_MAX, .percent = 1.0, .state = JobState::Downloading } },
    { "a tiny mantissa with a large exponent is huge", u"[download] 1% of 0.000000001e400B in 00:05", Ydl, {},
        { .size = INT64_MAX, .percent = 1.0, .state = JobState::Downloading } },
    { "the seconds rule: an absurd percentage is unknown", u"1234.567 kB / 12.34 sec (1e30%)", Ydl, { .size = 5 },
        { .size = 5, .percent = -1.0, .state = JobState::Downloading } },
    { "the seconds rule: infinity", u"1234.567 kB / 12.34 sec (1e999%)", Ydl, { .size = 5 },
        { .size = 5, .percent = -1.0, .state = JobState::Downloading } },
    { "the other-line rule: a percentage beyond every range", u"[download] 1e3000% of 1.00KiB in 00:02", Ydl, {},
        { .size = 1024, .percent = -1.0, .state = JobState::Downloading } },
    { "plus signs and tabs", u"[download]  +4.5e1% of +1.5KiB at \t2KiB/s ETA  +1:+5", Ydl, {},
        { .size = 1536, .percent = 45.0, .state = JobState::Downloading, .speed = 2048, .eta = 65000 } },
    { "a minus sign makes it an other-line", u"[download]  4.5% of -1.5KiB at 2KiB/s ETA 00:05", Ydl, {},
        { .size = -1536, .percent = 4.5, .state = JobState::Downloading } },
    { "nothing where numbers should be", u"[download] %% of KiB at B/s ETA :", Ydl, {},
        { .size = 0, .percent = 0.0, .state = JobState::Downloading, .speed = 0, .eta = 0 } },
};

}

// Numbers are read with "." whatever the process locale says; odd numbers never fault, never
// hang, and never turn a tiny figure into a huge one.
TEST(ToolOutputParser, OddNumbersReadSafely)
{
    RunCases(OddNumberCases);
}

// Under a locale whose decimal separator is "," (as Qt sets it for most of Europe) every figure
// reads as it does in the C locale.
TEST(ToolOutputParser, NumbersUnderADecimalCommaLocale)
{
    fetchwick::test::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "the de_DE.UTF-8 locale could not be built";
    RunCases(OddNumberCases);
    RunCases({
        { "progress line", u"[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05", Ydl, {},
            { .size = 10485760, .percent = F45_3, .state = JobState::Downloading, .speed = 1048576, .eta = 5000 } },
        { "a comma is no decimal separator to the tools", u"[download]  45,3% of 10,00MiB at  1,00MiB/s ETA 00:05", Ydl, {},
            { .size = 10485760, .percent = 45.0, .state = JobState::Downloading, .speed = 1048576, .eta = 5000 } },
        { "seconds and percentage", u"1234.567 kB / 12.34 sec (45.6%)", Ydl, {},
            { .size = 2772359, .percent = static_cast<double>(45.6f), .state = JobState::Downloading } },
        { "converter progress", u"frame=  750 fps=0.0 q=-1.0 size=    1024kB time=00:00:30.00 bitrate= 279.6kbits/s speed=2.00x", Ydl,
            { .duration = 60 },
            { .size = 2097152, .percent = 50.0, .state = JobState::Downloading, .speed = 69904, .eta = 15000, .duration = 60 } },
    });
}

namespace {

struct DiskFile {
    std::u16string_view name;
    uint64_t size;
};

struct Transcript {
    const char* file;
    std::vector<DiskFile> onDisk;
    Fields after;
};

// Feeds a recorded transcript to a job the way the runner does: cut into lines, decoded from
// UTF-8, each line to the parser.
void Replay(DlThread& job, const std::string& bytes, const std::function<void(DlThread&)>& afterEachLine = {})
{
    LineSplitter splitter;
    Pooled<s::str::StrBuffer> line;
    splitter.feed(bytes, [&](std::string_view lineBytes) {
        line->assignUtf8(lineBytes);
        ParseToolLine(job, line->view(), ToolYoutubeDl);
        if (afterEachLine)
            afterEachLine(job);
    });
}

std::string Recorded(const char* name)
{
    return enginetest::ReadFileBytes(std::filesystem::path(TEST_DATA_DIR) / "tool-output" / name);
}

}

// Real yt-dlp output, line by line: each download ends with the name, path, size and progress of
// the file that is on disk when the tool is done.
TEST(ToolOutputParser, RecordedTranscripts)
{
    const Transcript transcripts[] = {
        { "yt-dlp-2023.03.04-plain.out", { { u"clip [clip].mp4", 1394409 } },
            { .size = 1394409, .percent = 100.0, .state = JobState::Downloading, .fileName = u"clip [clip].mp4" } },
        // Without the file to look at, the size is the tool's rounded figure.
        { "yt-dlp-2023.03.04-plain.out", {},
            { .size = 1394606, .percent = 100.0, .state = JobState::Downloading, .fileName = u"clip [clip].mp4" } },
        { "yt-dlp-2023.03.04-mp3.out", { { u"clip [clip].mp3", 321234 } },
            { .size = 321234, .percent = 100.0, .state = JobState::Converting, .fileName = u"clip [clip].mp3" } },
        { "yt-dlp-2023.03.04-merge.out", { { u"manifest [manifest].mkv", 1345678 } },
            { .size = 1345678, .percent = 100.0, .state = JobState::Merging, .fileName = u"manifest [manifest].mkv" } },
        { "yt-dlp-2023.03.04-already.out", { { u"clip [clip].mp4", 1394409 } },
            { .size = 1394409, .percent = 100.0, .state = JobState::Downloading, .fileName = u"clip [clip].mp4" } },
        { "yt-dlp-2023.03.04-http404.out", {}, {} },
    };
    for (const Transcript& t : transcripts) {
        SCOPED_TRACE(t.file);
        TempDir dir;
        for (const DiskFile& file : t.onDisk)
            dir.makeFile(std::u16string(file.name), file.size);
        Pooled<DlThread> job;
        job->Dir->assign(dir.text());
        Replay(*job, Recorded(t.file));
        EXPECT_EQ(job->TotalSize, t.after.size);
        EXPECT_EQ(job->PercentDone, t.after.percent);
        EXPECT_EQ(job->State, t.after.state);
        EXPECT_EQ(Utf8(job->FileName->view()), Utf8(t.after.fileName));
        std::u16string path = t.after.fileName.empty() ? u"" : dir.text() + u"/" + std::u16string(t.after.fileName);
        EXPECT_EQ(Utf8(job->FilePath->view()), Utf8(path));
    }
}

// Along the way: the merge download passes through both parts and their progress before the
// merge; the MP3 download is converting at 99.9 % before the original goes.
TEST(ToolOutputParser, RecordedTranscriptsPassThroughTheirSteps)
{
    TempDir dir;
    Pooled<DlThread> job;
    job->Dir->assign(dir.text());
    std::vector<std::string> names;
    std::vector<double> percents;
    Replay(*job, Recorded("yt-dlp-2023.03.04-merge.out"), [&](DlThread& j) {
        std::string name = Utf8(j.FileName->view());
        if (names.empty() || names.back() != name)
            names.push_back(name);
        percents.push_back(j.PercentDone);
    });
    EXPECT_EQ(names, (std::vector<std::string> { "", "manifest [manifest].f0.mp4", "manifest [manifest].f1.m4a", "manifest [manifest].mkv" }));
    EXPECT_EQ(*std::max_element(percents.begin(), percents.end()), 100.0);

    TempDir mp3Dir;
    Pooled<DlThread> mp3;
    mp3->Dir->assign(mp3Dir.text());
    std::vector<std::pair<JobState, double>> steps;
    Replay(*mp3, Recorded("yt-dlp-2023.03.04-mp3.out"), [&](DlThread& j) {
        std::pair<JobState, double> step { j.State, j.PercentDone };
        if (steps.empty() || steps.back() != step)
            steps.push_back(step);
    });
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[steps.size() - 2], std::make_pair(JobState::Converting, F99_9));
    EXPECT_EQ(steps.back(), std::make_pair(JobState::Converting, 100.0));
}
