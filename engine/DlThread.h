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

#include <atomic>
#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// One entry of the download list: the link, the folder and options it is fetched with,
// everything the downloader has reported about it so far, and its log. The same object is the
// task its worker thread runs.
//
// Threads: the worker writes the numbers (TotalSize .. Eta) and the UI thread reads them; they
// are atomics so a reader sees a whole value, possibly one update old. `Lock` guards Url,
// OnlyMp3, FileName, FilePath and Log, and the test-and-start of the worker. Id, Password, Dir
// and Index are set before a run and not changed while one goes on.
//
// Jobs come from the pool (`DlThread::get()` or `Pooled<DlThread>`) and go back with release(),
// which gives every field its fresh value but keeps the worker thread for the next start.
class DlThread final : public base::IObject
    , public thread::IPoolable
    , public thread::ITask {
    S_POOLED_CLASS(DlThread, "s_video_gui_dialogs_videodl_DlThread")
public:
    DlThread();
    ~DlThread() override;
    DlThread(const DlThread&) = delete;
    DlThread& operator=(const DlThread&) = delete;

    // The list row that shows this job; owned by the list, none until the row is made.
    s::gui::listbox2::Record* Row { nullptr };
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
    // The window whose details pane shows this job's log, or none; set by the UI thread while a
    // worker may be reading it.
    std::atomic<s::gui::IWindow*> LogListener { nullptr };
    // When the worker ends, the job's files and its row go.
    std::atomic<bool> RemoveWhenDone { false };
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
    // ended, and deletes the files of a job that was removed meanwhile.
    void run() override;

    // Fresh values; the worker thread is kept.
    void reset() override;

private:
    void DeleteOwnFiles(bool withResult);
};

}
