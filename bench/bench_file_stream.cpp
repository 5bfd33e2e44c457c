#include "foundation/col/ArrayU08.h"
#include "foundation/file/os/FileOutputStream.h"
#include "foundation/file/os/Path.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

using s::file::os::FileOutputStream;
using s::file::os::Path;
using s::thread::Pooled;

namespace {

std::string scratchFile()
{
    return (std::filesystem::temp_directory_path() / ("fetchwick-bench-" + std::to_string(getpid()))).string();
}

size_t g_systemWrites = 0;
ssize_t countedWrite(int fd, const void* data, size_t count)
{
    ++g_systemWrites;
    return ::write(fd, data, count);
}

// An XML document or list file is written in many small pieces (a tag, a value): 4 MiB in
// 100-byte writes through the stream's buffer.
void SmallWritesThroughTheBuffer(benchmark::State& state)
{
    std::string file = scratchFile();
    char piece[100] = {};
    g_systemWrites = 0;
    for (auto _ : state) {
        Pooled<FileOutputStream> out = Path::makeUtf8(file)->openForWriting();
        out->setWriteFunction(countedWrite);
        uint32_t written = 0;
        for (int i = 0; i < 4 * 1024 * 1024 / 100; ++i)
            out->write(piece, sizeof piece, written);
        out->close();
    }
    state.SetBytesProcessed(state.iterations() * (4 * 1024 * 1024 / 100) * 100);
    state.counters["system writes per file"] = static_cast<double>(g_systemWrites) / state.iterations();
    std::filesystem::remove(file);
}
BENCHMARK(SmallWritesThroughTheBuffer)->Unit(benchmark::kMillisecond);

// The same pieces, one system write each: what the buffer saves.
void SmallWritesUnbuffered(benchmark::State& state)
{
    std::string file = scratchFile();
    char piece[100] = {};
    for (auto _ : state) {
        int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        for (int i = 0; i < 4 * 1024 * 1024 / 100; ++i)
            benchmark::DoNotOptimize(::write(fd, piece, sizeof piece));
        close(fd);
    }
    state.SetBytesProcessed(state.iterations() * (4 * 1024 * 1024 / 100) * 100);
    std::filesystem::remove(file);
}
BENCHMARK(SmallWritesUnbuffered)->Unit(benchmark::kMillisecond);

// Reading a whole 4 MiB file into one exact-size array.
void ReadAll(benchmark::State& state)
{
    std::string file = scratchFile();
    Pooled<Path> path = Path::makeUtf8(file);
    std::string data(4 * 1024 * 1024, 'x');
    path->writeAll(data.data(), data.size());
    Pooled<s::col::_array::ArrayU08> bytes;
    for (auto _ : state) {
        path->readAll(*bytes);
        benchmark::DoNotOptimize(bytes->data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
    std::filesystem::remove(file);
}
BENCHMARK(ReadAll)->Unit(benchmark::kMillisecond);

}
