#pragma once

#include "engine/Forward.h"
#include "engine/JobState.h"
#include "foundation/base/IObject.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/ITask.h"
#include "foundation/thread/ObjLocker.h"
#include "foundation/thread/Pool.h"
#include "foundation/thread/os/Thread.h"
#include "gui/listbox2/CellTypes.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// One entry of the download list: the link, the folder and options it is fetched with,
// everything the downloader has reported about it so far, and its log. The same object is the
// task its worker thread runs.
//
// Threads: the worker writes the numbers (TotalSize .. Eta) and the UI thread reads them; they
// are atomics so a reader sees a whole value, possibly one update old. `Lock` guards Url,
// OnlyMp3, FileName, FilePath and Log, the row and log-listener references, the test-and-start of
// the worker and the hand-back to the pool. Id, Password, Dir and Index are set before a run and
// not changed while one goes on.
//
// Jobs come from the pool (`DlThread::get()` or `Pooled<DlThread>`) and go back with release(),
// which gives every field its fresh value but keeps the worker thread for the next start.
//
// A job goes back to its pool only once its worker has let go of it. release() of a job whose
// worker still holds it does not wait (the caller is usually the UI thread, which the worker may
// be blocked on): it asks the run to stop, drops the row and the log listener so the rest of the
// run reaches neither, and leaves the hand-back to the worker, which does it as the very last
// thing of its run. So the pool never hands out a job that a worker still writes. A worker can
// neither wait for nor destroy its own thread, so the job pool never destroys a released job (it
// keeps as many as the list once held at most).
//
// References into pooled objects carry an id: the row with its 64-bit row id (the list tells a
// reused record by it), the log listener with the window's generation (a window released and
// taken again has another one).
class DlThread final : public base::IObject
    , public thread::IPoolable
    , public thread::ITask {
public:
    static constexpr uint32_t poolMaxFree = UINT32_MAX;

    static DlThread* get() { return static_cast<DlThread*>(thread::poolOf<DlThread>().get()); }
    // Back to the pool now, or, while a worker still holds the job, when its run ends (see above).
    void release() override;
    const char* className() const override { return "s_video_gui_dialogs_videodl_DlThread"; }
    base::IObject* newInstance() const override { return get(); }

    DlThread();
    ~DlThread() override;
    DlThread(const DlThread&) = delete;
    DlThread& operator=(const DlThread&) = delete;

    // The list row that shows this job, its row id, and the list that holds it; owned by the
    // list, none until the row is made. Under Lock; set with setRow (JobRow::Bind sets all three).
    s::gui::listbox2::Record* Row { nullptr };
    s::gui::listbox2::RowId rowId { 0 };
    s::gui::listbox2::ListBoxModel* RowList { nullptr };
    // The entry number shown in the "#" column.
    int32_t Index { 0 };
    // Bytes; -1 while unknown.
    std::atomic<int64_t> TotalSize { -1 };
    // Percent; -1.0 while unknown. 0..100 while running or done; a failed or cancelled run moves
    // a known value above 400 (see FoldFailedProgress) so that sorting puts it after finished ones.
    std::atomic<double> PercentDone { -1.0 };
    std::atomic<JobState> State { JobState::None };
    // Seconds of media the converter works on; -1 while unknown.
    std::atomic<int32_t> Duration { -1 };
    // Bytes per second; -1 while unknown.
    std::atomic<int64_t> Speed { -1 };
    // Milliseconds left; -1 while unknown.
    std::atomic<int64_t> Eta { -1 };
    // The site login.
    thread::Pooled<str::StrBuffer> Id;
    thread::Pooled<str::StrBuffer> Password;
    // The folder the tool saves into and runs in.
    thread::Pooled<str::StrBuffer> Dir;
    thread::Pooled<str::StrBuffer> Url;
    bool OnlyMp3 { false };
    // The output file name as the tool reported it, and Dir + "/" + that name.
    thread::Pooled<str::StrBuffer> FileName;
    thread::Pooled<str::StrBuffer> FilePath;
    // The tool's lines and the runner's notes.
    thread::Pooled<str::StrBuffer> Log;
    // The main window: it receives the job's events.
    s::gui::IWindow* Owner { nullptr };
    // The runner the worker uses: the program's shared one when none (tests give their own).
    const ToolRunner* Runner { nullptr };
    // The window whose details pane shows this job's log, or none, and its generation when it
    // was set. Under Lock; set with setLogListener by the UI thread while a worker may append.
    s::gui::IWindow* LogListener { nullptr };
    uint64_t logListenerGeneration { 0 };
    // When the worker ends, the job's files and its row go.
    std::atomic<bool> RemoveWhenDone { false };
    // With RemoveWhenDone: the downloaded file goes too, not only the partial ones.
    std::atomic<bool> DeleteFileWhenDone { false };
    // When the last rate event went out, ms since 1970 cut to a whole second. Publishing may run
    // on the worker and on the UI thread at once.
    std::atomic<int64_t> LastRateReport { 0 };
    // Made on the first start and kept for later starts, also across the pool.
    thread::Pooled<thread::os::Thread> Worker { nullptr };
    thread::ObjLocker Lock;
    std::atomic<bool> StopRequested { false };
    std::atomic<bool> Running { false };

    // Brings the job's row up to date after a change of a shown value and sends the rate event
    // when one is due. Does nothing while the job has no row.
    void PublishToRow();

    // The row that shows the job, with the id the list gave it; null to forget the row.
    void setRow(s::gui::listbox2::Record* row, s::gui::listbox2::RowId id);

    // The window whose details pane shows the log from now on, or null; its generation is taken
    // now, so a window that is released and reused later no longer hears this job.
    void setLogListener(s::gui::IWindow* window);

    // Appends to Log under Lock and sends the text as "ProcessUpdateLog" to the log listener,
    // when there is one and it is still the window it was when set.
    void appendLog(const str::StrBuffer& text);

    // Starts the worker unless it runs: under Lock sets Running, clears StopRequested, takes a
    // thread (below normal priority) on the first start and hands it the job. False for a job
    // that runs already or that was released.
    bool StartJob();

    // FileName := name and FilePath := Dir + "/" + name, under Lock. Does not publish.
    void SetFileName(std::u16string_view name);

    // Stops a running worker and waits for it, then forgets everything the last run reported:
    // numbers unknown, no state, no file name, path or log.
    void ResetProgress();

    // Deletes FilePath + ".part" and FilePath + ".download" where they are files. Like
    // DeleteFiles, deletes only inside an absolute Dir (see DownloadFolder::holds): a path that
    // leads elsewhere, or a job whose Dir is empty or relative, loses nothing.
    void DeletePartials();

    // Deletes the partial files and FilePath itself where they are files inside Dir.
    void DeleteFiles();

    bool IsCompletedIdle() const;

    // The size in bytes of the file at FilePath, when FilePath names an existing file (not a
    // folder); false otherwise.
    bool FileSizeOfPath(int64_t& size);

    // A copy of FilePath taken under Lock.
    thread::Pooled<str::StrBuffer> CopyFilePath();

    // Percentages above this are no progress any tool means (a tool's estimate may overshoot
    // 100 a little, and a failed run's value lies between 400 and 500).
    static constexpr double MaxPlausiblePercent = 1000.0;

    // The percentage itself when it is a figure of progress: finite and within
    // 0..MaxPlausiblePercent; -1 (unknown) otherwise.
    static double plausiblePercent(double percent);

    // The progress a run that did not succeed leaves behind: a known value is brought into
    // 0..100 and moved up by 400 (45.0 becomes 445.0, 445.0 stays); -1 stays -1, and so does
    // anything plausiblePercent does not take (infinity, NaN, 1e30, negative values).
    static double FoldFailedProgress(double percent);

    // The worker body: tells the owner that a download runs, runs it, tells the owner that it
    // ended, deletes the files of a job that was removed meanwhile, and lets go of the job
    // (handing it back to its pool when it was released meanwhile). Running stays set until
    // then, so no start slips in while the run still uses the job.
    void run() override;

    // Fresh values; the worker thread is kept.
    void reset() override;

private:
    void DeleteOwnFiles(bool withResult);

    // Under Lock: a worker holds the job (from StartJob to the end of its run), and a release
    // came meanwhile.
    bool m_workerHolds { false };
    bool m_releasePending { false };
};

}
