#pragma once

#include "engine/Forward.h"

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace s::video::gui::dialogs::videodl {

class LaunchGate;
class ToolLocator;

// Runs one job's downloader: picks the tool for the link, waits for a launch slot, starts the
// tool in the job's folder, reads its output through an OutputReader and ends the job Completed,
// Canceled or in Error; an old-build attempt that fails is followed by one with the current build.
//
// A runner is made of the tools it starts (a ToolLocator) and the gate its starts pass (a
// LaunchGate); the program's workers share one (shared()), tests make their own.
class ToolRunner {
public:
    ToolRunner(const ToolLocator& tools, LaunchGate& gate);
    ToolRunner(const ToolRunner&) = delete;
    ToolRunner& operator=(const ToolRunner&) = delete;

    // The program's own tools behind the gate of all its workers.
    static ToolRunner& shared();

    const ToolLocator& tools() const { return m_tools; }
    LaunchGate& gate() const { return m_gate; }

    // Runs the job's download to its end. Every output line goes to the parser and to the job's
    // log (and its LogListener); "\nExit Code: N\n" follows the output of a tool that ended by
    // itself. `stopRequested` is watched throughout: a stop is seen within about 100 ms, also
    // while the tool prints nothing, and ends the tool's whole process group. A tool that cannot
    // be started, or a folder that cannot be made, leaves one line in the log that says why and
    // what to do, and the job in Error (a missing old build of youtube-dl is simply skipped for
    // the current one).
    void RunTool(DlThread& job, std::u16string_view url, std::u16string_view dir, const std::atomic<bool>& stopRequested) const;

    // The variables a tool gets on top of the program's environment: plain UTF-8 through the
    // pipe, output as it is printed, no colour codes.
    static const std::vector<std::string>& ToolEnvironment();

private:
    const ToolLocator& m_tools;
    LaunchGate& m_gate;
};

}
