#pragma once

#include "engine/Forward.h"
#include "engine/runner/LineSplitter.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string_view>

namespace s::system::os {
class Process;
}

namespace s::video::gui::dialogs::videodl {

// Reads a started tool's output to its end and hands every line to the parser and to the job's
// log: decoded from UTF-8, cut where LineSplitter cuts, lines longer than the bound in pieces.
//
// Reads wait at most PollMs, so a stop request is seen while the tool is silent; a tool that has
// ended while something it started still holds the pipe open is noticed as well, and what it
// left in the pipe is still read.
class OutputReader {
public:
    // A line that grows this long without an end is handled in pieces.
    static constexpr size_t MaxLineBytes = 64 * 1024;
    // How often a silent tool is checked for a stop request and for its end.
    static constexpr int PollMs = 50;
    // How long a stopped tool's process group gets to end before it is killed.
    static constexpr int StopGraceMs = 400;

    OutputReader(DlThread& job, std::u16string_view tool);
    OutputReader(const OutputReader&) = delete;
    OutputReader& operator=(const OutputReader&) = delete;

    // Reads until the output ends. True when a stop ended the tool first: it is then terminated
    // with its whole group and reaped, and gives no exit code.
    bool run(system::os::Process& process, const std::atomic<bool>& stopRequested);

private:
    static constexpr size_t BufferSize = 64 * 1024;

    void feed(size_t count);
    void drain(system::os::Process& process, const std::atomic<bool>& stopRequested);
    void handleLine(std::string_view bytes);

    DlThread& m_job;
    std::u16string_view m_tool;
    LineSplitter m_splitter;
    std::unique_ptr<char[]> m_buffer;
    thread::Pooled<str::StrBuffer> m_line;
    thread::Pooled<str::StrBuffer> m_logText;
};

}
