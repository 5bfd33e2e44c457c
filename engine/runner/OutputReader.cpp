#include "engine/runner/OutputReader.h"

#include "engine/DlThread.h"
#include "engine/ToolOutputParser.h"
#include "foundation/system/os/Process.h"

#include <chrono>

namespace s::video::gui::dialogs::videodl {

using Clock = std::chrono::steady_clock;
using system::os::Process;

namespace {

constexpr auto ExitCheckInterval = std::chrono::milliseconds(100);
constexpr auto DrainLimit = std::chrono::milliseconds(200);

}

OutputReader::OutputReader(DlThread& job, std::u16string_view tool)
    : m_job(job)
    , m_tool(tool)
    , m_splitter(MaxLineBytes)
    , m_buffer(std::make_unique<char[]>(BufferSize))
{
}

bool OutputReader::run(Process& process, const std::atomic<bool>& stopRequested)
{
    Clock::time_point nextExitCheck = Clock::now() + ExitCheckInterval;
    for (;;) {
        if (stopRequested) {
            int ignored = 0;
            process.terminate(ignored, StopGraceMs);
            return true;
        }
        size_t count = 0;
        Process::Read result = process.read(m_buffer.get(), BufferSize, count, PollMs);
        if (result == Process::Read::Ended)
            return false;
        if (result == Process::Read::Data)
            feed(count);
        // The tool may have ended while something it started still holds the pipe open: then
        // take what it wrote and stop listening.
        if (result == Process::Read::Idle || Clock::now() >= nextExitCheck) {
            nextExitCheck = Clock::now() + ExitCheckInterval;
            if (process.exited()) {
                drain(process, stopRequested);
                return false;
            }
        }
    }
}

void OutputReader::feed(size_t count)
{
    m_splitter.feed(std::string_view(m_buffer.get(), count), [this](std::string_view bytes) { handleLine(bytes); });
}

// Everything the ended tool left in the pipe; a helper that goes on writing is cut off.
void OutputReader::drain(Process& process, const std::atomic<bool>& stopRequested)
{
    Clock::time_point limit = Clock::now() + DrainLimit;
    while (!stopRequested && Clock::now() < limit) {
        size_t count = 0;
        if (process.read(m_buffer.get(), BufferSize, count, 0) != Process::Read::Data)
            return;
        feed(count);
    }
}

void OutputReader::handleLine(std::string_view bytes)
{
    m_line->assignUtf8(bytes);
    ParseToolLine(m_job, m_line->view(), m_tool);
    m_logText->assign(m_line->view());
    m_logText->append(u'\n');
    m_job.appendLog(*m_logText);
}

}
