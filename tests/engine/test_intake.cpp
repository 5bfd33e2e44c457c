// Link intake against a loopback HTTP server that this program starts: the page fetch, the page
// scan's jobs, the duplicate test, the login test, and the clipboard and drop rules, with the
// jobs run by a fake tool.

#include "PageServer.h"
#include "WorkerFixture.h"
#include "engine/net/HttpFetch.h"

#include <sstream>

using namespace enginetest;

namespace {

class Intake : public WorkerFixture {
protected:
    static void SetUpTestSuite() { s_server = new PageServer(TEST_DATA_DIR "/pages"); }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_server->running());
        WorkerFixture::SetUp();
        m_seenBefore = requests().size();
    }

    static std::u16string server(const std::string& path)
    {
        std::string url = s_server->url(path);
        return std::u16string(url.begin(), url.end());
    }

    // The requests the server saw since the test began: path, agent and referrer of each.
    std::vector<std::vector<std::string>> requests()
    {
        s::net::HttpFetch::Request request;
        std::string url = s_server->url("/requests");
        request.Url = url;
        std::istringstream lines(s::net::HttpFetch::get(request).Body);
        std::vector<std::vector<std::string>> seen;
        std::string line;
        while (std::getline(lines, line)) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            std::string field;
            while (std::getline(parts, field, '\t'))
                fields.push_back(field);
            seen.push_back(fields);
        }
        if (seen.size() >= m_seenBefore)
            seen.erase(seen.begin(), seen.begin() + static_cast<ptrdiff_t>(m_seenBefore));
        return seen;
    }

    void typeAndTake(const std::u16string& text, bool interactive = true)
    {
        gui.call([&] {
            gui.link = text;
            intake.TakeLink(interactive, false);
        });
    }

    std::vector<std::u16string> links()
    {
        return gui.call([&] {
            std::vector<std::u16string> found;
            for (int32_t i = 0; i < list.getRowCount(); ++i) {
                DlThread* shown = JobCommands::JobAt(list, i);
                std::scoped_lock guard(shown->Lock);
                found.emplace_back(shown->Url->view());
            }
            return found;
        });
    }

    static PageServer* s_server;
    size_t m_seenBefore { 0 };
};

PageServer* Intake::s_server = nullptr;

TEST_F(Intake, AnUnknownPageIsFetchedOnceAsTheBrowserWithItselfAsReferrer)
{
    std::u16string typed = server("/plain.html");
    typeAndTake(u"  " + typed + u" \t");
    EXPECT_EQ(links(), std::vector<std::u16string> { typed });
    EXPECT_EQ(gui.link, u"");
    auto seen = requests();
    ASSERT_EQ(seen.size(), 1u);
    std::string url = s_server->url("/plain.html");
    EXPECT_EQ(seen[0], (std::vector<std::string> { "/plain.html", std::string(LinkIntake::UserAgent), url }));
}

TEST_F(Intake, KnownSitesAndShortLinksCostNoRequest)
{
    typeAndTake(u"http://www.bbc.co.uk/fail-known");
    typeAndTake(u"http://youtu.be/abcdefghijk");
    typeAndTake(u"https://youtu.be/bcdefghijkl");
    EXPECT_EQ(links(), (std::vector<std::u16string> { u"http://www.bbc.co.uk/fail-known", u"http://www.youtube.com/watch?v=abcdefghijk", u"http://www.youtube.com/watch?v=bcdefghijkl" }));
    EXPECT_TRUE(requests().empty());
}

TEST_F(Intake, APageWithThreeEmbeddedPlayersGivesThreeJobsInPageOrder)
{
    typeAndTake(server("/three.html"));
    EXPECT_EQ(links(), (std::vector<std::u16string> { u"http://www.youtube.com/watch?v=FirstClip01", u"http://www.youtube.com/watch?v=SecondClip2", u"http://www.youtube.com/watch?v=ThirdClip03" }));
    EXPECT_EQ(gui.link, u"");
    EXPECT_EQ(requests().size(), 1u);
    std::vector<int32_t> numbers;
    gui.call([&] {
        for (int32_t i = 0; i < list.getRowCount(); ++i)
            numbers.push_back(JobCommands::JobAt(list, i)->Index);
    });
    EXPECT_EQ(numbers, (std::vector<int32_t> { 1, 2, 3 }));
}

TEST_F(Intake, ASlowOrUselessPageStillGivesTheTypedJob)
{
    struct Case {
        std::string path;
        double atLeast;
        double atMost;
    };
    const Case cases[] = {
        // A server that trickles is given up at 4000 ms, while the GUI thread keeps serving.
        { "/trickle", 3.9, 15.0 },
        // A typed link to a huge file: the page is read up to the cap only.
        { "/big/1073741824", 0.0, 30.0 },
        // Redirects to other schemes are not followed.
        { "/redirect?to=file:///etc/hostname", 0.0, 3.0 },
        { "/status/404", 0.0, 3.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int served = gui.waitsServed;
        auto start = std::chrono::steady_clock::now();
        typeAndTake(server(c.path));
        double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(took, c.atLeast);
        EXPECT_LT(took, c.atMost);
        EXPECT_EQ(links().back(), server(c.path));
        EXPECT_GT(gui.waitsServed.load(), served);
    }
    EXPECT_EQ(rowCount(), 4);
}

TEST_F(Intake, Duplicates)
{
    // The same link with and without "MP3 Only": two jobs.
    take("run-dup");
    take("run-dup", true);
    EXPECT_EQ(rowCount(), 2);

    // The same link again, letters in another case, while it runs: refused, with the message
    // when interactive only.
    gui.call([&] {
        gui.link = u"HTTP://WWW.BBC.CO.UK/run-dup ";
        gui.mp3 = false;
        intake.TakeLink(true, false);
    });
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(gui.messages, std::vector<int32_t> { LinkIntake::AlreadyInListText });
    EXPECT_EQ(gui.link, u"");
    gui.call([&] {
        gui.link = link("run-dup");
        intake.TakeLink(false, false);
    });
    EXPECT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(rowCount(), 2);

    // A duplicate of a job in Error replaces it: one row, at the end, with a new number.
    take("fail-dup");
    DlThread* failed = jobFor("fail-dup");
    ASSERT_TRUE(waitFor([&] { return failed->State.load() == JobState::Error && !failed->Running; }));
    take("run-other");
    take("fail-dup");
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(links().back(), link("fail-dup"));
    EXPECT_EQ(gui.call([&] { return JobCommands::JobAt(list, 3)->Index; }), 5);

    // A Completed one is not replaced.
    take("done-dup");
    DlThread* done = jobFor("done-dup");
    ASSERT_TRUE(waitFor([&] { return done->State.load() == JobState::Completed && !done->Running; }));
    take("done-dup");
    EXPECT_EQ(rowCount(), 5);
    EXPECT_EQ(gui.messages.size(), 2u);
}

TEST_F(Intake, BlankLinksAndBlanksAroundLinks)
{
    typeAndTake(u" \t\r\n\u3000 ");
    EXPECT_EQ(rowCount(), 0);
    typeAndTake(u"  http://www.bbc.co.uk/run-trim  ");
    typeAndTake(u"http://www.bbc.co.uk/run-trim ");
    EXPECT_EQ(links(), std::vector<std::u16string> { u"http://www.bbc.co.uk/run-trim" });
    EXPECT_EQ(gui.messages, std::vector<int32_t> { LinkIntake::AlreadyInListText });
}

TEST_F(Intake, TheLoginBoxesGoWithTheJobOnlyWhenAsked)
{
    // The site's row accepts a login (the only row that insists on one is shadowed by the first
    // table's row for the same site, which wins).
    const std::u16string site = u"http://www.nicovideo.jp/watch/fail-sm9";
    gui.loginName = u" someone ";
    gui.loginSecret = u" secret\t";
    typeAndTake(site);
    gui.login = true;
    gui.mp3 = true;
    typeAndTake(site);
    ASSERT_EQ(rowCount(), 2);
    EXPECT_TRUE(gui.messages.empty());
    {
        DlThread* without = job(0);
        std::scoped_lock guard(without->Lock);
        EXPECT_EQ(without->Id->view(), u"");
        EXPECT_EQ(without->Password->view(), u"");
    }
    DlThread* with = job(1);
    std::scoped_lock guard(with->Lock);
    EXPECT_EQ(with->Id->view(), u"someone");
    EXPECT_EQ(with->Password->view(), u"secret");
}

TEST_F(Intake, ClipboardLinks)
{
    const std::u16string three = u"http://www.bbc.co.uk/fail-c1\r\nsome text\nhttp://a/\nhttp://www.bbc.co.uk/fail-c2\nhttp://www.bbc.co.uk/fail-c3\n";
    gui.call([&] { intake.BeginClipboardWatch(0); });

    // Without Auto-Start: the first link waits in the link box, focused.
    EXPECT_EQ(gui.call([&] { return intake.ClipboardChanged(false, 5000, three); }), 1);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(gui.link, u"http://www.bbc.co.uk/fail-c1");
    EXPECT_EQ(gui.focused, 1);

    // With it: three jobs. The window's own clipboard text is not taken.
    gui.autoStart = true;
    EXPECT_EQ(gui.call([&] { return intake.ClipboardChanged(true, 6000, three); }), 0);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(gui.call([&] { return intake.ClipboardChanged(false, 7000, three); }), 3);
    EXPECT_EQ(links(), (std::vector<std::u16string> { u"http://www.bbc.co.uk/fail-c1", u"http://www.bbc.co.uk/fail-c2", u"http://www.bbc.co.uk/fail-c3" }));

    // A copied page link that shows no video is dropped without a trace, and left in the box.
    std::u16string plain = server("/plain.html");
    EXPECT_EQ(gui.call([&] { return intake.ClipboardChanged(false, 8000, plain); }), 1);
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(gui.link, plain);
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(Intake, DroppedTexts)
{
    EXPECT_FALSE(gui.call([&] { return intake.TakeDropped(u"just words"); }));
    EXPECT_FALSE(gui.call([&] { return intake.TakeDropped(u"ftp://www.bbc.co.uk/fail-x"); }));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_TRUE(gui.call([&] { return intake.TakeDropped(u"HTTP://www.bbc.co.uk/fail-drop\r\n"); }));
    EXPECT_EQ(links(), std::vector<std::u16string> { u"HTTP://www.bbc.co.uk/fail-drop" });
}

}
