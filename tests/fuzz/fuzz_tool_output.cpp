// Feeds arbitrary downloader output through the line splitter and the output parser, as the
// runner does, and checks what must hold whatever a tool prints.
//
// Input layout: byte 0 picks the tool (bit 0), a converter duration (bits 1-2) and a small line
// bound (bit 3); the rest is the tool's output.

#include "engine/DlThread.h"
#include "engine/DownloadFolder.h"
#include "engine/ToolOutputParser.h"
#include "engine/runner/LineSplitter.h"
#include "foundation/str/StrBuffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace s::video::gui::dialogs::videodl;
using s::thread::Pooled;

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        __builtin_fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    std::string_view output(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::u16string_view tool = (mode & 1) ? ToolYouGet : ToolYoutubeDl;
    const size_t maxLine = (mode & 8) ? 16 : LineSplitter::DefaultMaxLineBytes;

    Pooled<DlThread> job;
    job->Dir->assign(u"/nonexistent-fuzz-folder");
    job->Duration = static_cast<int32_t>((mode >> 1) & 3) * 30 - 1; // -1, 29, 59, 89

    LineSplitter splitter(maxLine);
    Pooled<s::str::StrBuffer> line;
    size_t consumed = 0;
    splitter.feed(output, [&](std::string_view bytes) {
        check(bytes.size() <= maxLine, "a line stays within the bound");
        check(bytes.find('\r') == std::string_view::npos, "a carriage return belongs to no line");
        check(bytes.find('\n', 1) == std::string_view::npos, "a line feed can only begin a line");
        consumed += bytes.size();
        line->assignUtf8(bytes);
        ParseToolLine(*job, line->view(), tool);

        auto state = static_cast<int32_t>(job->State.load());
        check(state >= -1 && state <= 10, "the state is one of the job's states");
        double percent = job->PercentDone.load();
        check(percent == -1.0 || (percent >= 0.0 && percent <= DlThread::MaxPlausiblePercent), "a percentage is unknown or a figure of progress");
        check(DlThread::FoldFailedProgress(percent) == -1.0 || DlThread::FoldFailedProgress(percent) >= 400.0, "a failed run's progress folds");
        if (job->FileName->length() > 0)
            check(DownloadFolder::acceptsName(job->Dir->view(), job->FileName->view()), "a file name stays in the folder");
        if (job->FilePath->length() > 0) {
            std::u16string expected(job->Dir->view());
            expected += u'/';
            expected += job->FileName->view();
            check(job->FilePath->view() == expected, "the path is the folder and the name");
        }
    });
    check(consumed + splitter.pending().size() <= output.size(), "lines are made of the output's bytes");
    return 0;
}
