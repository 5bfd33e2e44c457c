#include "engine/ToolOutputParser.h"

#include "engine/DlThread.h"
#include "engine/DownloadFolder.h"
#include "foundation/str/StrBuffer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>

namespace s::video::gui::dialogs::videodl {

namespace {

using str::StrBuffer;
using thread::Pooled;
using Text = std::u16string_view;
constexpr size_t NotFound = Text::npos;

// What "trim" removes unless a rule names another set.
constexpr Text Blanks = u" \n\u3000\t\r";
constexpr Text BlanksAndQuotes = u" \n\u3000\t\r\"";
constexpr Text BlanksAndDots = u" \n\u3000\t\r.";
constexpr Text BlanksAndTildes = u" \n\u3000\t\r~";

// --- text helpers on views; positions past the end give empty views, never a fault ---

Text From(Text text, size_t start) { return start < text.size() ? text.substr(start) : Text {}; }

Text Slice(Text text, size_t start, size_t end)
{
    end = std::min(end, text.size());
    return start < end ? text.substr(start, end - start) : Text {};
}

Text TrimStart(Text text, Text set = Blanks)
{
    size_t first = text.find_first_not_of(set);
    return first == NotFound ? Text {} : text.substr(first);
}

Text TrimEnd(Text text, Text set = Blanks)
{
    size_t last = text.find_last_not_of(set);
    return last == NotFound ? Text {} : text.substr(0, last + 1);
}

Text Trim(Text text, Text set = Blanks) { return TrimEnd(TrimStart(text, set), set); }

char16_t AsciiLower(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool EndsWithIgnoreCase(Text text, Text suffix)
{
    if (suffix.size() > text.size())
        return false;
    Text tail = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (AsciiLower(tail[i]) != AsciiLower(suffix[i]))
            return false;
    }
    return true;
}

bool MatchesAtIgnoreCase(Text text, size_t at, Text what)
{
    for (size_t i = 0; i < what.size(); ++i) {
        if (AsciiLower(text[at + i]) != AsciiLower(what[i]))
            return false;
    }
    return true;
}

bool IsSeparator(char16_t unit) { return unit == u'/' || unit == u'\\'; }

// The white space the standard conversions skip before a number.
bool IsConversionSpace(char16_t unit)
{
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r') || unit == u'\u3000';
}

// --- numbers, read the way the C library reads them, but never by the process locale ---

// Whether a decimal text that does not fit a double stands for a tiny number rather than a huge
// one: its first significant digit lies after the point once the exponent is applied.
bool IsBelowOne(std::string_view number)
{
    size_t i = 0;
    if (i < number.size() && (number[i] == '-' || number[i] == '+'))
        ++i;
    int64_t magnitude = 0; // the power of ten of the first significant digit
    bool seenSignificant = false;
    bool afterPoint = false;
    int64_t fractionZeros = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        char c = number[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (seenSignificant) {
            if (!afterPoint)
                ++magnitude;
            continue;
        }
        if (c != '0') {
            seenSignificant = true;
            magnitude = afterPoint ? -(fractionZeros + 1) : 0;
        } else if (afterPoint) {
            ++fractionZeros;
        }
    }
    int64_t exponent = 0;
    if (i < number.size()) {
        ++i;
        bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            ++i;
        for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
            exponent = std::min<int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
        if (negative)
            exponent = -exponent;
    }
    return magnitude + exponent < 0;
}

// A decimal floating-point number at the start of the text (after white space), as far as it
// reads; 0 when nothing does. Narrowed to single precision, as the tools' figures always were.
// Too large a number reads as infinity, too small a one as 0.
float Number(Text text)
{
    size_t i = 0;
    while (i < text.size() && IsConversionSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] == u'+')
        ++i;
    std::array<char, 96> small {};
    std::string large;
    size_t count = 0;
    for (; i < text.size(); ++i) {
        char16_t unit = text[i];
        bool fits = (unit >= u'0' && unit <= u'9') || unit == u'.' || unit == u'e' || unit == u'E' || unit == u'-' || unit == u'+';
        if (!fits)
            break;
        if (count < small.size()) {
            small[count] = static_cast<char>(unit);
        } else {
            if (large.empty())
                large.assign(small.data(), small.size());
            large.push_back(static_cast<char>(unit));
        }
        ++count;
    }
    const char* begin = large.empty() ? small.data() : large.data();
    double value = 0.0;
    auto result = std::from_chars(begin, begin + count, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        std::string_view read(begin, static_cast<size_t>(result.ptr - begin));
        if (IsBelowOne(read))
            return 0.0f;
        return begin[0] == '-' ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    if (result.ec != std::errc())
        return 0.0f;
    // Beyond the single-precision range the narrowing itself would be undefined.
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// A decimal integer at the start of the text (after white space, with one optional sign), as
// far as digits go; 0 when there are none. Saturates at the limits of T.
template<class T>
T Integer(Text text)
{
    size_t i = 0;
    while (i < text.size() && IsConversionSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr uint64_t limit = static_cast<uint64_t>(std::numeric_limits<T>::max());
    uint64_t magnitude = 0;
    bool saturated = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (saturated)
            continue;
        magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - u'0');
        if (magnitude > limit + 1)
            saturated = true;
    }
    if (negative)
        return saturated || magnitude > limit ? std::numeric_limits<T>::min() : static_cast<T>(-static_cast<int64_t>(magnitude));
    return saturated || magnitude > limit ? std::numeric_limits<T>::max() : static_cast<T>(magnitude);
}

int32_t Integer32(Text text) { return Integer<int32_t>(text); }
int64_t Integer64(Text text) { return Integer<int64_t>(text); }

// Digits only, with a leading "-" allowed when more follows.
bool IsWholeInteger(Text text)
{
    if (text.empty())
        return false;
    size_t i = text.size() > 1 && text[0] == u'-' ? 1 : 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    return true;
}

// Truncates toward zero; values beyond the 64-bit range (and NaN) saturate instead of being
// undefined.
int64_t Truncate64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int32_t Truncate32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

struct Unit {
    Text name;
    int64_t factor;
};

// Tested in this order: a size in "MiB" also ends with "B".
constexpr std::array<Unit, 4> SizeUnits { { { u"KiB", 1024 }, { u"MiB", 1024 * 1024 }, { u"GiB", 1024 * 1024 * 1024 }, { u"B", 1 } } };
constexpr std::array<Unit, 4> SpeedUnits { { { u"KiB/s", 1024 }, { u"MiB/s", 1024 * 1024 }, { u"GiB/s", 1024 * 1024 * 1024 }, { u"B/s", 1 } } };

// The bytes a text such as "10.00MiB" stands for; false when it ends in none of the units.
bool ReadUnits(Text text, const std::array<Unit, 4>& units, int64_t& bytes)
{
    for (const Unit& unit : units) {
        if (EndsWithIgnoreCase(text, unit.name)) {
            float number = Number(text.substr(0, text.size() - unit.name.size()));
            bytes = Truncate64(static_cast<double>(number) * static_cast<double>(unit.factor));
            return true;
        }
    }
    return false;
}

void ReadSizeInto(DlThread& job, Text text)
{
    int64_t bytes = 0;
    if (ReadUnits(text, SizeUnits, bytes))
        job.TotalSize = bytes;
}

void ReadSpeedInto(DlThread& job, Text text)
{
    int64_t bytes = 0;
    if (ReadUnits(text, SpeedUnits, bytes))
        job.Speed = bytes;
}

// The percentage between "[download] " and "% of ": position 11 is where it starts on every
// progress line, also when the line begins with a line feed.
// Anything that is no figure of progress (infinity, 1e30) reads as unknown.
double PercentBefore(Text line, size_t percentOf)
{
    return DlThread::plausiblePercent(static_cast<double>(Number(TrimStart(Slice(line, 11, percentOf)))));
}

void Publish(DlThread& job) { job.PublishToRow(); }

void SetState(DlThread& job, JobState state)
{
    job.State = state;
}

// --- the rules; each returns true when it took the line ---

constexpr Text DownloadTag = u"[download] ";

// Names the tool reports are taken only when they stay inside the job's folder: a title can hold
// a whole line of the tool's own wording ("x [download] Destination: ../../.bashrc"), and the
// job deletes its files by that name. A refused name leaves the job as it was; the line is
// still logged.
bool NameStaysInFolder(DlThread& job, Text name)
{
    Pooled<StrBuffer> dir;
    {
        std::scoped_lock guard(job.Lock);
        dir->assign(job.Dir->view());
    }
    return DownloadFolder::acceptsName(dir->view(), name);
}

// Makes the name the job's file name when it stays in the folder; false when it is refused.
bool TakeName(DlThread& job, Text name)
{
    if (!NameStaysInFolder(job, name))
        return false;
    job.SetFileName(name);
    return true;
}

// A line that names the file after `anchor`. True when the line has the anchor, whether or not
// its name was taken; `taken` tells which.
bool FileNameLine(DlThread& job, Text line, Text anchor, Text trimSet, bool& taken)
{
    size_t at = line.find(anchor);
    if (at == NotFound)
        return false;
    taken = TakeName(job, Trim(From(line, at + anchor.size()), trimSet));
    return true;
}

// The merge line: older builds tag it "[ffmpeg]", newer ones "[Merger]".
bool MergeLine(DlThread& job, Text line)
{
    for (Text anchor : { Text(u"[ffmpeg] Merging formats into "), Text(u"[Merger] Merging formats into ") }) {
        bool taken = false;
        if (FileNameLine(job, line, anchor, BlanksAndQuotes, taken)) {
            if (taken) {
                SetState(job, JobState::Merging);
                Publish(job);
            }
            return true;
        }
    }
    return false;
}

// The MP3 conversion's destination: "[ffmpeg]" in older builds, "[ExtractAudio]" in newer ones.
// Destinations of other kinds are left to the later rules.
bool AudioDestinationLine(DlThread& job, Text line)
{
    if (!EndsWithIgnoreCase(line, u".mp3"))
        return false;
    for (Text anchor : { Text(u"[ffmpeg] Destination: "), Text(u"[ExtractAudio] Destination: ") }) {
        size_t at = line.find(anchor);
        if (at == NotFound)
            continue;
        Text name = Trim(From(line, at + anchor.size()), BlanksAndQuotes);
        if (!NameStaysInFolder(job, name))
            return true;
        job.PercentDone = static_cast<double>(99.9f);
        job.SetFileName(name);
        SetState(job, JobState::Converting);
        Publish(job);
        return true;
    }
    return false;
}

// "Size: 1.0 MiB (1048576 Bytes)"
bool YouGetSizeLine(DlThread& job, Text line)
{
    size_t at = line.find(u"Size: ");
    if (at == NotFound)
        return false;
    size_t open = line.find(u'(', at);
    if (open == NotFound)
        return true;
    size_t close = line.find(u" Bytes)", open);
    if (close == NotFound)
        return true;
    Text digits = Trim(Slice(line, open + 1, close));
    if (IsWholeInteger(digits)) {
        job.TotalSize = Integer64(digits);
        int64_t size = 0;
        if (job.TotalSize == 0 && job.FileSizeOfPath(size))
            job.TotalSize = size;
    }
    Publish(job);
    return true;
}

// Where the folder's name ends in the line: the folder (letter case ignored, without trailing
// separators) followed by a separator. Such an occurrence is the folder in front of the file
// name; a folder name that merely appears inside the file name does not count.
size_t FindDirIn(Text line, Text dir)
{
    while (dir.size() > 1 && IsSeparator(dir.back()))
        dir.remove_suffix(1);
    if (dir.empty() || dir.size() >= line.size())
        return NotFound;
    for (size_t at = 0; at + dir.size() < line.size(); ++at) {
        if (MatchesAtIgnoreCase(line, at, dir) && (IsSeparator(line[at + dir.size()]) || IsSeparator(dir.back())))
            return at + dir.size();
    }
    return NotFound;
}

// "[download] DIR/NAME has already been downloaded" from builds that print the whole path, and
// "[download] NAME has already been downloaded" from builds that print the name in the folder.
bool AlreadyDownloadedLine(DlThread& job, Text line)
{
    size_t tag = line.find(DownloadTag);
    if (tag == NotFound)
        return false;
    size_t tail = line.find(u" has already been downloaded");
    if (tail == NotFound)
        return false;

    Pooled<StrBuffer> dir;
    {
        std::scoped_lock guard(job.Lock);
        dir->assign(job.Dir->view());
    }
    Text name;
    size_t dirEnd = FindDirIn(line, dir->view());
    if (dirEnd != NotFound) {
        size_t start = IsSeparator(line[dirEnd]) ? dirEnd + 1 : dirEnd;
        name = Trim(Slice(line, start, tail));
    } else {
        name = Trim(Slice(line, tag + DownloadTag.size(), tail));
        if (name.empty())
            return true;
    }
    if (!TakeName(job, name))
        return true;
    job.PercentDone = 100.0;
    int64_t size = 0;
    if (job.FileSizeOfPath(size))
        job.TotalSize = size;
    Publish(job);
    return true;
}

// "Deleting original file NAME": the conversion or merge is over and the result is on disk.
void DeletingOriginalLine(DlThread& job)
{
    job.PercentDone = static_cast<double>(99.9f);
    int64_t size = 0;
    if (job.FileSizeOfPath(size))
        job.TotalSize = size;
    Publish(job);
    job.PercentDone = 100.0;
}

// The converter's progress: "... size=    1024kB time=00:00:30.00 bitrate= 279.6kbits/s speed=2.00x".
void ConverterLine(DlThread& job, Text line, size_t sizeAt)
{
    // 1. The size written so far, in kB.
    int32_t sizeKb = -1;
    Text sizeText = TrimStart(From(line, sizeAt + 6));
    size_t space = sizeText.find(u' ');
    if (space != NotFound) {
        Text piece = TrimEnd(sizeText.substr(0, space));
        if (piece.ends_with(u"kB"))
            sizeKb = Integer32(TrimEnd(piece.substr(0, piece.size() - 2)));
    }
    // 2. The media time converted so far.
    int32_t time = -1;
    size_t timeAt = line.find(u" time=");
    if (timeAt != NotFound)
        time = ParseClock(From(line, timeAt + 6));
    // 3. The conversion speed as a multiple of playing speed.
    float factor = -1.0f;
    size_t speedAt = line.find(u" speed=");
    if (speedAt != NotFound) {
        Text speedText = TrimStart(From(line, speedAt + 7));
        size_t x = speedText.find(u'x');
        if (x != NotFound)
            factor = Number(TrimEnd(speedText.substr(0, x)));
    }
    // 4. Nothing to measure against without the media's length.
    int32_t duration = job.Duration;
    if (duration <= 0 || time <= 0)
        return;
    // 5. Progress in tenths of a percent, cut toward zero.
    float ratio = static_cast<float>(time) / static_cast<float>(duration) * 1000.0f;
    double percent = Truncate32(ratio) / 10.0;
    percent = std::clamp(percent, 0.0, 100.0);
    job.PercentDone = percent;
    // 6. The whole size, speed and time left extrapolated from the part written.
    if (sizeKb > 0 && percent > 0) {
        int64_t estimate = Truncate64(static_cast<double>(sizeKb) * 102400.0 / percent);
        estimate = estimate / 1024 * 1024;
        int64_t total = estimate < 0 ? -1 : estimate;
        job.TotalSize = total;
        if (total > 0 && factor > 0) {
            int64_t mediaRate = Truncate64(static_cast<float>(total) / static_cast<float>(duration));
            int64_t speed = Truncate64(static_cast<float>(mediaRate) * factor);
            job.Speed = speed;
            if (speed < 0) {
                job.Speed = -1;
                job.Eta = -1;
            } else if (speed == 0) {
                job.Eta = -1;
            } else {
                int64_t left = (total - static_cast<int64_t>(sizeKb) * 1024) / speed;
                job.Eta = left < 0 ? -1 : left * 1000;
            }
        }
    }
    // 7.
    SetState(job, JobState::Downloading);
    Publish(job);
}

// "[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05", also with "~" before the size and
// "(frag 1/3)" after the time.
void ProgressLine(DlThread& job, Text line)
{
    auto done = [&job] {
        SetState(job, JobState::Downloading);
        Publish(job);
    };
    // 1-2. The percentage.
    size_t percentOf = line.find(u"% of ");
    if (percentOf == NotFound)
        return done();
    job.PercentDone = PercentBefore(line, percentOf);
    // 3-4. The size, possibly an estimate marked "~".
    size_t at = line.find(u" at ");
    if (at == NotFound)
        return done();
    ReadSizeInto(job, TrimStart(Slice(line, percentOf + 5, at), BlanksAndTildes));
    // 5. The speed.
    size_t eta = line.find(u" ETA ");
    ReadSpeedInto(job, TrimStart(Slice(line, at + 4, eta)));
    // 6-7. The time left, as minutes:seconds (an hour part reads as minutes, as it always did).
    size_t colon = eta == NotFound ? NotFound : line.find(u':', eta);
    if (colon == NotFound)
        return done();
    int32_t minutes = Integer32(TrimStart(Slice(line, eta + 5, colon)));
    int32_t seconds = Integer32(TrimEnd(From(line, colon + 1)));
    auto wrapped = static_cast<int32_t>((static_cast<uint32_t>(minutes) * 60u + static_cast<uint32_t>(seconds)) * 1000u);
    job.Eta = wrapped;
    done();
}

// Other "[download] " lines; among them the last line of a download, "[download] 100% of
// 10.00MiB in 00:02", and progress lines whose time left is written with dashes.
void OtherDownloadLine(DlThread& job, Text line)
{
    size_t percentOf = line.find(u"% of ");
    if (percentOf != NotFound) {
        job.PercentDone = PercentBefore(line, percentOf);
        // Fragment downloads mark an estimated size with "~", here as in the progress lines.
        Text size = TrimStart(From(line, percentOf + 5), BlanksAndTildes);
        size_t space = size.find(u' ');
        if (space != NotFound)
            size = size.substr(0, space);
        ReadSizeInto(job, TrimEnd(size));
        // At 100 % the file is complete on disk: its exact size beats the tool's rounded figure.
        int64_t exact = 0;
        if (job.PercentDone == 100.0 && job.FileSizeOfPath(exact))
            job.TotalSize = exact;
    }
    SetState(job, JobState::Downloading);
    Publish(job);
}

// "1234.567 kB / 12.34 sec (45.6%)"
void SecondsLine(DlThread& job, Text line, size_t secAt)
{
    size_t close = line.find(u"%)", secAt);
    if (close == NotFound)
        return;
    double percent = DlThread::plausiblePercent(static_cast<double>(Number(Trim(Slice(line, secAt + 6, close)))));
    job.PercentDone = percent;
    size_t kb = line.find(u" kB / ");
    if (percent > 0 && kb != NotFound) {
        int64_t done = Truncate64(static_cast<double>(Number(Trim(Slice(line, 0, kb)))) * 1024.0);
        if (done > 1)
            job.TotalSize = Truncate64(static_cast<double>(done) * 100.0 / percent);
    }
    SetState(job, JobState::Downloading);
    Publish(job);
}

bool FileNameIsEmpty(DlThread& job)
{
    std::scoped_lock guard(job.Lock);
    return job.FileName->length() == 0;
}

}

void ParseToolLine(DlThread& job, std::u16string_view line, std::u16string_view tool)
{
    const bool youtubeDl = tool == ToolYoutubeDl;
    const bool youGet = tool == ToolYouGet;
    size_t at = NotFound;

    // Order matters: a line is taken by the first rule that recognises it.
    if (youtubeDl) {
        // 1. The download's destination.
        bool taken = false;
        if (FileNameLine(job, line, u"[download] Destination: ", Blanks, taken)) {
            if (taken)
                Publish(job);
            return;
        }
        // 2. Video and audio being merged into one file.
        if (MergeLine(job, line))
            return;
        // 3. The audio being converted to MP3.
        if (AudioDestinationLine(job, line))
            return;
    }
    if (youGet) {
        // 4. The title, which is also the file's name.
        bool taken = false;
        if (FileNameLine(job, line, u"Title: ", Blanks, taken)) {
            if (taken)
                Publish(job);
            return;
        }
        // 5. The file being fetched, for a job without a title.
        if ((at = line.find(u"Downloading ")) != NotFound && FileNameIsEmpty(job)) {
            if (TakeName(job, TrimEnd(TrimStart(From(line, at + 12)), BlanksAndDots)))
                Publish(job);
            return;
        }
        // 6. The size in bytes.
        if (YouGetSizeLine(job, line))
            return;
    }
    if (youtubeDl) {
        // 7. A whole playlist done.
        if (line.find(u"[download] Finished downloading playlist:") != NotFound) {
            job.PercentDone = 100.0;
            SetState(job, JobState::Completed);
            Publish(job);
            return;
        }
        // 8. The file was there already.
        if (AlreadyDownloadedLine(job, line))
            return;
        // 9. The converted or merged file is complete.
        if (line.find(u"Deleting original file ") != NotFound) {
            DeletingOriginalLine(job);
            return;
        }
    }
    // 10. you-get found the file there already.
    if (youGet && line.find(u"file already exists") != NotFound) {
        job.PercentDone = 100.0;
        Publish(job);
        return;
    }
    if (youtubeDl) {
        // 11. The converter names the media's length.
        if ((at = line.find(u"Duration: ")) != NotFound) {
            job.Duration = ParseClock(From(line, at + 10));
            return;
        }
        // 12. The converter's progress.
        if ((at = line.find(u" size=")) != NotFound) {
            ConverterLine(job, line, at);
            return;
        }
    }
    // 13-14. Download progress, from either tool.
    if (line.find(DownloadTag) != NotFound) {
        if (line.find(u" ETA ") != NotFound && line.find(u'-') == NotFound)
            ProgressLine(job, line);
        else
            OtherDownloadLine(job, line);
        return;
    }
    // 15. Progress as seconds and a percentage.
    if ((at = line.find(u" sec (")) != NotFound)
        SecondsLine(job, line, at);
}

int32_t ParseClock(std::u16string_view text)
{
    // 1-2. The time ends at the first comma or space.
    Text clock = TrimStart(text);
    size_t end = clock.find_first_of(u", ");
    if (end == NotFound)
        return -1;
    clock = clock.substr(0, end);
    // 3. Hours.
    size_t colon = clock.find(u':');
    if (colon == NotFound)
        return -1;
    int64_t hours = colon >= 2 ? Integer32(clock.substr(0, colon)) : 0;
    clock = clock.substr(colon + 1);
    // 4. Minutes, exactly two digits.
    colon = clock.find(u':');
    if (colon == NotFound)
        return -1;
    int64_t minutes = colon == 2 ? Integer32(clock.substr(0, colon)) : 0;
    clock = clock.substr(colon + 1);
    // 5. Seconds, exactly two digits before the fraction.
    size_t dot = clock.find(u'.');
    if (dot == NotFound || dot != 2)
        return -1;
    int64_t seconds = Integer32(clock.substr(0, dot)) + 60 * (minutes + 60 * hours);
    return static_cast<int32_t>(std::clamp<int64_t>(seconds, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}
