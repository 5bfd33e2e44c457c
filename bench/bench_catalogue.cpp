#include "engine/catalogue/LookUpSite.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string_view>

using namespace s::video::gui::dialogs::videodl;

namespace {

// A link no row matches is the slowest case: every position of it is tried against the tables.
void LookUpSiteMatchingNothing(benchmark::State& state)
{
    const std::u16string_view link = u"https://www.example.org/videos/2024/some-long-title-of-a-page.html?id=1234567&lang=en";
    for (auto _ : state) {
        SiteLookup result = LookUpSite(link, true);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(LookUpSiteMatchingNothing);

void LookUpSiteYoutube(benchmark::State& state)
{
    const std::u16string_view link = u"https://www.youtube.com/watch?v=dQw4w9WgXcQ";
    for (auto _ : state) {
        SiteLookup result = LookUpSite(link, true);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(LookUpSiteYoutube);

// A you-get site: every position is tried, since no row of the youtube-dl table may come first.
void LookUpSiteYouGet(benchmark::State& state)
{
    const std::u16string_view link = u"https://www.douyin.com/video/7251234567890123456";
    for (auto _ : state) {
        SiteLookup result = LookUpSite(link, true);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(LookUpSiteYouGet);

// For scale: the same answer from a walk over every row with a first-unit filter, no index.
char16_t Fold(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + 32) : unit;
}

const SiteRow* PlainWalk(std::u16string_view link)
{
    for (const SiteTable* table : { &YoutubeDlSites(), &YouGetSites() }) {
        for (const SiteRow* row = table->rows; !row->isEnd(); ++row) {
            const std::u16string_view match = row->match;
            for (std::size_t at = 0; at + match.size() <= link.size(); ++at) {
                if (Fold(link[at]) != match[0])
                    continue;
                std::size_t i = 1;
                while (i < match.size() && Fold(link[at + i]) == match[i])
                    ++i;
                if (i == match.size())
                    return row;
            }
        }
    }
    return nullptr;
}

void PlainWalkMatchingNothing(benchmark::State& state)
{
    const std::u16string_view link = u"https://www.example.org/videos/2024/some-long-title-of-a-page.html?id=1234567&lang=en";
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainWalk(link));
}
BENCHMARK(PlainWalkMatchingNothing);

}
