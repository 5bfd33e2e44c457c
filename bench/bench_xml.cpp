// Reading and writing a download-list-shaped document of 10,000 entries (about 5 MB of UTF-8),
// beside pugixml on the same bytes. Our reader decodes UTF-8 to UTF-16 first; that decode is part
// of the measured time. Compare BM_XmlParse with BM_PugiParse and BM_XmlWrite with BM_PugiWrite;
// BM_XmlSave adds the safe replacement of the file on disk.
#include "formats/xml/Node.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/str/StrBuffer.h"

#include <benchmark/benchmark.h>

#ifdef HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

using s::str::StrBuffer;
using s::thread::Pooled;
using s::xml::Node;

namespace {

// The list file's shape: a root, the window's login boxes, and one element per job with its
// fields as attributes (credentials letter-coded, titles in many scripts).
const std::string& documentBytes()
{
    static const std::string bytes = [] {
        Pooled<Node> root;
        root->setName(u"VideoDlXml");
        Node* info = root->addChild(u"Info");
        info->setString(u"Software", u"Fetchwick");
        info->setString(u"Version", u"0.1.0");
        Node* list = root->addChild(u"DlList");
        list->setU32(u"Count", 10000);
        const char16_t* titles[] = {
            u"Concert live \u2014 full show (2019) [HD]",
            u"\u041a\u0430\u043a \u043f\u0440\u0438\u0433\u043e\u0442\u043e\u0432\u0438\u0442\u044c \u0431\u043e\u0440\u0449 & \u043f\u0438\u0440\u043e\u0433\u0438",
            u"\u65e5\u672c\u8a9e\u306e\u30bf\u30a4\u30c8\u30eb \U0001F3B5 \u97f3\u697d",
            u"Tutorial: \"quotes\" <tags> and 100% of the rest",
        };
        for (int i = 0; i < 10000; ++i) {
            Node* item = list->addChild(u"Item");
            std::u16string n = std::u16string(StrBuffer::makeUtf8(std::to_string(i))->view());
            item->setString(u"Url", (u"https://www.example-video-site.com/watch?v=abcDEF" + n + u"&list=PL0123456789&index=" + n).c_str());
            item->setString(u"Title", titles[i % 4]);
            item->setString(u"FileName", (u"/home/user/Videos/" + std::u16string(titles[i % 4]) + u" " + n + u".mp4").c_str());
            item->setString(u"Dir", u"/home/user/Videos");
            item->setString(u"Tool", u"youtube-dl");
            item->setS64(u"TotalSize", 1234567890ll + i);
            item->setS64(u"Downloaded", 987654321ll + i);
            item->setDouble(u"Progress", 42.5 + (i % 50));
            item->setS32(u"State", i % 11 - 1);
            item->setS64(u"Speed", 1048576 + i);
            item->setS64(u"Eta", 3600 - i % 3600);
            item->setS64(u"CreateTime", 1765000000000ll + i * 1000ll);
            item->setS32(u"Id", i);
            item->setU32(u"AudioOnly", i % 2);
            item->setString(u"Format", u"bestvideo+bestaudio/best");
            item->setString(u"User", u"KDJMAPBNCGHELOFIKDJMAPBN");
            item->setString(u"Pass", u"BNCGHELOFIKDJMAPBNCGHELOFIKDJMAP");
            item->setString(u"Referer", u"https://www.example-video-site.com/");
        }
        Pooled<s::col::_array::ArrayU08> utf8 = Pooled<s::col::_array::ArrayU08>::adopt(root->toUtf8Bytes());
        return std::string(reinterpret_cast<const char*>(utf8->items()), utf8->count());
    }();
    return bytes;
}

void BM_XmlParse(benchmark::State& state)
{
    const std::string& bytes = documentBytes();
    for (auto _ : state) {
        Pooled<Node> root;
        root->parseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        benchmark::DoNotOptimize(root->childCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["document_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_XmlParse)->Unit(benchmark::kMillisecond);

void BM_XmlWrite(benchmark::State& state)
{
    const std::string& bytes = documentBytes();
    Pooled<Node> root;
    root->parseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (auto _ : state) {
        Pooled<s::col::_array::ArrayU08> out = Pooled<s::col::_array::ArrayU08>::adopt(root->toUtf8Bytes());
        if (out->count() != bytes.size())
            state.SkipWithError("the written document differs in size");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_XmlWrite)->Unit(benchmark::kMillisecond);

// The whole save as the program does it: written, then replacing the file through a temporary
// with both fsyncs. The difference to BM_XmlWrite is what keeping the old file safe costs.
void BM_XmlSave(benchmark::State& state)
{
    const std::string& bytes = documentBytes();
    Pooled<Node> root;
    root->parseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::string folder = (std::filesystem::temp_directory_path() / "fetchwick-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string file = folder + "/DlList.dat";
    Pooled<StrBuffer> path = StrBuffer::makeUtf8(file);
    for (auto _ : state) {
        if (!root->save(path->c_str()))
            state.SkipWithError("the save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_XmlSave)->Unit(benchmark::kMillisecond);

#ifdef HAVE_PUGIXML
void BM_PugiParse(benchmark::State& state)
{
    const std::string& bytes = documentBytes();
    for (auto _ : state) {
        pugi::xml_document document;
        pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
        benchmark::DoNotOptimize(result.status);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_PugiParse)->Unit(benchmark::kMillisecond);

struct StringWriter final : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void BM_PugiWrite(benchmark::State& state)
{
    const std::string& bytes = documentBytes();
    pugi::xml_document document;
    document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    for (auto _ : state) {
        StringWriter writer;
        writer.text.reserve(bytes.size() + bytes.size() / 4);
        document.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        benchmark::DoNotOptimize(writer.text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_PugiWrite)->Unit(benchmark::kMillisecond);
#endif

}
