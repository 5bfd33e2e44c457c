// Megabytes per second of tool output that the runner reads, cuts into lines, parses and logs
// (with a window listening to the log), from a fake tool that replays a large recorded yt-dlp
// transcript as fast as the pipe takes it.

#include "engine/DlThread.h"
#include "engine/JobState.h"
#include "engine/WorkerEvents.h"
#include "engine/runner/LaunchGate.h"
#include "engine/runner/ToolLocator.h"
#include "engine/runner/ToolRunner.h"
#include "foundation/str/StrBuffer.h"
#include "gui/IWindow.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace s::video::gui::dialogs::videodl;
namespace fs = std::filesystem;

namespace {

// Takes each log text the way a details pane would: looks at every unit once.
class CountingWindow final : public s::gui::IWindow {
public:
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t, intptr_t) override
    {
        if (name == ProcessUpdateLog)
            units += reinterpret_cast<const s::str::StrBuffer*>(a1)->length();
        return 0;
    }
    uint64_t units { 0 };
};

struct Setup {
    Setup()
    {
        std::string pattern = (fs::temp_directory_path() / "fetchwick-bench-runner-XXXXXX").string();
        root = mkdtemp(pattern.data());
        fs::create_directories(root / "vdl");
        fs::create_directories(root / "downloads");
        fs::create_symlink(fs::path(FETCHWICK_SOURCE_DIR) / "tests/engine/tools/fake-downloader", root / "vdl" / "youtube-dl");

        // The three recorded transcripts, over and over, to about 16 MB.
        std::string once;
        for (const char* name : { "yt-dlp-2023.03.04-plain.out", "yt-dlp-2023.03.04-merge.out", "yt-dlp-2023.03.04-mp3.out" }) {
            std::ifstream in(fs::path(BENCH_DATA_DIR) / name, std::ios::binary);
            once.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        transcript = root / "transcript.out";
        std::ofstream out(transcript, std::ios::binary);
        while (bytes < 16u * 1024 * 1024) {
            out << once;
            bytes += once.size();
        }
        locator = std::make_unique<ToolLocator>(s::str::StrBuffer::makeUtf8(root.string())->view());
    }
    ~Setup() { fs::remove_all(root); }

    fs::path root;
    std::unique_ptr<ToolLocator> locator;
    fs::path transcript;
    uint64_t bytes { 0 };
};

void BM_RunnerThroughput(benchmark::State& state)
{
    static Setup setup;
    auto url = s::str::StrBuffer::makeUtf8("replay:" + setup.transcript.string());
    auto dir = s::str::StrBuffer::makeUtf8((setup.root / "downloads").string());
    uint64_t units = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A gate of its own for each run: the benchmark measures reading, not launch spacing.
        LaunchGate gate;
        CountingWindow window;
        s::thread::Pooled<DlThread> job;
        job->Url->assign(url->view());
        job->Dir->assign(dir->view());
        job->setLogListener(&window);
        state.ResumeTiming();

        ToolRunner(*setup.locator, gate).RunTool(*job, job->Url->view(), job->Dir->view(), job->StopRequested);

        state.PauseTiming();
        if (job->State.load() != JobState::Completed)
            state.SkipWithError("the replay did not complete");
        units += window.units;
        job.replace();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * setup.bytes));
    state.counters["log_units"] = benchmark::Counter(static_cast<double>(units), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RunnerThroughput)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}
