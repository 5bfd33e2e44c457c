// The text buffer against std::u16string (append, find, replace, compare) and against glibc's
// iconv (UTF-8 encode and decode). Pairs are named ".../StrBuffer" and ".../Std" or ".../Iconv".

#include "foundation/str/StrBuffer.h"

#include <benchmark/benchmark.h>

#include <iconv.h>
#include <string>
#include <vector>

using s::str::StrBuffer;
using s::thread::Pooled;

namespace {

// A tool-output-like line mix: mostly ASCII with some accented and CJK text.
std::u16string sampleText(size_t units, bool ascii)
{
    static const std::u16string_view ascii_[] = { u"[download]  42.3% of 12.34MiB at  1.21MiB/s ETA 00:07\n", u"https://www.example.org/watch?v=abcdefghijk\n" };
    static const std::u16string_view mixed[] = { u"Café au lait — été à Paris ", u"東京タワーの夜景 4K HDR ", u"[download] Destination: Grüße.mp4\n" };
    std::u16string out;
    for (size_t i = 0; out.size() < units; ++i)
        out += ascii ? ascii_[i % 2] : mixed[i % 3];
    out.resize(units);
    return out;
}

constexpr size_t textUnits = 4096;

// --- append ---

void appendUnits_StrBuffer(benchmark::State& state)
{
    Pooled<StrBuffer> text;
    for (auto _ : state) {
        text->clear();
        for (int i = 0; i < 1000; ++i)
            text->append(static_cast<char16_t>(u'a' + (i & 15)));
        benchmark::DoNotOptimize(text->units());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

void appendUnits_Std(benchmark::State& state)
{
    std::u16string text;
    for (auto _ : state) {
        text.clear();
        for (int i = 0; i < 1000; ++i)
            text.push_back(static_cast<char16_t>(u'a' + (i & 15)));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

void appendPieces_StrBuffer(benchmark::State& state)
{
    const std::u16string_view piece = u"segment-0042/";
    for (auto _ : state) {
        Pooled<StrBuffer> text; // from the pool, as the program does
        for (int i = 0; i < 100; ++i)
            text->append(piece);
        benchmark::DoNotOptimize(text->units());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

void appendPieces_Std(benchmark::State& state)
{
    const std::u16string_view piece = u"segment-0042/";
    for (auto _ : state) {
        std::u16string text;
        for (int i = 0; i < 100; ++i)
            text.append(piece);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

// --- find ---

void findUnit_StrBuffer(benchmark::State& state)
{
    auto text = StrBuffer::make(sampleText(textUnits, true));
    text->append(u'#');
    for (auto _ : state) {
        uint32_t at = 0;
        benchmark::DoNotOptimize(text->indexOf(u'#', at));
        benchmark::DoNotOptimize(at);
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void findUnit_Std(benchmark::State& state)
{
    std::u16string text = sampleText(textUnits, true) + u'#';
    for (auto _ : state)
        benchmark::DoNotOptimize(text.find(u'#'));
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void findText_StrBuffer(benchmark::State& state)
{
    auto text = StrBuffer::make(sampleText(textUnits, true));
    text->append(u"ETA 99:99");
    for (auto _ : state) {
        uint32_t at = 0;
        benchmark::DoNotOptimize(text->indexOf(u"ETA 99:99", at));
        benchmark::DoNotOptimize(at);
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void findText_Std(benchmark::State& state)
{
    std::u16string text = sampleText(textUnits, true) + u"ETA 99:99";
    for (auto _ : state)
        benchmark::DoNotOptimize(text.find(u"ETA 99:99"));
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void lastIndexOfUnit_StrBuffer(benchmark::State& state)
{
    auto text = StrBuffer::make(u"#");
    text->append(sampleText(textUnits, true));
    for (auto _ : state) {
        uint32_t at = 0;
        benchmark::DoNotOptimize(text->lastIndexOf(u'#', at));
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void lastIndexOfUnit_Std(benchmark::State& state)
{
    std::u16string text(1, u'#');
    text += sampleText(textUnits, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(text.rfind(u'#'));
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

// --- replace ---

// The usual std::u16string way: scan with find and build the result.
std::u16string stdReplaceAll(const std::u16string& text, std::u16string_view from, std::u16string_view to)
{
    std::u16string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t at; (at = text.find(from, start)) != std::u16string::npos; start = at + from.size()) {
        out.append(text, start, at - start);
        out.append(to);
    }
    out.append(text, start);
    return out;
}

template<bool Grow>
void replace_StrBuffer(benchmark::State& state)
{
    const std::u16string source = sampleText(textUnits, true);
    Pooled<StrBuffer> text;
    for (auto _ : state) {
        text->assign(source);
        benchmark::DoNotOptimize(Grow ? text->replaceAll(u"MiB", u"mebibytes") : text->replaceAll(u"MiB", u"M"));
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

template<bool Grow>
void replace_Std(benchmark::State& state)
{
    const std::u16string source = sampleText(textUnits, true);
    std::u16string text;
    for (auto _ : state) {
        text = source;
        text = Grow ? stdReplaceAll(text, u"MiB", u"mebibytes") : stdReplaceAll(text, u"MiB", u"M");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

// --- compare ---

void compare_StrBuffer(benchmark::State& state)
{
    std::u16string base = sampleText(256, true);
    auto a = StrBuffer::make(base);
    base.back() = u'~';
    auto b = StrBuffer::make(base);
    for (auto _ : state)
        benchmark::DoNotOptimize(a->compare(b.get()));
}

void compare_Std(benchmark::State& state)
{
    std::u16string a = sampleText(256, true);
    std::u16string b = a;
    b.back() = u'~';
    for (auto _ : state)
        benchmark::DoNotOptimize(a.compare(b));
}

// --- UTF-8 ---

struct Converter {
    iconv_t cd;
    Converter(const char* to, const char* from)
        : cd(iconv_open(to, from))
    {
    }
    ~Converter() { iconv_close(cd); }
};

void utf8Encode_StrBuffer(benchmark::State& state)
{
    auto text = StrBuffer::make(sampleText(textUnits, state.range(0) != 0));
    std::string out;
    for (auto _ : state) {
        out = text->toStdUtf8();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void utf8Encode_Iconv(benchmark::State& state)
{
    std::u16string text = sampleText(textUnits, state.range(0) != 0);
    Converter conv("UTF-8", "UTF-16LE");
    std::string out(text.size() * 3, '\0');
    for (auto _ : state) {
        char* in = reinterpret_cast<char*>(text.data());
        size_t inLeft = text.size() * 2;
        char* o = out.data();
        size_t outLeft = out.size();
        iconv(conv.cd, &in, &inLeft, &o, &outLeft);
        benchmark::DoNotOptimize(o);
    }
    state.SetBytesProcessed(state.iterations() * textUnits * 2);
}

void utf8Decode_StrBuffer(benchmark::State& state)
{
    std::string bytes = StrBuffer::make(sampleText(textUnits, state.range(0) != 0))->toStdUtf8();
    Pooled<StrBuffer> text;
    for (auto _ : state) {
        text->fromUtf8(bytes.data(), static_cast<int64_t>(bytes.size()));
        benchmark::DoNotOptimize(text->units());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void utf8Decode_Iconv(benchmark::State& state)
{
    std::string bytes = StrBuffer::make(sampleText(textUnits, state.range(0) != 0))->toStdUtf8();
    Converter conv("UTF-16LE", "UTF-8");
    std::u16string out(bytes.size(), u'\0');
    for (auto _ : state) {
        char* in = bytes.data();
        size_t inLeft = bytes.size();
        char* o = reinterpret_cast<char*>(out.data());
        size_t outLeft = out.size() * 2;
        iconv(conv.cd, &in, &inLeft, &o, &outLeft);
        benchmark::DoNotOptimize(o);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

}

BENCHMARK(appendUnits_StrBuffer);
BENCHMARK(appendUnits_Std);
BENCHMARK(appendPieces_StrBuffer);
BENCHMARK(appendPieces_Std);
BENCHMARK(findUnit_StrBuffer);
BENCHMARK(findUnit_Std);
BENCHMARK(findText_StrBuffer);
BENCHMARK(findText_Std);
BENCHMARK(lastIndexOfUnit_StrBuffer);
BENCHMARK(lastIndexOfUnit_Std);
BENCHMARK(replace_StrBuffer<false>)->Name("replaceShrink_StrBuffer");
BENCHMARK(replace_Std<false>)->Name("replaceShrink_Std");
BENCHMARK(replace_StrBuffer<true>)->Name("replaceGrow_StrBuffer");
BENCHMARK(replace_Std<true>)->Name("replaceGrow_Std");
BENCHMARK(compare_StrBuffer);
BENCHMARK(compare_Std);
BENCHMARK(utf8Encode_StrBuffer)->Arg(1)->Arg(0)->ArgName("ascii");
BENCHMARK(utf8Encode_Iconv)->Arg(1)->Arg(0)->ArgName("ascii");
BENCHMARK(utf8Decode_StrBuffer)->Arg(1)->Arg(0)->ArgName("ascii");
BENCHMARK(utf8Decode_Iconv)->Arg(1)->Arg(0)->ArgName("ascii");

namespace {
void poolGetRelease_StrBuffer(benchmark::State& state)
{
    for (auto _ : state) {
        Pooled<StrBuffer> text;
        benchmark::DoNotOptimize(text.get());
    }
}
void appendPiecesHeld_StrBuffer(benchmark::State& state)
{
    const std::u16string_view piece = u"segment-0042/";
    Pooled<StrBuffer> text;
    for (auto _ : state) {
        text->clear();
        for (int i = 0; i < 100; ++i)
            text->append(piece);
        benchmark::DoNotOptimize(text->units());
    }
}
}
BENCHMARK(poolGetRelease_StrBuffer);
BENCHMARK(appendPiecesHeld_StrBuffer);
