#include "engine/workers/JobControl.h"

#include "engine/DlThread.h"
#include "engine/WorkerEvents.h"
#include "engine/catalogue/LookUpSite.h"
#include "engine/intake/LinkText.h"
#include "engine/rows/JobRow.h"
#include "engine/runner/ToolRunner.h"
#include "engine/workers/IGuiWait.h"
#include "gui/IWindow.h"
#include "gui/listbox2/ListBoxModel.h"

#include <mutex>
#include <sys/stat.h>

namespace s::video::gui::dialogs::videodl {

namespace {

// Whether the file at `path` was last written at or after `sinceMs` (ms since 1970). A tool
// that found the file there already does not write it.
bool writtenSince(std::u16string_view path, int64_t sinceMs)
{
    struct stat info {};
    if (::stat(str::strbuffer::StrBuffer::make(path)->toStdUtf8().c_str(), &info) != 0)
        return false;
    int64_t writtenMs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    return writtenMs >= sinceMs;
}

}

void JobControl::StartJob(DlThread& job)
{
    job.StartJob();
}

void JobControl::RequestStop(DlThread& job)
{
    if (!job.Running)
        return;
    job.State = JobState::Canceling;
    job.PublishToRow();
    job.StopRequested = true;
}

bool JobControl::IsIdle(DlThread& job)
{
    return !job.Running && (!job.Worker || job.Worker->isIdle());
}

void JobControl::WaitIdle(DlThread& job, IGuiWait& gui)
{
    if (!job.Worker)
        return;
    if (gui.isGuiThread())
        gui.waitServing([&job] { return job.Worker->isIdle(); });
    else
        job.Worker->waitIdle();
}

void JobControl::StopJob(DlThread& job, bool wait, IGuiWait& gui)
{
    if (job.Running) {
        job.State = JobState::Canceling;
        job.PublishToRow();
    }
    job.StopRequested = true;
    if (!wait)
        return;
    WaitIdle(job, gui);
    job.StopRequested = false;
}

void JobControl::Restart(DlThread& job, IGuiWait& gui)
{
    StopJob(job, true, gui);
    job.DeletePartials();
    // Nothing runs any more, so the reset's own wait returns at once.
    job.ResetProgress();
    job.State = JobState::Retrying;
    job.PublishToRow();
    StartJob(job);
}

void JobControl::TakeLogin(DlThread& job, std::u16string_view id, std::u16string_view password)
{
    std::scoped_lock guard(job.Lock);
    SiteLookup site = LookUpSite(job.Url->view(), true);
    if (site.login != LoginMark::Required && site.login != LoginMark::Accepted)
        return;
    job.Id->assign(LinkText::trim(id));
    job.Password->assign(LinkText::trim(password));
}

void JobControl::RemoveAfterRun(DlThread& job, int64_t runStartMs)
{
    bool completed = job.State == JobState::Completed;
    thread::Pooled<str::StrBuffer> path = job.CopyFilePath();
    // A small margin for file systems that keep coarse times.
    bool ownFile = path->length() && writtenSince(path->view(), runStartMs - 2000);
    if (job.DeleteFileWhenDone || (!completed && ownFile))
        job.DeleteFiles();
    else
        job.DeletePartials();

    JobRow::Binding bound = JobRow::BindingOf(job);
    JobRow::Bind(job, nullptr, nullptr);
    if (bound)
        bound.list->removeAndReleaseRow(bound.row, bound.id);
}

}
