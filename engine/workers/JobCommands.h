#pragma once

#include "engine/Forward.h"

#include <cstdint>
#include <vector>

namespace s::video::gui::dialogs::videodl {

class IGuiWait;
class IMainInputs;

// The main window's commands as they act on jobs, over the rows of the jobs' list and its
// selection. Every row of that list is made by JobRow::MakeRow, so its owner is its job. Runs on
// the GUI thread.
//
// A job removed while it runs keeps its row until its worker has ended the tool and deleted what
// the removal asked for; it waits in the list of jobs awaiting release until its worker is idle,
// and only then goes back to the pool. Commands skip jobs marked for removal.
class JobCommands {
public:
    enum class Scope {
        FirstSelected,
        AllSelected,
    };

    JobCommands(s::gui::listbox2::ListBoxModel& list, IMainInputs& inputs, IGuiWait& gui);
    ~JobCommands();
    JobCommands(const JobCommands&) = delete;
    JobCommands& operator=(const JobCommands&) = delete;

    // Stops every selected running job.
    void Cancel();
    // Restarts every selected job that is idle and not Completed, last selected first.
    void Retry();
    // Restarts every job in Error that is idle.
    void RetryErrors();
    // Removes the first selected job, or all selected ones; with `deleteFile` ("Delete File and
    // Entry") the downloaded file goes too, otherwise ("Remove Entry") only partial files, and a
    // Completed download is kept.
    void Remove(Scope scope, bool deleteFile);
    // Removes every Completed job that does not run.
    void ClearCompleted();
    // Releases every job awaiting release whose worker is idle now.
    void SweepStopping();

    // The close request: every running job shows Canceling, every job is asked to stop.
    void BeginShutdown();
    // After the window's loop: one snapshot of every job (rows and the jobs awaiting release),
    // each stopped and waited for in row order. The list file is written after this.
    void StopAllAndWait();
    // Every row leaves the list and every job of the snapshot goes back to the pool.
    void ReleaseAll();

    uint32_t awaitingCount() const { return static_cast<uint32_t>(m_awaiting.size()); }

    // The row's job; null for a row without one.
    static DlThread* JobAt(s::gui::listbox2::ListBoxModel& list, int32_t position);

    // An idle job's row leaves the list, and the job goes back to the pool (or waits until its
    // thread is idle).
    void Discard(DlThread& job);

private:
    // Restart with the login boxes' texts for sites that take a login.
    void RestartWithLogin(DlThread& job);
    // The selected jobs, in selection order.
    std::vector<DlThread*> SelectedJobs();

    s::gui::listbox2::ListBoxModel& m_list;
    IMainInputs& m_inputs;
    IGuiWait& m_gui;
    std::vector<DlThread*> m_awaiting;
    std::vector<DlThread*> m_snapshot;
};

}
