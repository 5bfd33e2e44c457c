#include "engine/workers/JobCommands.h"

#include "engine/DlThread.h"
#include "engine/intake/IMainInputs.h"
#include "engine/rows/JobRow.h"
#include "engine/workers/IGuiWait.h"
#include "engine/workers/JobControl.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"

#include <algorithm>
#include <cassert>
#include <mutex>

namespace s::video::gui::dialogs::videodl {

namespace lb = s::gui::listbox2;

JobCommands::JobCommands(lb::ListBoxModel& list, IMainInputs& inputs, IGuiWait& gui)
    : m_list(list)
    , m_inputs(inputs)
    , m_gui(gui)
{
}

JobCommands::~JobCommands() = default;

DlThread* JobCommands::JobAt(lb::ListBoxModel& list, int32_t position)
{
    return JobRow::JobOf(list.getRow(position).row);
}

std::vector<DlThread*> JobCommands::SelectedJobs()
{
    std::vector<DlThread*> jobs;
    int32_t count = m_list.getSelectedCount();
    for (int32_t i = 0; i < count; ++i) {
        if (DlThread* job = JobRow::JobOf(m_list.getSelected(i).row))
            jobs.push_back(job);
    }
    return jobs;
}

void JobCommands::Cancel()
{
    for (DlThread* job : SelectedJobs()) {
        if (job->Running && !job->RemoveWhenDone)
            JobControl::RequestStop(*job);
    }
}

void JobCommands::RestartWithLogin(DlThread& job)
{
    if (m_inputs.requireLogin())
        JobControl::TakeLogin(job, m_inputs.loginId(), m_inputs.loginPassword());
    JobControl::Restart(job, m_gui);
}

void JobCommands::Retry()
{
    std::vector<DlThread*> jobs = SelectedJobs();
    for (auto it = jobs.rbegin(); it != jobs.rend(); ++it) {
        DlThread& job = **it;
        if (!job.Running && !job.RemoveWhenDone && job.State != JobState::Completed)
            RestartWithLogin(job);
    }
}

void JobCommands::RetryErrors()
{
    std::vector<DlThread*> jobs;
    for (int32_t position = 0, count = m_list.getRowCount(); position < count; ++position) {
        if (DlThread* job = JobAt(m_list, position))
            jobs.push_back(job);
    }
    for (DlThread* job : jobs) {
        if (!job->Running && !job->RemoveWhenDone && job->State == JobState::Error)
            RestartWithLogin(*job);
    }
}

void JobCommands::Discard(DlThread& job)
{
    JobRow::Binding bound = JobRow::BindingOf(job);
    JobRow::Bind(job, nullptr, nullptr);
    if (bound.row)
        m_list.removeAndReleaseRow(bound.row, bound.id);
    if (JobControl::IsIdle(job))
        job.release();
    else
        m_awaiting.push_back(&job);
}

void JobCommands::Remove(Scope scope, bool deleteFile)
{
    SweepStopping();
    std::vector<DlThread*> jobs = SelectedJobs();
    if (scope == Scope::FirstSelected && jobs.size() > 1)
        jobs.resize(1);
    for (DlThread* job : jobs) {
        if (job->RemoveWhenDone)
            continue;
        bool running = false;
        {
            std::scoped_lock guard(job->Lock);
            running = job->Running;
            if (running) {
                job->DeleteFileWhenDone = deleteFile;
                job->RemoveWhenDone = true;
            }
        }
        if (running) {
            // The worker deletes the files and the row once the tool has ended; see DlThread::run.
            JobControl::RequestStop(*job);
            m_awaiting.push_back(job);
            continue;
        }
        if (deleteFile)
            job->DeleteFiles();
        else if (job->State != JobState::Completed)
            job->DeletePartials();
        Discard(*job);
    }
}

void JobCommands::ClearCompleted()
{
    std::vector<DlThread*> jobs;
    for (int32_t position = 0, count = m_list.getRowCount(); position < count; ++position) {
        DlThread* job = JobAt(m_list, position);
        if (job && job->IsCompletedIdle() && !job->RemoveWhenDone)
            jobs.push_back(job);
    }
    for (DlThread* job : jobs)
        Discard(*job);
}

void JobCommands::SweepStopping()
{
    for (size_t i = m_awaiting.size(); i-- > 0;) {
        DlThread* job = m_awaiting[i];
        if (!JobControl::IsIdle(*job))
            continue;
        m_awaiting.erase(m_awaiting.begin() + static_cast<ptrdiff_t>(i));
        // A removed job that finished has lost its row already; one that was only waiting for
        // its thread to go idle has none either.
        assert(!JobRow::BindingOf(*job).row);
        job->release();
    }
}

void JobCommands::BeginShutdown()
{
    for (int32_t position = 0, count = m_list.getRowCount(); position < count; ++position) {
        DlThread* job = JobAt(m_list, position);
        if (!job)
            continue;
        if (job->Running) {
            job->State = JobState::Canceling;
            job->PublishToRow();
        }
        job->StopRequested = true;
    }
    for (DlThread* job : m_awaiting)
        job->StopRequested = true;
}

void JobCommands::StopAllAndWait()
{
    // Step 1: one snapshot. A removed job's worker takes its own row away while we wait, so the
    // rows are read once, before any wait.
    m_snapshot.clear();
    for (int32_t position = 0, count = m_list.getRowCount(); position < count; ++position) {
        if (DlThread* job = JobAt(m_list, position))
            m_snapshot.push_back(job);
    }
    for (DlThread* job : m_awaiting) {
        if (std::find(m_snapshot.begin(), m_snapshot.end(), job) == m_snapshot.end())
            m_snapshot.push_back(job);
    }
    m_awaiting.clear();

    // Step 2: every job stopped and waited for, in row order.
    for (DlThread* job : m_snapshot)
        JobControl::StopJob(*job, true, m_gui);
}

void JobCommands::ReleaseAll()
{
    if (m_snapshot.empty())
        StopAllAndWait();
    // The rows first (they point at their jobs), then the jobs.
    m_list.releaseAllRows();
    for (DlThread* job : m_snapshot) {
        JobRow::Bind(*job, nullptr, nullptr);
        JobControl::WaitIdle(*job, m_gui);
        job->release();
    }
    m_snapshot.clear();
}

}
