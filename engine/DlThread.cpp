#include "engine/DlThread.h"

#include "engine/DownloadFolder.h"
#include "engine/WorkerEvents.h"
#include "engine/rows/JobRow.h"
#include "engine/workers/JobControl.h"
#include "engine/runner/ToolRunner.h"
#include "foundation/thread/os/Thread.h"
#include "foundation/file/os/Path.h"
#include "gui/IWindow.h"

#include <cassert>
#include <cmath>
#include <mutex>
#include <utility>

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

void DlThread::release()
{
    {
        std::scoped_lock guard(Lock);
        if (m_workerHolds) {
            m_releasePending = true;
            StopRequested = true;
            Row = nullptr;
            rowId = 0;
            LogListener = nullptr;
            logListenerGeneration = 0;
            return;
        }
    }
    thread::poolOf<DlThread>().release(this);
}

void DlThread::PublishToRow()
{
    JobRow::Publish(*this);
}

void DlThread::setRow(s::gui::listbox2::Record* row, s::gui::listbox2::RowId id)
{
    std::scoped_lock guard(Lock);
    Row = row;
    rowId = row ? id : 0;
}

void DlThread::setLogListener(s::gui::IWindow* window)
{
    std::scoped_lock guard(Lock);
    LogListener = window;
    logListenerGeneration = window ? window->generation() : 0;
}

void DlThread::appendLog(const str::StrBuffer& text)
{
    s::gui::IWindow* listener = nullptr;
    uint64_t generation = 0;
    {
        std::scoped_lock guard(Lock);
        Log->append(text.view());
        listener = LogListener;
        generation = logListenerGeneration;
    }
    // A pooled window is never freed, so a stale one may still be asked; the window compares the
    // generation where it changes hands, so one that was reused meanwhile drops the text.
    if (listener)
        listener->sendRequestTo(generation, ProcessUpdateLog, reinterpret_cast<intptr_t>(&text), 0, 0);
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
    JobRow::AttachPath(*this);
}

bool DlThread::StartJob()
{
    std::scoped_lock guard(Lock);
    if (Running || m_releasePending)
        return false;
    Running = true;
    StopRequested = false;
    if (!Worker) {
        Worker.replace(thread::os::Thread::get());
        Worker->setPriority(-1);
    }
    m_workerHolds = true;
    Worker->runOnce(this);
    return true;
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
    {
        // Normally StartJob took the hold already; a direct hand-over to the thread takes it here.
        std::scoped_lock guard(Lock);
        m_workerHolds = true;
    }
    if (Owner)
        Owner->sendRequest(ProcessUpdateDownloadedNum, 1, 0, 0);
    int64_t runStartMs = JobRow::ClockMs();
    {
        thread::Pooled<str::StrBuffer> url;
        thread::Pooled<str::StrBuffer> dir;
        {
            std::scoped_lock guard(Lock);
            url->assign(Url->view());
            dir->assign(Dir->view());
        }
        (Runner ? *Runner : ToolRunner::shared()).RunTool(*this, url->view(), dir->view(), StopRequested);
    }
    if (Owner)
        Owner->sendRequest(ProcessUpdateDownloadedNum, 0, 0, 0);
    // Letting go: Running and the hold end together, and a release that came meanwhile happens
    // now, as the last thing this run does with the job. A job removed while it ran first loses
    // its files, now that the tool no longer writes them, and its row: the removal tests Running
    // under Lock too, so either it is seen here or it finds the job idle and does that itself.
    bool returnToPool = false;
    bool removalDone = false;
    while (true) {
        bool removeNow = false;
        {
            std::scoped_lock guard(Lock);
            removeNow = RemoveWhenDone && !removalDone;
            if (!removeNow) {
                StopRequested = false;
                Running = false;
                m_workerHolds = false;
                returnToPool = std::exchange(m_releasePending, false);
            }
        }
        if (!removeNow)
            break;
        JobControl::RemoveAfterRun(*this, runStartMs);
        removalDone = true;
    }
    if (returnToPool)
        thread::poolOf<DlThread>().release(this);
}

void DlThread::reset()
{
    std::scoped_lock guard(Lock);
    Row = nullptr;
    rowId = 0;
    RowList = nullptr;
    Index = 0;
    TotalSize = -1;
    PercentDone = -1.0;
    State = JobState::None;
    Duration = -1;
    Speed = -1;
    Eta = -1;
    Id->clear();
    Password->clear();
    Dir->clear();
    Url->clear();
    OnlyMp3 = false;
    FileName->clear();
    FilePath->clear();
    Log->clear();
    Owner = nullptr;
    Runner = nullptr;
    LogListener = nullptr;
    logListenerGeneration = 0;
    RemoveWhenDone = false;
    DeleteFileWhenDone = false;
    LastRateReport = 0;
    StopRequested = false;
    Running = false;
    m_workerHolds = false;
    m_releasePending = false;
}

}
