#include "engine/runner/ToolRunner.h"

#include "engine/DlThread.h"
#include "engine/JobState.h"
#include "engine/catalogue/LookUpSite.h"
#include "engine/runner/LaunchGate.h"
#include "engine/runner/OutputReader.h"
#include "engine/runner/ToolCommand.h"
#include "engine/runner/ToolLocator.h"
#include "engine/workers/LoginFile.h"
#include "foundation/file/os/Path.h"
#include "foundation/system/os/Process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace s::video::gui::dialogs::videodl {

using str::StrBuffer;
using thread::Pooled;

namespace {

void cancelBeforeLaunch(DlThread& job)
{
    job.State = JobState::Canceled;
    job.PublishToRow();
}

// Makes the download folder with its missing parents; 0 when it is there, else the errno.
int createFolder(std::u16string_view dir)
{
    if (dir.empty())
        return 0;
    Pooled<file::os::Path> path = file::os::Path::make(dir);
    errno = 0;
    if (path->isValid() && path->createDirectory())
        return 0;
    return errno != 0 ? errno : EINVAL;
}

void logLine(DlThread& job, const StrBuffer& line)
{
    Pooled<StrBuffer> text = line.clone();
    text->append(u'\n');
    job.appendLog(*text);
}

// Waits for the tool's end after its output has ended. False, with the tool terminated, when a
// stop comes first (a tool that closed its output may still run for a long time).
bool waitForExit(system::os::Process& process, const std::atomic<bool>& stopRequested, int& exitCode)
{
    // A tool usually ends right after its output does: look often at first, then less often.
    int pause = 1;
    while (!process.exited()) {
        if (stopRequested) {
            int ignored = 0;
            process.terminate(ignored, OutputReader::StopGraceMs);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, OutputReader::PollMs);
    }
    return process.wait(exitCode);
}

}

ToolRunner::ToolRunner(const ToolLocator& tools, LaunchGate& gate)
    : m_tools(tools)
    , m_gate(gate)
{
}

ToolRunner& ToolRunner::shared()
{
    static ToolRunner runner(ToolLocator::forThisProgram(), LaunchGate::shared());
    return runner;
}

void ToolRunner::RunTool(DlThread& job, std::u16string_view url, std::u16string_view dir, const std::atomic<bool>& stopRequested) const
{
    std::string workingDir = StrBuffer::make(dir)->toStdUtf8();
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
        if (!m_gate.waitForSlot(stopRequested) || stopRequested) {
            cancelBeforeLaunch(job);
            return;
        }

        // 4. The command line. A login goes to youtube-dl through a private file that lives as long
        //    as this attempt, never through its argument list.
        ToolCommand command;
        LoginFile login;
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
            bool hasLogin = site.tool == ToolYoutubeDl && (id->length() || password->length());
            if (hasLogin && !login.create(id->view(), password->view())) {
                logLine(job, *StrBuffer::make(u"The site login could not be handed to the tool privately; the download runs without it."));
                id->clear();
                password->clear();
            }
            command = ToolCommand::build({ site.tool, url, id->view(), password->view(), onlyMp3, attempt, login.path() }, m_tools);
        }

        // 5. The download folder. No tool can help when it cannot be made.
        bool haveExitCode = false;
        int exitCode = 0;
        bool folderMissing = false;
        if (int error = createFolder(dir); error != 0) {
            char reason[256];
            Pooled<StrBuffer> line = StrBuffer::make(u"The download folder could not be made: ");
            line->append(dir);
            line->append(u" (");
            line->appendUtf8(strerror_r(error, reason, sizeof reason));
            line->append(u").");
            logLine(job, *line);
            folderMissing = true;
        }

        // 6. The tool, in the download folder. A failed start gives no exit code, but a line that
        //    says why; a missing old build only means that the current one follows.
        system::os::Process process;
        bool started = false;
        if (!folderMissing) {
            started = process.start(command.Arguments, workingDir, ToolEnvironment());
            int error = errno;
            if (!started && !(command.OldTool && error == ENOENT))
                logLine(job, *m_tools.describeStartFailure(site.tool, command.OldTool, command.Arguments[0], error));
        }
        if (started) {
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
                job.appendLog(*note);
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
        if (succeeded || stopRequested || !command.OldTool || folderMissing)
            return;
        ++attempt;
        job.appendLog(*StrBuffer::make(u"\r\n\r\n[Retry]:\n"));
    }
}

const std::vector<std::string>& ToolRunner::ToolEnvironment()
{
    static const std::vector<std::string> environment { "PYTHONIOENCODING=utf-8", "PYTHONUNBUFFERED=1", "TERM=dumb" };
    return environment;
}

}
