#include "engine/runner/LineSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using s::video::gui::dialogs::videodl::LineSplitter;

namespace {

struct Split {
    std::vector<std::string> lines;
    std::string pending;
};

Split SplitAll(std::string_view bytes, size_t chunk, size_t maxLine = LineSplitter::DefaultMaxLineBytes)
{
    LineSplitter splitter(maxLine);
    Split out;
    for (size_t at = 0; at < bytes.size(); at += chunk)
        splitter.feed(bytes.substr(at, chunk), [&](std::string_view line) { out.lines.emplace_back(line); });
    out.pending = splitter.pending();
    return out;
}

}

TEST(LineSplitter, CutsLinesTheWayBothPlatformsWriteThem)
{
    struct Case {
        const char* what;
        std::string_view bytes;
        std::vector<std::string> lines;
        std::string pending;
    };
    const Case cases[] = {
        { "Windows line ends: the line feed begins the next line", "a\r\nb\r\n", { "a", "\nb" }, "\n" },
        { "a line, then progress updates that start with a carriage return",
            "x\n\r[download]  1.0%\r[download]  2.0%\r[download] 100% in 00:01\n",
            { "x", "", "[download]  1.0%", "[download]  2.0%", "[download] 100% in 00:01" }, "" },
        { "line feeds alone", "a\n\nb\n", { "a", "", "b" }, "" },
        { "bytes after the last line end wait", "a\nb", { "a" }, "b" },
        { "carriage returns alone", "\r\r", { "", "" }, "" },
        { "nothing", "", {}, "" },
        { "a line feed after a carriage return, twice", "\r\n\r\n", { "", "\n" }, "\n" },
        { "UTF-8 passes through untouched", "caf\xC3\xA9 \xE2\x9C\x93\n", { "caf\xC3\xA9 \xE2\x9C\x93" }, "" },
    };
    for (const Case& c : cases) {
        // Whole, and one byte at a time: a carriage return at the end of one read and a line
        // feed at the start of the next still belong together.
        for (size_t chunk : { c.bytes.size() + 1, size_t { 1 } }) {
            Split got = SplitAll(c.bytes, chunk);
            EXPECT_EQ(got.lines, c.lines) << c.what << ", chunk " << chunk;
            EXPECT_EQ(got.pending, c.pending) << c.what << ", chunk " << chunk;
        }
    }
}

TEST(LineSplitter, PassesEndlessLinesOnInPiecesWithoutSplittingCharacters)
{
    struct Case {
        std::string_view bytes;
        std::vector<std::string> lines;
        std::string pending;
    };
    const Case cases[] = {
        { "abcdefghij\n", { "abcdefgh", "ij" }, "" },
        { "abcdefg\xC3\xA9z\n", { "abcdefg", "\xC3\xA9z" }, "" }, // a 2-byte sequence across the bound
        { "abcdef\xE2\x9C\x93z", { "abcdef" }, "\xE2\x9C\x93z" }, // a 3-byte sequence across the bound
        { "abcdefgh", { "abcdefgh" }, "" },
        { std::string_view("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0"), { "\xF0\x9F\x98\x80\xF0\x9F\x98\x80" }, "\xF0" },
    };
    for (const Case& c : cases) {
        Split got = SplitAll(c.bytes, 3, 8);
        EXPECT_EQ(got.lines, c.lines);
        EXPECT_EQ(got.pending, c.pending);
    }

    // A megabyte without a line end never makes the line longer than the bound.
    LineSplitter splitter;
    size_t pieces = 0;
    std::string chunk(4096, 'x');
    for (int i = 0; i < 256; ++i)
        splitter.feed(chunk, [&](std::string_view line) {
            EXPECT_EQ(line.size(), LineSplitter::DefaultMaxLineBytes);
            ++pieces;
        });
    EXPECT_EQ(pieces, 16u);
    EXPECT_TRUE(splitter.pending().empty());
}

TEST(LineSplitter, ClearForgetsWhatWasPending)
{
    LineSplitter splitter;
    std::vector<std::string> lines;
    auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    splitter.feed("old\r", collect);
    splitter.feed("rest", collect);
    splitter.clear();
    splitter.feed("\nnew\n", collect);
    EXPECT_EQ(lines, (std::vector<std::string> { "old", "", "new" })) << "after clear, a line feed ends a line again";
}
