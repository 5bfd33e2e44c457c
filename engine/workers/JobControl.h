#pragma once

#include "engine/Forward.h"

#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

class IGuiWait;

// Starting, stopping and restarting one job on its worker thread, and what the worker does
// around the tool run.
//
// The job's flags: Running is set by StartJob and cleared by the worker as the very last thing it
// does to the job, after its events, files and row (DlThread::run); so a job that is not Running
// is not touched by its worker any more, and once its thread is idle too, it may go back to the
// pool.
class JobControl {
public:
    // Starts the job's worker unless it runs already (DlThread::StartJob).
    static void StartJob(DlThread& job);

    // Stops a running job (Canceling), waits until its worker is idle (serving the GUI queue when
    // on the GUI thread), forgets the last run (partial files deleted, progress reset), shows
    // Retrying and starts the job again.
    static void Restart(DlThread& job, IGuiWait& gui);

    // Asks the job to stop (Canceling when it runs); with `wait`, waits until its worker is idle
    // and clears the request.
    static void StopJob(DlThread& job, bool wait, IGuiWait& gui);

    // Canceling, published, and the stop asked for; a job that does not run is left alone.
    static void RequestStop(DlThread& job);

    // Waits until the job's worker thread (if any) is idle, serving the GUI queue when on the GUI
    // thread.
    static void WaitIdle(DlThread& job, IGuiWait& gui);
    // Not Running and its thread (if any) idle: nothing of the worker touches the job any more.
    static bool IsIdle(DlThread& job);

    // The login boxes' texts, trimmed, become the job's login when the site takes one (login mark
    // "1" or "2").
    static void TakeLogin(DlThread& job, std::u16string_view id, std::u16string_view password);

    // What the worker does for a job that was removed while it ran (`runStartMs`: when the run
    // began): its files and its row go. A plain removal keeps a completed download and any file
    // that was there before this run.
    static void RemoveAfterRun(DlThread& job, int64_t runStartMs);
};

}
