#include "formats/lang/EmbeddedLangPack.h"
#include "formats/lang/Localizer.h"
#include "formats/xml/Node.h"

#include <benchmark/benchmark.h>

using s::lang::EmbeddedLangPack;
using s::lang::Localizer;
using s::thread::Pooled;

namespace {

// What start-up pays for the language pack: decode and parse the shipped document, then build
// all 37 languages with their fallback texts.
void BM_LoadShippedPack(benchmark::State& state)
{
    auto bytes = EmbeddedLangPack::bytes();
    for (auto _ : state) {
        Pooled<Localizer> localizer;
        localizer->setSystemLanguageName(u"English");
        Pooled<s::xml::Node> root;
        root->parseBytes(bytes.data(), bytes.size());
        localizer->load(root.get());
        benchmark::DoNotOptimize(localizer->currentLanguage());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadShippedPack)->Unit(benchmark::kMillisecond);

// Relabelling a window: every id of the pack looked up once in the current language.
void BM_RelabelAllTexts(benchmark::State& state)
{
    auto bytes = EmbeddedLangPack::bytes();
    Pooled<Localizer> localizer;
    localizer->setSystemLanguageName(u"Japanese");
    Pooled<s::xml::Node> root;
    root->parseBytes(bytes.data(), bytes.size());
    localizer->load(root.get());
    auto* pack = localizer->currentLanguage();
    for (auto _ : state) {
        size_t total = 0;
        for (uint32_t i = 0; i < pack->textCount(); ++i)
            total += localizer->text(pack->idAt(i)).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pack->textCount()));
}
BENCHMARK(BM_RelabelAllTexts);

}
