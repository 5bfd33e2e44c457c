#pragma once

#include "engine/Forward.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace s::video::gui::dialogs::videodl {

// How one attempt starts its tool. `Text` is the command line as one text, the way the runner
// decides on the old build and the merge option and the way tests and logs show it; the process
// itself gets `Arguments`, built from the same pieces: the tool file, the options, "--" and the
// link last, so neither link nor login can turn into an option of the tool.
struct ToolCommand {
    thread::Pooled<str::StrBuffer> Text;
    std::vector<std::string> Arguments;
    // The attempt runs the old build of youtube-dl.
    bool OldTool { false };
};

// What a command is built from: the job's options and the attempt number (0 for the first).
struct ToolRequest {
    std::u16string_view Tool;
    std::u16string_view Url;
    std::u16string_view Id;
    std::u16string_view Password;
    bool OnlyMp3 { false };
    int32_t Attempt { 0 };
};

class ToolRunner {
public:
    // Tool starts of all workers are this far apart at least.
    static constexpr int64_t LaunchSpacingMs = 1000;
    // A line that grows this long without an end is handled in pieces.
    static constexpr size_t MaxLineBytes = 64 * 1024;
    // How long a stopped tool's process group gets to end before it is killed.
    static constexpr int StopGraceMs = 400;
    // How often a silent tool is checked for a stop request and for its end.
    static constexpr int PollMs = 50;

    // Runs the job's download to its end, one attempt after the other (an old-build attempt that
    // fails is followed by one with the current build): picks the tool for the link, waits for a
    // launch slot, starts the tool in `dir`, feeds every output line to the parser and the job's
    // log (and to its LogListener as "ProcessUpdateLog"), and leaves the job Completed, Canceled
    // or in Error. `stopRequested` is watched throughout: a stop is seen within about 100 ms,
    // also while the tool prints nothing, and ends the tool's whole process group.
    static void RunTool(DlThread& job, std::u16string_view url, std::u16string_view dir, const std::atomic<bool>& stopRequested);

    // The command line of one attempt, built in `programDir` (the folder whose "vdl" holds the
    // tools). Exactly: the tool file ("vdl/youtube-dl " or "vdl/you-get  "), the quoted link, the
    // login, the options; for a YouTube link that is not MP3-only the first attempt runs
    // "youtube-dl_old " instead, and every youtube-dl command still naming "youtube-dl " ends in
    // " --merge-output-format mkv". Texts go in as they are; only Arguments are what runs.
    static ToolCommand BuildCommand(const ToolRequest& request, std::u16string_view programDir);

    // The file that runs for a tool: "vdl/<name>" in the program folder when it is there, else
    // for youtube-dl "yt-dlp" or "youtube-dl" on the PATH, for you-get "you-get" on the PATH; the
    // old build only from "vdl". The "vdl" path when nothing is found (its start then fails).
    static std::string ToolFile(std::u16string_view tool, bool oldTool, std::u16string_view programDir);

    // The folder whose "vdl" folder holds the tools, with a trailing "/": the folder of the
    // program's own executable unless SetProgramDir chose another.
    static thread::Pooled<str::StrBuffer> ProgramDir();
    static void SetProgramDir(std::u16string_view dir);

    // Takes the next launch slot: slots of all workers are at least LaunchSpacingMs apart, and a
    // tool starts only after its worker took one. Waits in steps of at most 100 ms; false, with
    // no slot taken, when a stop is asked for meanwhile. `taken` receives the slot's time.
    static bool WaitForLaunchSlot(const std::atomic<bool>& stopRequested, std::chrono::steady_clock::time_point* taken = nullptr);

    // Lets the next tool start at once, whenever the last one started (for tests that must not
    // depend on one another's timing).
    static void ForgetLaunches();

    // The variables a tool gets on top of the program's environment: plain UTF-8 through the
    // pipe, output as it is printed, no colour codes.
    static const std::vector<std::string>& ToolEnvironment();
};

}
