// Lines per second through the downloader output parser, on real yt-dlp transcripts.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFETCHWICK_TESTS=OFF -DFETCHWICK_BENCH=ON
//   cmake --build build-bench --target bench_parser && build-bench/bench/bench_parser

#include "engine/DlThread.h"
#include "engine/ToolOutputParser.h"
#include "engine/runner/LineSplitter.h"
#include "foundation/str/StrBuffer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
using s::thread::Pooled;

namespace {

const char* const Transcripts[] = {
    "yt-dlp-2023.03.04-plain.out",
    "yt-dlp-2023.03.04-mp3.out",
    "yt-dlp-2023.03.04-merge.out",
    "yt-dlp-2023.03.04-already.out",
    "yt-dlp-2023.03.04-http404.out",
};

std::string AllTranscriptBytes()
{
    std::string bytes;
    for (const char* name : Transcripts) {
        std::ifstream in(std::filesystem::path(FETCHWICK_SOURCE_DIR) / "tests/engine/data/tool-output" / name, std::ios::binary);
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
}

std::vector<std::u16string> AllTranscriptLines()
{
    std::vector<std::u16string> lines;
    LineSplitter splitter;
    Pooled<s::str::StrBuffer> line;
    splitter.feed(AllTranscriptBytes(), [&](std::string_view bytes) {
        line->assignUtf8(bytes);
        lines.emplace_back(line->view());
    });
    return lines;
}

Pooled<DlThread> MakeJob()
{
    Pooled<DlThread> job;
    job->Dir->assign(std::filesystem::temp_directory_path().u16string() + u"/fetchwick-bench-none");
    return job;
}

// Every line of the recorded downloads (most are progress lines), as the runner hands them over.
void BM_ParseToolLine_Transcripts(benchmark::State& state)
{
    std::vector<std::u16string> lines = AllTranscriptLines();
    Pooled<DlThread> job = MakeJob();
    for (auto _ : state) {
        for (const std::u16string& line : lines)
            ParseToolLine(*job, line, ToolYoutubeDl);
        benchmark::DoNotOptimize(job->PercentDone.load());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_ParseToolLine_Transcripts);

// The commonest line: one progress update.
void BM_ParseToolLine_ProgressLine(benchmark::State& state)
{
    const std::u16string line = u"[download]  37.5% of    1.33MiB at  390.32KiB/s ETA 00:02";
    Pooled<DlThread> job = MakeJob();
    for (auto _ : state) {
        ParseToolLine(*job, line, ToolYoutubeDl);
        benchmark::DoNotOptimize(job->Eta.load());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseToolLine_ProgressLine);

// Raw output bytes to parsed lines: splitting, UTF-8 decoding and parsing together.
void BM_SplitDecodeParse_Transcripts(benchmark::State& state)
{
    std::string bytes = AllTranscriptBytes();
    Pooled<DlThread> job = MakeJob();
    Pooled<s::str::StrBuffer> line;
    LineSplitter splitter;
    int64_t lines = 0;
    for (auto _ : state) {
        splitter.feed(bytes, [&](std::string_view lineBytes) {
            line->assignUtf8(lineBytes);
            ParseToolLine(*job, line->view(), ToolYoutubeDl);
            ++lines;
        });
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_SplitDecodeParse_Transcripts);

}
