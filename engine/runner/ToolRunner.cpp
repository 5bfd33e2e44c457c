#include "engine/runner/ToolRunner.h"

#include "engine/DlThread.h"
#include "engine/JobState.h"
#include "engine/ToolOutputParser.h"
#include "engine/WorkerEvents.h"
#include "engine/catalogue/LookUpSite.h"
#include "engine/runner/LineSplitter.h"
#include "foundation/file/os/Path.h"
#include "foundation/system/os/Process.h"
#include "gui/IWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <span>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace s::video::gui::dialogs::videodl {

using str::StrBuffer;
using thread::Pooled;
using Clock = std::chrono::steady_clock;

namespace {

// The next launch time is kept on the steady clock: a change of the system time must neither
// hold every download back nor let two tools start at once.
std::mutex g_launchLock;
Clock::time_point g_nextLaunch {};

std::mutex g_programDirLock;
std::u16string g_programDir;

constexpr std::u16string_view YoutubeDlName = u"youtube-dl ";
constexpr std::u16string_view YoutubeDlOldName = u"youtube-dl_old ";
constexpr std::u16string_view YouGetName = u"you-get ";

std::string utf8(std::u16string_view text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

// The match text of the catalogue's YouTube row: a link holding it is tried with the old build.
std::u16string_view youtubeMatch()
{
    static const std::u16string_view match = [] {
        const SiteTable& table = YoutubeDlSites();
        for (size_t i = 0, count = table.rowCount(); i < count; ++i) {
            if (std::u16string_view(table.rows[i].name) == u"YouTube")
                return std::u16string_view(table.rows[i].match);
        }
        return std::u16string_view(u".youtube.");
    }();
    return match;
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The first executable `name` in the absolute folders of the PATH, or empty.
std::string findOnPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string_view folders(path);
    while (!folders.empty()) {
        size_t end = folders.find(':');
        std::string_view folder = folders.substr(0, end);
        folders = end == std::string_view::npos ? std::string_view() : folders.substr(end + 1);
        // Relative entries (an empty one means the current folder) would depend on where we are.
        if (folder.empty() || folder.front() != '/')
            continue;
        std::string candidate(folder);
        candidate += '/';
        candidate += name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

std::u16string executableFolder()
{
    std::string buffer(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0)
        return u"./";
    buffer.resize(static_cast<size_t>(length));
    buffer.resize(buffer.rfind('/') + 1);
    std::u16string folder(StrBuffer::makeUtf8(buffer)->view());
    return folder;
}

// Appends a text to the job's log and hands it to the window that shows the log, if any.
void appendToLog(DlThread& job, const StrBuffer& text)
{
    {
        std::scoped_lock guard(job.Lock);
        job.Log->append(text.view());
    }
    if (s::gui::IWindow* listener = job.LogListener.load())
        listener->sendRequest(ProcessUpdateLog, reinterpret_cast<intptr_t>(&text), 0, 0);
}

void appendToLog(DlThread& job, std::u16string_view text)
{
    appendToLog(job, *StrBuffer::make(text));
}

void cancelBeforeLaunch(DlThread& job)
{
    job.State = JobState::Canceled;
    job.PublishToRow();
}

bool createFolder(std::u16string_view dir)
{
    if (dir.empty())
        return true;
    Pooled<file::os::Path> path = file::os::Path::make(dir);
    return path->isValid() && path->createDirectory();
}

// Reads the tool's output to its end and hands every line on. True when a stop ended the tool
// (it is then terminated and reaped, and gives no exit code).
class OutputReader {
public:
    OutputReader(DlThread& job, std::u16string_view tool)
        : m_job(job)
        , m_tool(tool)
        , m_splitter(ToolRunner::MaxLineBytes)
        , m_buffer(std::make_unique<char[]>(BufferSize))
    {
    }

    bool run(system::os::Process& process, const std::atomic<bool>& stopRequested)
    {
        Clock::time_point nextExitCheck = Clock::now() + ExitCheckInterval;
        for (;;) {
            if (stopRequested) {
                int ignored = 0;
                process.terminate(ignored, ToolRunner::StopGraceMs);
                return true;
            }
            size_t count = 0;
            system::os::Process::Read result = process.read(m_buffer.get(), BufferSize, count, ToolRunner::PollMs);
            if (result == system::os::Process::Read::Ended)
                return false;
            if (result == system::os::Process::Read::Data)
                feed(count);
            // The tool may have ended while something it started still holds the pipe open:
            // then take what it wrote and stop listening.
            if (result == system::os::Process::Read::Idle || Clock::now() >= nextExitCheck) {
                nextExitCheck = Clock::now() + ExitCheckInterval;
                if (process.exited()) {
                    drain(process, stopRequested);
                    return false;
                }
            }
        }
    }

private:
    static constexpr size_t BufferSize = 64 * 1024;
    static constexpr auto ExitCheckInterval = std::chrono::milliseconds(100);
    static constexpr auto DrainLimit = std::chrono::milliseconds(200);

    void feed(size_t count)
    {
        m_splitter.feed(std::string_view(m_buffer.get(), count), [this](std::string_view bytes) { handleLine(bytes); });
    }

    // Everything the ended tool left in the pipe; a helper that goes on writing is cut off.
    void drain(system::os::Process& process, const std::atomic<bool>& stopRequested)
    {
        Clock::time_point limit = Clock::now() + DrainLimit;
        while (!stopRequested && Clock::now() < limit) {
            size_t count = 0;
            if (process.read(m_buffer.get(), BufferSize, count, 0) != system::os::Process::Read::Data)
                return;
            feed(count);
        }
    }

    void handleLine(std::string_view bytes)
    {
        m_line->assignUtf8(bytes);
        ParseToolLine(m_job, m_line->view(), m_tool);
        m_logText->assign(m_line->view());
        m_logText->append(u'\n');
        appendToLog(m_job, *m_logText);
    }

    DlThread& m_job;
    std::u16string_view m_tool;
    LineSplitter m_splitter;
    std::unique_ptr<char[]> m_buffer;
    Pooled<StrBuffer> m_line;
    Pooled<StrBuffer> m_logText;
};

// Waits for the tool's end after its output has ended. False, with the tool terminated, when a
// stop comes first (a tool that closed its output may still run for a long time).
bool waitForExit(system::os::Process& process, const std::atomic<bool>& stopRequested, int& exitCode)
{
    // A tool usually ends right after its output does: look often at first, then less often.
    int pause = 1;
    while (!process.exited()) {
        if (stopRequested) {
            int ignored = 0;
            process.terminate(ignored, ToolRunner::StopGraceMs);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, ToolRunner::PollMs);
    }
    return process.wait(exitCode);
}

}

void ToolRunner::RunTool(DlThread& job, std::u16string_view url, std::u16string_view dir, const std::atomic<bool>& stopRequested)
{
    Pooled<StrBuffer> programDir = ProgramDir();
    std::string workingDir = utf8(dir);
    int32_t attempt = 0;
    for (;;) {
        // 1. A stop asked for before anything starts.
        if (stopRequested) {
            cancelBeforeLaunch(job);
            return;
        }

        // 2. The tool for the link, looked up again for every attempt.
        SiteLookup site = LookUpSite(url, true);

        // 3. Launch spacing, shared by all workers.
        if (!WaitForLaunchSlot(stopRequested) || stopRequested) {
            cancelBeforeLaunch(job);
            return;
        }

        // 4. The command line.
        ToolCommand command;
        {
            Pooled<StrBuffer> id;
            Pooled<StrBuffer> password;
            bool onlyMp3 = false;
            {
                std::scoped_lock guard(job.Lock);
                id->assign(job.Id->view());
                password->assign(job.Password->view());
                onlyMp3 = job.OnlyMp3;
            }
            ToolRequest request { site.tool, url, id->view(), password->view(), onlyMp3, attempt };
            command = BuildCommand(request, programDir->view());
        }

        // 5. The download folder.
        createFolder(dir);

        // 6. The tool, in the download folder. A failed start gives no exit code.
        bool haveExitCode = false;
        int exitCode = 0;
        system::os::Process process;
        if (process.start(command.Arguments, workingDir, ToolEnvironment())) {
            // 7. Running.
            job.State = JobState::Initializing;
            job.PublishToRow();

            // 8. Every line it prints, then its exit code.
            OutputReader reader(job, site.tool);
            bool stopped = reader.run(process, stopRequested);
            if (!stopped)
                haveExitCode = waitForExit(process, stopRequested, exitCode);
            if (haveExitCode) {
                Pooled<StrBuffer> note = StrBuffer::make(u"\nExit Code: ");
                note->appendInt32(exitCode);
                note->append(u'\n');
                appendToLog(job, *note);
            }
        }

        // 9. The end of the attempt.
        bool succeeded = (haveExitCode && exitCode == 0) || job.PercentDone == 100.0;
        job.Speed = -1;
        job.Eta = -1;
        if (succeeded) {
            job.PercentDone = 100.0;
            job.State = JobState::Completed;
        } else {
            job.State = stopRequested ? JobState::Canceled : JobState::Error;
            job.PercentDone = DlThread::FoldFailedProgress(job.PercentDone);
        }
        job.PublishToRow();

        // 10. A failed old build gets one more attempt with the current build.
        if (succeeded || stopRequested || !command.OldTool)
            return;
        ++attempt;
        appendToLog(job, u"\r\n\r\n[Retry]:\n");
    }
}

ToolCommand ToolRunner::BuildCommand(const ToolRequest& request, std::u16string_view programDir)
{
    ToolCommand command;
    StrBuffer& text = *command.Text;
    text.assign(programDir);
    if (!text.endsWith(u"/"))
        text.append(u'/');
    text.append(u"vdl/");

    if (request.Tool == ToolYouGet) {
        text.append(YouGetName);
        text.append(u" \"");
        text.append(request.Url);
        text.append(u'"');
        command.Arguments = { ToolFile(ToolYouGet, false, programDir), "--", utf8(request.Url) };
        return command;
    }

    std::vector<std::string> options;
    text.append(YoutubeDlName);
    text.append(u'"');
    text.append(request.Url);
    text.append(u'"');
    if (!request.Id.empty()) {
        text.append(u" -u \"");
        text.append(request.Id);
        text.append(u'"');
        options.insert(options.end(), { "-u", utf8(request.Id) });
    }
    if (!request.Password.empty()) {
        text.append(u" -p \"");
        text.append(request.Password);
        text.append(u'"');
        options.insert(options.end(), { "-p", utf8(request.Password) });
    }
    text.append(u" --no-mtime -i");
    options.insert(options.end(), { "--no-mtime", "-i" });
    if (request.OnlyMp3) {
        text.append(u" -x --audio-format mp3 --audio-quality 192K");
        options.insert(options.end(), { "-x", "--audio-format", "mp3", "--audio-quality", "192K" });
    }
    uint32_t at = 0;
    if (!request.OnlyMp3 && request.Attempt == 0 && text.indexOf(youtubeMatch(), at)) {
        text.replaceAll(YoutubeDlName, YoutubeDlOldName);
        command.OldTool = true;
    }
    if (text.indexOf(YoutubeDlName, at)) {
        text.append(u" --merge-output-format mkv");
        options.insert(options.end(), { "--merge-output-format", "mkv" });
    }

    command.Arguments.push_back(ToolFile(ToolYoutubeDl, command.OldTool, programDir));
    command.Arguments.insert(command.Arguments.end(), options.begin(), options.end());
    command.Arguments.push_back("--");
    command.Arguments.push_back(utf8(request.Url));
    return command;
}

std::string ToolRunner::ToolFile(std::u16string_view tool, bool oldTool, std::u16string_view programDir)
{
    bool youGet = tool == ToolYouGet;
    std::string vdl = utf8(programDir);
    if (!vdl.empty() && vdl.back() != '/')
        vdl += '/';
    vdl += "vdl/";
    vdl += youGet ? "you-get" : oldTool ? "youtube-dl_old" : "youtube-dl";
    if (isExecutableFile(vdl) || oldTool)
        return vdl;
    static constexpr std::string_view youtubeDlNames[] = { "yt-dlp", "youtube-dl" };
    static constexpr std::string_view youGetNames[] = { "you-get" };
    std::span<const std::string_view> names = youGet ? std::span<const std::string_view>(youGetNames) : std::span<const std::string_view>(youtubeDlNames);
    for (std::string_view name : names) {
        std::string found = findOnPath(name);
        if (!found.empty())
            return found;
    }
    return vdl;
}

Pooled<StrBuffer> ToolRunner::ProgramDir()
{
    std::scoped_lock guard(g_programDirLock);
    if (g_programDir.empty())
        g_programDir = executableFolder();
    return StrBuffer::make(g_programDir);
}

void ToolRunner::SetProgramDir(std::u16string_view dir)
{
    std::scoped_lock guard(g_programDirLock);
    g_programDir = dir;
    if (!g_programDir.empty() && g_programDir.back() != u'/')
        g_programDir += u'/';
}

bool ToolRunner::WaitForLaunchSlot(const std::atomic<bool>& stopRequested, Clock::time_point* taken)
{
    if (stopRequested)
        return false;
    for (;;) {
        Clock::duration wait;
        {
            // Test and update form one step for all workers.
            std::scoped_lock guard(g_launchLock);
            Clock::time_point now = Clock::now();
            if (now >= g_nextLaunch) {
                g_nextLaunch = now + std::chrono::milliseconds(LaunchSpacingMs);
                if (taken)
                    *taken = now;
                return true;
            }
            wait = std::min<Clock::duration>(g_nextLaunch - now, std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(wait);
        if (stopRequested)
            return false;
    }
}

void ToolRunner::ForgetLaunches()
{
    std::scoped_lock guard(g_launchLock);
    g_nextLaunch = {};
}

const std::vector<std::string>& ToolRunner::ToolEnvironment()
{
    static const std::vector<std::string> environment { "PYTHONIOENCODING=utf-8", "PYTHONUNBUFFERED=1", "TERM=dumb" };
    return environment;
}

}
