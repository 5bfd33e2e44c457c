#include "engine/DlThread.h"

#include "engine/DownloadFolder.h"
#include "engine/WorkerEvents.h"
#include "engine/runner/ToolRunner.h"
#include "foundation/file/os/Path.h"
#include "gui/IWindow.h"

#include <cassert>
#include <cmath>
#include <mutex>

namespace s::video::gui::dialogs::videodl {

namespace {

// Pools are destroyed at exit in the reverse order of their making. A job owns text buffers and
// a thread, so their pools must be made before the job pool, or the job pool's free jobs would
// hand their parts back to pools that are already gone.
[[maybe_unused]] const bool PartPoolsMadeFirst = [] {
    thread::poolOf<str::StrBuffer>();
    thread::poolOf<thread::os::Thread>();
    thread::poolOf<file::os::Path>();
    return true;
}();

// Deletes `path` + `suffix` when it is a file inside the folder `dir`. Both are compared in the
// form the path object hands to the system (repeated separators made one), so what is checked
// is what gets deleted.
void DeleteIfFile(std::u16string_view dir, std::u16string_view path, std::u16string_view suffix)
{
    thread::Pooled<file::os::Path> folder = file::os::Path::make(dir);
    thread::Pooled<file::os::Path> file = file::os::Path::make(path, suffix);
    if (!folder->isValid() || !file->isValid() || !DownloadFolder::holds(folder->fullPath().view(), file->fullPath().view()))
        return;
    if (file->isFile())
        file->remove(true);
}

}

DlThread::DlThread() = default;

DlThread::~DlThread()
{
    // The worker must not outlive the task it may still be running.
    if (Worker)
        Worker->waitIdle();
}

void DlThread::PublishToRow()
{
    if (!Row)
        return;
    // The row's cells and the rate event are the list's business; a job only gets a row once
    // the list exists.
}

void DlThread::SetFileName(std::u16string_view name)
{
    {
        std::scoped_lock guard(Lock);
        FileName->assign(name);
        FilePath->assign(Dir->view());
        FilePath->append(u'/');
        FilePath->append(name);
    }
    // A job without a row has no cell to attach the path to.
}

void DlThread::ResetProgress()
{
    if (Running) {
        State = JobState::Canceling;
        PublishToRow();
    }
    StopRequested = true;
    if (Worker)
        Worker->waitIdle();
    StopRequested = false;
    TotalSize = -1;
    Speed = -1;
    Eta = -1;
    Duration = -1;
    PercentDone = -1.0;
    State = JobState::None;
    {
        std::scoped_lock guard(Lock);
        FileName->clear();
        FilePath->clear();
        Log->clear();
    }
    StopRequested = false;
    Running = false;
}

void DlThread::DeletePartials()
{
    DeleteOwnFiles(false);
}

void DlThread::DeleteFiles()
{
    DeleteOwnFiles(true);
}

void DlThread::DeleteOwnFiles(bool withResult)
{
    thread::Pooled<str::StrBuffer> dir;
    thread::Pooled<str::StrBuffer> path;
    {
        std::scoped_lock guard(Lock);
        dir->assign(Dir->view());
        path->assign(FilePath->view());
    }
    if (path->length() == 0)
        return;
    DeleteIfFile(dir->view(), path->view(), u".part");
    DeleteIfFile(dir->view(), path->view(), u".download");
    if (withResult)
        DeleteIfFile(dir->view(), path->view(), u"");
}

bool DlThread::IsCompletedIdle() const { return !Running && State == JobState::Completed; }

bool DlThread::FileSizeOfPath(int64_t& size)
{
    thread::Pooled<str::StrBuffer> path = CopyFilePath();
    if (path->length() == 0)
        return false;
    thread::Pooled<file::os::Path> file = file::os::Path::make(path->view());
    if (!file->isFile())
        return false;
    size = file->size();
    return true;
}

thread::Pooled<str::StrBuffer> DlThread::CopyFilePath()
{
    std::scoped_lock guard(Lock);
    return FilePath->clone();
}

double DlThread::plausiblePercent(double percent)
{
    return std::isfinite(percent) && percent >= 0.0 && percent <= MaxPlausiblePercent ? percent : -1.0;
}

double DlThread::FoldFailedProgress(double percent)
{
    percent = plausiblePercent(percent);
    if (percent < 0.0)
        return -1.0;
    // The remainder is what subtracting 100 while above 100 leaves (whole hundreds give 100),
    // exact for every double, in one step.
    if (percent > 100.0) {
        percent = std::fmod(percent, 100.0);
        if (percent == 0.0)
            percent = 100.0;
    }
    return percent + 400.0;
}

void DlThread::run()
{
    if (Owner)
        Owner->sendRequest(ProcessUpdateDownloadedNum, 1, 0, 0);
    {
        thread::Pooled<str::StrBuffer> url;
        thread::Pooled<str::StrBuffer> dir;
        {
            std::scoped_lock guard(Lock);
            url->assign(Url->view());
            dir->assign(Dir->view());
        }
        ToolRunner::RunTool(*this, url->view(), dir->view(), StopRequested);
    }
    if (Owner)
        Owner->sendRequest(ProcessUpdateDownloadedNum, 0, 0, 0);
    StopRequested = false;
    Running = false;
    // A job removed while it ran loses its files now that the tool no longer writes them.
    if (RemoveWhenDone)
        DeleteFiles();
}

void DlThread::reset()
{
    Row = nullptr;
    Index = 0;
    TotalSize = -1;
    PercentDone = -1.0;
    State = JobState::None;
    Duration = -1;
    Speed = -1;
    Eta = -1;
    {
        std::scoped_lock guard(Lock);
        Id->clear();
        Password->clear();
        Dir->clear();
        Url->clear();
        OnlyMp3 = false;
        FileName->clear();
        FilePath->clear();
        Log->clear();
    }
    Owner = nullptr;
    LogListener = nullptr;
    RemoveWhenDone = false;
    LastRateReport = 0;
    StopRequested = false;
    Running = false;
}

}
