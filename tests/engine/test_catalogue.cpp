#include "engine/catalogue/LookUpSite.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace s::video::gui::dialogs::videodl;
using namespace std::literals;

namespace {

std::string Narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(unit));
            out += escaped;
        }
    }
    return out;
}

std::u16string_view Text(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

// Expected result of one lookup: the tool and the match text of the row that must win.
// An empty tool means that no row matches.
struct Case {
    std::u16string_view link;
    std::u16string_view tool;
    std::u16string_view match;
    LoginMark login;
    bool adult;
};

constexpr LoginMark No = LoginMark::NotNeeded;
constexpr LoginMark Accepted = LoginMark::Accepted;
constexpr std::u16string_view None;

// Looks each link up with and without the default and checks both answers.
void Check(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE("link \"" + Narrow(c.link) + "\"");
        for (bool useDefault : { false, true }) {
            SCOPED_TRACE(useDefault ? "default on" : "default off");
            const SiteLookup result = LookUpSite(c.link, useDefault);
            if (c.tool.empty()) {
                EXPECT_EQ(result.row, nullptr) << "matched " << Narrow(Text(result.row->match));
                EXPECT_EQ(result.tool, useDefault ? ToolYoutubeDl : None);
                EXPECT_EQ(result.hasTool(), useDefault);
                EXPECT_EQ(result.login, LoginMark::NotNeeded);
                EXPECT_FALSE(result.adult);
                continue;
            }
            ASSERT_NE(result.row, nullptr);
            EXPECT_EQ(result.tool, c.tool);
            EXPECT_EQ(Narrow(Text(result.row->match)), Narrow(c.match));
            EXPECT_EQ(result.login, c.login);
            EXPECT_EQ(result.adult, c.adult);
        }
    }
}

}

TEST(LookUpSite, IgnoresTheCaseOfAsciiLettersOnly)
{
    Check({
        { u"HTTPS://WWW.YOUTUBE.COM/WATCH?V=DQW4W9WGXCQ", ToolYoutubeDl, u".youtube.", No, false },
        { u"https://Vimeo.COM/76979871", ToolYoutubeDl, u"vimeo.com/", Accepted, false },
        { u"https://WWW.XVIDEOS.COM/video1", ToolYoutubeDl, u"xvideos.com/", No, true },
        { u"http://WWW.DouYin.Com/video/7", ToolYouGet, u"douyin.com/", No, false },
        // Units that some foldings map onto a letter, a dot or a slash must stay themselves.
        { u"https://v\u212A.com/id1", None, {}, No, false },          // KELVIN SIGN folds to k in Unicode
        { u"https://vimeo\u012Ecom/1", None, {}, No, false },          // low byte is '.'
        { u"https://\u0176imeo.com/1", None, {}, No, false },          // low byte is 'v'
        { u"https://vimeo\x0E" u"com\x0F" u"1", None, {}, No, false }, // | 0x20 gives ".com/"
        { u"https://\xFF56imeo.com/1", None, {}, No, false },          // FULLWIDTH v
        { u"https://vimeo.com\\1", None, {}, No, false },               // backslash is not a slash
    });
}

TEST(LookUpSite, FirstRowInTableOrderWinsWhereverItSitsInTheLink)
{
    Check({
        // Pornhub comes first in the link, but Facebook first in the table.
        { u"https://www.pornhub.com/view?ref=facebook.com/share", ToolYoutubeDl, u"facebook.com/", Accepted, false },
        // Beeg comes later in the link and earlier in the table.
        { u"https://www.facebook.com/share?u=https://beeg.com/1", ToolYoutubeDl, u"beeg.com/", No, true },
        { u"https://vimeo.com/1?next=https://www.youtube.com/watch?v=x", ToolYoutubeDl, u".youtube.", No, false },
        // One match text inside another: the row that comes first wins, not the longer one.
        { u"https://abcnews.go.com/video", ToolYoutubeDl, u"abcnews.go.com/", No, false },
        { u"https://6abc.com/video/1", ToolYoutubeDl, u"6abc.com/", No, false },
        { u"https://www.espn.go.com/video", ToolYoutubeDl, u"espn.go.com/", No, false },
    });
}

TEST(LookUpSite, TheYoutubeDlTableWinsOverTheYouGetTable)
{
    Check({
        // The you-get row requires a login; the youtube-dl row only accepts one.
        { u"https://www.nicovideo.jp/watch/sm9", ToolYoutubeDl, u"nicovideo.jp/", Accepted, false },
        { u"https://www.youtube.com/watch?v=x", ToolYoutubeDl, u".youtube.", No, false },
        { u"https://vk.com/video1_2", ToolYoutubeDl, u"vk.com/", Accepted, false },
        { u"https://www.bilibili.com/video/BV1", ToolYoutubeDl, u".bilibili.com/", No, false },
        // A you-get site earlier in the link does not beat a youtube-dl site later in it.
        { u"https://www.douyin.com/share?u=https://vimeo.com/1", ToolYoutubeDl, u"vimeo.com/", Accepted, false },
        { u"https://v.qq.com/x/cover/1.html", ToolYouGet, u"v.qq.com/", No, false },
        { u"https://www.douyin.com/video/7", ToolYouGet, u"douyin.com/", No, false },
    });
}

TEST(LookUpSite, LinksThatMatchNothing)
{
    Check({
        { u"", None, {}, No, false },
        { u"v", None, {}, No, false },
        { u"vk", None, {}, No, false },
        { u"vk.", None, {}, No, false },
        { u"https://www.example.org/watch?v=1", None, {}, No, false },
        // Short YouTube links are rewritten by the intake, so no row may claim them.
        { u"https://youtu.be/dQw4w9WgXcQ", None, {}, No, false },
        // The match text would run past the end of the link.
        { u"https://vimeo.com", None, {}, No, false },
        { u"https://vimeo.com/1"sv.substr(0, 17), None, {}, No, false }, // the text goes on past the view
        { u"https://vimeo\0.com/"sv, None, {}, No, false },
    });
}

TEST(LookUpSite, MatchesAtEitherEndAndPastEmbeddedNul)
{
    Check({
        { u"vimeo.com/", ToolYoutubeDl, u"vimeo.com/", Accepted, false },
        { u"vk.com/", ToolYoutubeDl, u"vk.com/", Accepted, false },
        { u"see vk.com/", ToolYoutubeDl, u"vk.com/", Accepted, false },
        { u"\0vimeo.com/x"sv, ToolYoutubeDl, u"vimeo.com/", Accepted, false },
    });

    std::u16string longLink(100000, u'a');
    EXPECT_FALSE(LookUpSite(longLink, false).hasTool());
    longLink += u"beeg.com/";
    const SiteLookup found = LookUpSite(longLink, false);
    ASSERT_NE(found.row, nullptr);
    EXPECT_EQ(Text(found.row->match), u"beeg.com/");
}

namespace {

std::u16string UpperAscii(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& unit : out) {
        if (unit >= u'a' && unit <= u'z')
            unit = char16_t(unit - u'a' + u'A');
    }
    return out;
}

bool ContainsIgnoringAsciiCase(std::u16string_view link, std::u16string_view match)
{
    const std::u16string upperLink = UpperAscii(link);
    return upperLink.find(UpperAscii(match)) != std::u16string::npos;
}

bool InTable(const SiteTable& table, const SiteRow* row)
{
    const std::less_equal<const SiteRow*> notAfter;
    return notAfter(table.rows, row) && std::less<const SiteRow*>()(row, table.rows + table.rowCount());
}

// The lookup as a plain walk over every row of both tables.
const SiteRow* ReferenceLookUp(std::u16string_view link)
{
    for (const SiteTable* table : { &YoutubeDlSites(), &YouGetSites() }) {
        for (std::size_t i = 0; i < table->scanLimit && !table->rows[i].isEnd(); ++i) {
            if (ContainsIgnoringAsciiCase(link, table->rows[i].match))
                return &table->rows[i];
        }
    }
    return nullptr;
}

}

// Every row's match text, in several disguises, must find the same row as a plain walk through
// the tables would: this covers the shortcut the lookup takes for all rows at once.
TEST(LookUpSite, AgreesWithAPlainWalkForEveryRow)
{
    std::vector<std::u16string> links;
    for (const SiteTable* table : { &YoutubeDlSites(), &YouGetSites() }) {
        for (const SiteRow* row = table->rows; !row->isEnd(); ++row) {
            const std::u16string_view match = row->match;
            links.emplace_back(match);
            links.push_back(UpperAscii(match));
            links.push_back(u"https://www." + std::u16string(match) + u"watch?v=1");
            links.push_back(u"https://" + std::u16string(match.substr(1)) + u"x");
            links.push_back(u"https://x" + std::u16string(match.substr(0, match.size() - 1)));
        }
    }
    for (const std::u16string& link : links) {
        SCOPED_TRACE(Narrow(link));
        const SiteRow* expected = ReferenceLookUp(link);
        const SiteLookup result = LookUpSite(link, true);
        EXPECT_EQ(result.row, expected) << (result.row ? Narrow(result.row->match) : "no row") << " instead of "
                                        << (expected ? Narrow(expected->match) : "no row");
        EXPECT_EQ(result.tool, expected && InTable(YouGetSites(), expected) ? ToolYouGet : ToolYoutubeDl);
    }
}

TEST(SiteTables, HaveTheShippedCountsAndForm)
{
    struct Expected {
        const SiteTable& table;
        std::u16string_view tool;
        std::size_t rows;
        std::size_t scanLimit;
        std::size_t login2;
        std::size_t login1;
        std::size_t adult1;
    };
    const Expected tables[] = {
        { YoutubeDlSites(), u"youtube-dl", 1025, 3000, 13, 0, 51 },
        { YouGetSites(), u"you-get", 93, 1000, 0, 1, 0 },
    };
    for (const Expected& e : tables) {
        SCOPED_TRACE(Narrow(e.tool));
        EXPECT_EQ(e.table.tool, e.tool);
        EXPECT_EQ(e.table.scanLimit, e.scanLimit);
        ASSERT_EQ(e.table.rowCount(), e.rows);
        const SiteRow& end = e.table.rows[e.rows];
        EXPECT_TRUE(!end.name && !end.match && !end.home && !end.login && !end.adult);

        std::size_t login[3] = {}, adult1 = 0;
        for (std::size_t i = 0; i < e.rows; ++i) {
            const SiteRow& row = e.table.rows[i];
            ASSERT_TRUE(row.name && row.match && row.home && row.login && row.adult) << "row " << i;
            const std::u16string_view loginMark = row.login, adultMark = row.adult;
            ASSERT_TRUE(loginMark == u"0" || loginMark == u"1" || loginMark == u"2") << "row " << i;
            ASSERT_TRUE(adultMark == u"0" || adultMark == u"1") << "row " << i;
            ++login[loginMark[0] - u'0'];
            adult1 += adultMark == u"1";
        }
        EXPECT_EQ(login[2], e.login2);
        EXPECT_EQ(login[1], e.login1);
        EXPECT_EQ(adult1, e.adult1);

        // The runner recognises YouTube by this row's fragment.
        const SiteRow& first = e.table.rows[0];
        EXPECT_EQ(Text(first.match), u".youtube.");
        EXPECT_EQ(Text(first.login), u"0");
        EXPECT_EQ(Text(first.adult), u"0");
    }

    std::size_t slashEnds = 0, dotStarts = 0;
    std::set<std::u16string_view> matchesA;
    for (const SiteRow* row = YoutubeDlSites().rows; !row->isEnd(); ++row) {
        const std::u16string_view match = row->match;
        slashEnds += match.ends_with(u'/');
        dotStarts += match.starts_with(u'.');
        matchesA.insert(match);
    }
    EXPECT_EQ(slashEnds, 1018u);
    EXPECT_EQ(dotStarts, 250u);

    std::size_t shared = 0;
    for (const SiteRow* row = YouGetSites().rows; !row->isEnd(); ++row)
        shared += matchesA.count(row->match);
    EXPECT_EQ(shared, 41u);
}

TEST(SiteTables, KeepNamesAndAddressesAsWritten)
{
    const SiteTable& youGet = YouGetSites();
    const SiteRow* douyin = nullptr;
    for (const SiteRow* row = youGet.rows; !row->isEnd(); ++row) {
        if (Text(row->match) == u"douyin.com/")
            douyin = row;
    }
    ASSERT_NE(douyin, nullptr);
    EXPECT_EQ(Text(douyin->name), u"Douyin (\u6296\u97F3)");
    EXPECT_EQ(Text(douyin->home), u"https://www.douyin.com/");
}
