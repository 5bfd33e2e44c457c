// The text rules of link intake: trimming, dropped texts, clipboard lines and the clipboard watch,
// the short-link rewrite and the page scan.

#include "engine/intake/ClipboardWatch.h"
#include "engine/intake/IMainInputs.h"
#include "engine/intake/LinkText.h"
#include "engine/intake/PageScan.h"
#include "engine/intake/YouTubeLinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace s::video::gui::dialogs::videodl;

namespace {

// The main window's inputs as plain fields, with a record of what intake did to them.
struct FakeWindow final : IMainInputs {
    std::u16string link;
    bool autoStart { false };
    int focused { 0 };

    std::u16string linkText() override { return link; }
    void setLinkText(std::u16string_view text) override { link = text; }
    void focusLinkText() override { ++focused; }
    bool onlyMp3() override { return false; }
    bool requireLogin() override { return false; }
    std::u16string loginId() override { return {}; }
    std::u16string loginPassword() override { return {}; }
    bool autoStartFromClipboard() override { return autoStart; }
    std::u16string downloadFolder() override { return u"/tmp"; }
    int32_t takeNextIndex() override { return 0; }
    void showInformation(int32_t) override { }
};

TEST(LinkTextTest, TrimmingRemovesEveryKindOfBlank)
{
    EXPECT_EQ(LinkText::trim(u" \t\u3000http://a/b \r\n"), u"http://a/b");
    EXPECT_EQ(LinkText::trim(u" \t\r\n\u3000 "), u"");
    EXPECT_EQ(LinkText::trim(u""), u"");
    EXPECT_EQ(LinkText::trimEnd(u" http://a/b\r"), u" http://a/b");
    EXPECT_EQ(LinkText::trim(u"a b"), u"a b");
}

TEST(LinkTextTest, SameLinkIgnoresCaseButNotLength)
{
    EXPECT_TRUE(LinkText::sameLink(u"http://Example.COM/Video", u"HTTP://example.com/video"));
    EXPECT_FALSE(LinkText::sameLink(u"http://example.com/video", u"http://example.com/video/"));
    EXPECT_FALSE(LinkText::sameLink(u"http://example.com/a", u"http://example.com/b"));
    EXPECT_TRUE(LinkText::sameLink(u"http://x/\u00c9t\u00e9", u"http://x/\u00e9T\u00c9"));
}

TEST(LinkTextTest, DroppedTexts)
{
    struct Case {
        std::u16string dropped;
        std::u16string taken;
    };
    const Case cases[] = {
        { u"http://example.com/v", u"http://example.com/v" },
        { u"HTTPS://example.com/v \r\n\t\u3000", u"HTTPS://example.com/v" },
        { u"ftp://example.com/v", u"" },
        { u" http://example.com/v", u"" },
        { u"example.com/v", u"" },
        { u"", u"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinkText::takeDropped(c.dropped), c.taken);
}

TEST(LinkTextTest, ClipboardLines)
{
    struct Case {
        std::u16string line;
        bool qualifies;
    };
    const Case cases[] = {
        { u"http://a/b", true },
        { u"https://a/b", true },
        { u"HtTp://a/b", true },
        { u"http://a/", false },  // its only slash from index 8 on is the last unit
        { u"http://ab", false },
        { u"https://a/", false },
        { u"https://ab/c", true },
        { u"http://", false },
        { u"http:/a/b/c", false },
        { u"mailto:someone@example.com", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinkText::qualifiesFromClipboard(c.line), c.qualifies) << std::string(c.line.begin(), c.line.end());
}

TEST(ClipboardWatchTest, QualifyingLinesWithAndWithoutAutoStart)
{
    const std::u16string text = u"http://one.example/a\r\nnot a link\nhttp://a/\nhttps://two.example/b  \nhttp://three.example/c";
    const std::vector<std::u16string> qualifying = { u"http://one.example/a", u"https://two.example/b", u"http://three.example/c" };

    FakeWindow window;
    window.autoStart = true;
    ClipboardWatch watch;
    watch.begin(0);
    std::vector<std::u16string> taken;
    EXPECT_EQ(watch.changed(false, 2000, text, window, [&] { taken.push_back(window.link); }), 3);
    EXPECT_EQ(taken, qualifying);
    EXPECT_EQ(window.focused, 0);

    window.autoStart = false;
    window.link.clear();
    taken.clear();
    EXPECT_EQ(watch.changed(false, 3000, text, window, [&] { taken.push_back(window.link); }), 1);
    EXPECT_TRUE(taken.empty());
    EXPECT_EQ(window.link, qualifying.front());
    EXPECT_EQ(window.focused, 1);
}

TEST(ClipboardWatchTest, IgnoresItsOwnTextAndTheSettlingMoment)
{
    FakeWindow window;
    window.autoStart = true;
    ClipboardWatch watch;
    watch.begin(10000);
    int takes = 0;
    auto take = [&] { ++takes; };

    EXPECT_EQ(watch.changed(false, 10000 + ClipboardWatch::SettleMs - 1, u"http://x.example/a", window, take), 0);
    EXPECT_EQ(watch.changed(true, 20000, u"http://x.example/a", window, take), 0);
    EXPECT_EQ(takes, 0);
    EXPECT_TRUE(window.link.empty());

    EXPECT_EQ(watch.changed(false, 10000 + ClipboardWatch::SettleMs, u"http://x.example/a", window, take), 1);
    // Once a change got through, the settling moment is over for good, even if the clock goes back.
    EXPECT_EQ(watch.changed(false, 0, u"http://x.example/b", window, take), 1);
    EXPECT_EQ(takes, 2);
    EXPECT_EQ(watch.changed(false, 30000, u"no links\nhttp://a/", window, take), 0);
}

TEST(YouTubeLinksTest, ShortLinkRewrite)
{
    struct Case {
        std::u16string link;
        std::u16string rewritten; // empty: not rewritten
    };
    const Case cases[] = {
        { u"http://youtu.be/abcdefghijk", u"http://www.youtube.com/watch?v=abcdefghijk" },
        { u"HTTP://YOUTU.BE/abcdefghijk", u"http://www.youtube.com/watch?v=abcdefghijk" },
        { u"https://youtu.be/abcdefghijk?t=5", u"http://www.youtube.com/watch?v=abcdefghijk?t=5" },
        { u"http://youtu.be/abcdefghij", u"" }, // 10 units of id: left to the page fetch
        { u"http://youtu.be/", u"" },
        { u"http://example.com/http://youtu.be/abcdefghijk", u"" },
    };
    for (const Case& c : cases) {
        std::u16string link = c.link;
        bool rewritten = YouTubeLinks::rewriteShortLink(link);
        EXPECT_EQ(rewritten, !c.rewritten.empty()) << std::string(c.link.begin(), c.link.end());
        EXPECT_EQ(link, rewritten ? c.rewritten : c.link);
    }
}

std::u16string latin1(const std::string& bytes)
{
    return std::u16string(bytes.begin(), bytes.end());
}

TEST(PageScanTest, EmbeddedLinksInPageOrder)
{
    std::u16string body = latin1(
        "<iframe src=\"https://www.youtube.com/embed/AAAAAAAAAAA\"></iframe>"
        "<iframe src=\"https://www.YouTube.com/EMBED/BBBBBBBBBBB\"></iframe>"
        "<a href=\"https://www.youtube.com/watch?v=WWWWWWWWWWW\">w</a>"
        "<iframe src=\"https://www.youtube.com/embed/AAAAAAAAAAA\"></iframe>"
        "<iframe src=\"https://www.youtube.com/embed/CCCCCCCCCCC\"></iframe>");
    std::u16string first;
    std::vector<std::u16string> extras;
    ASSERT_TRUE(PageScan::scan(body, first, extras));
    EXPECT_EQ(first, u"http://www.youtube.com/watch?v=AAAAAAAAAAA");
    // Embedded players win over the watch link; the repeated one is not added twice.
    EXPECT_EQ(extras, (std::vector<std::u16string> { u"http://www.youtube.com/watch?v=BBBBBBBBBBB", u"http://www.youtube.com/watch?v=CCCCCCCCCCC" }));
}

TEST(PageScanTest, IdsOfEachForm)
{
    struct Case {
        std::string body;
        std::vector<std::u16string> ids;
    };
    const std::vector<Case> cases = {
        // An embed id ends at the next double quote, else at the next space, else gives nothing.
        { "youtube.com/embed/xyz?rel=0\" youtube.com/embed/abc def", { u"xyz?rel=0", u"abc" } },
        { "youtube.com/embed/abc", {} },
        { "youtube.com/embed/", {} },
        // Watch and short ids are 11 units with more of the page after them.
        { "<a href=\"http://www.youtube.com/watch?v=abcdefghijk\">", { u"abcdefghijk" } },
        { "http://www.youtube.com/watch?v=abcdefghijk", {} },
        { "http://youtu.be/abcdefghijk http://www.youtube.com/watch?v=zzzzzzzzzzz ", { u"zzzzzzzzzzz", u"abcdefghijk" } },
        { "no links here", {} },
        { "", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::u16string body = latin1(c.body);
        std::vector<std::u16string_view> found = PageScan::ids(body);
        EXPECT_EQ(std::vector<std::u16string>(found.begin(), found.end()), c.ids);
    }
}

TEST(PageScanTest, ExtraLinksAreCapped)
{
    std::string page;
    for (int i = 0; i < 300; ++i) {
        char id[12];
        std::snprintf(id, sizeof id, "id%09d", i);
        page += std::string("<a href=\"https://www.youtube.com/watch?v=") + id + "\">";
    }
    std::u16string body = latin1(page);
    std::u16string first;
    std::vector<std::u16string> extras;
    ASSERT_TRUE(PageScan::scan(body, first, extras));
    EXPECT_EQ(first, u"http://www.youtube.com/watch?v=id000000000");
    ASSERT_EQ(extras.size(), PageScan::MaxExtraLinks);
    EXPECT_EQ(extras.front(), u"http://www.youtube.com/watch?v=id000000001");
    EXPECT_EQ(extras.back(), u"http://www.youtube.com/watch?v=id000000100");
}

}
