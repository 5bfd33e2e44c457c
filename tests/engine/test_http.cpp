// The page fetch against a loopback HTTP server that this program starts.

#include "PageServer.h"
#include "engine/net/HttpFetch.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using s::net::HttpFetch;
using namespace std::chrono_literals;

namespace {

constexpr std::string_view TestAgent = "Mozilla/5.0 (Windows NT 6.1; rv:23.0) Gecko/20100101 Firefox/23.0";

class Http : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = new enginetest::PageServer(TEST_DATA_DIR "/pages"); }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_server->running()); }

    static HttpFetch::Response fetch(const std::string& url, int limitMs = HttpFetch::DefaultTimeLimitMs, const std::atomic<bool>* abort = nullptr)
    {
        HttpFetch::Request request;
        request.Url = url;
        request.UserAgent = TestAgent;
        request.Referrer = url;
        request.TimeLimitMs = limitMs;
        request.Abort = abort;
        return HttpFetch::get(request);
    }

    static enginetest::PageServer* s_server;
};

enginetest::PageServer* Http::s_server = nullptr;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A loopback port that nothing listens on: bound, read back, closed.
int closedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST_F(Http, SendsTheExactUserAgentAndTheLinkAsReferrer)
{
    std::string url = s_server->url("/echo");
    HttpFetch::Response response = fetch(url);
    ASSERT_EQ(response.Outcome, HttpFetch::Result::Ok);
    EXPECT_EQ(response.Status, 200);
    EXPECT_EQ(response.Body, "User-Agent: " + std::string(TestAgent) + "\nReferer: " + url + "\n");
}

TEST_F(Http, BodyArrivesByteForByte)
{
    HttpFetch::Response response = fetch(s_server->url("/bytes.html"));
    ASSERT_EQ(response.Outcome, HttpFetch::Result::Ok);
    EXPECT_EQ(response.Body, "caf\xe9 \x01\xff<a href=\"x\">\n");
    EXPECT_FALSE(response.Truncated);
}

TEST_F(Http, ResultsOfFailedFetches)
{
    struct Case {
        std::string url;
        HttpFetch::Result expected;
    };
    const Case cases[] = {
        { "http://127.0.0.1:" + std::to_string(closedPort()) + "/", HttpFetch::Result::CouldNotConnect },
        { s_server->url("/status/404"), HttpFetch::Result::Failed },
        { s_server->url("/status/500"), HttpFetch::Result::Failed },
        { "ftp://127.0.0.1:" + std::to_string(s_server->port()) + "/echo", HttpFetch::Result::Failed },
        { "file:///etc/hostname", HttpFetch::Result::Failed },
        { "", HttpFetch::Result::Failed },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        HttpFetch::Response response = fetch(c.url);
        EXPECT_EQ(response.Outcome, c.expected);
        EXPECT_TRUE(response.Body.empty());
    }
    EXPECT_EQ(HttpFetch::resultText(HttpFetch::Result::Ok), "ok");
    EXPECT_EQ(HttpFetch::resultText(HttpFetch::Result::CouldNotConnect), "could not connect");
    EXPECT_EQ(HttpFetch::resultText(HttpFetch::Result::Failed), "failed");
}

TEST_F(Http, RedirectsAreFollowedOnlyToHttpAndHttps)
{
    HttpFetch::Response followed = fetch(s_server->url("/redirect?to=/echo"));
    ASSERT_EQ(followed.Outcome, HttpFetch::Result::Ok);
    EXPECT_NE(followed.Body.find("User-Agent: Mozilla/5.0"), std::string::npos);

    const std::string elsewhere[] = {
        "file:///etc/hostname",
        "ftp://127.0.0.1:" + std::to_string(s_server->port()) + "/echo",
        "gopher://127.0.0.1:" + std::to_string(s_server->port()) + "/",
    };
    for (const std::string& target : elsewhere) {
        SCOPED_TRACE(target);
        HttpFetch::Response response = fetch(s_server->url("/redirect?to=" + target));
        EXPECT_EQ(response.Outcome, HttpFetch::Result::Failed);
        EXPECT_TRUE(response.Body.empty());
    }

    // A redirect that leads to itself ends after a few hops.
    HttpFetch::Response loop = fetch(s_server->url("/redirect?to=/redirect"));
    EXPECT_EQ(loop.Outcome, HttpFetch::Result::Failed);
}

TEST_F(Http, AHugeBodyIsReadOnlyUpToTheCap)
{
    auto start = std::chrono::steady_clock::now();
    HttpFetch::Response response = fetch(s_server->url("/big/1073741824"), 60000);
    ASSERT_EQ(response.Outcome, HttpFetch::Result::Ok);
    EXPECT_TRUE(response.Truncated);
    EXPECT_EQ(response.Body.size(), HttpFetch::DefaultBodyCap);
    EXPECT_EQ(response.Body.find_first_not_of('\0'), std::string::npos);
    // The rest of the gigabyte was never pulled in: the fetch ended long before it could have been.
    EXPECT_LT(secondsSince(start), 30.0);
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 512L * 1024) << "peak resident set in KiB";

    HttpFetch::Request small;
    std::string url = s_server->url("/big/5000");
    small.Url = url;
    small.BodyCap = 4096;
    HttpFetch::Response capped = HttpFetch::get(small);
    EXPECT_EQ(capped.Outcome, HttpFetch::Result::Ok);
    EXPECT_EQ(capped.Body.size(), 4096u);

    small.BodyCap = 5000;
    HttpFetch::Response exact = HttpFetch::get(small);
    EXPECT_EQ(exact.Outcome, HttpFetch::Result::Ok);
    EXPECT_EQ(exact.Body.size(), 5000u);
    EXPECT_FALSE(exact.Truncated);
}

TEST_F(Http, ATricklingServerIsGivenUpAtTheTimeLimit)
{
    auto start = std::chrono::steady_clock::now();
    HttpFetch::Response response = fetch(s_server->url("/trickle"));
    double took = secondsSince(start);
    EXPECT_EQ(response.Outcome, HttpFetch::Result::Failed);
    EXPECT_GE(took, 3.9);
    EXPECT_LT(took, 15.0);

    start = std::chrono::steady_clock::now();
    response = fetch(s_server->url("/trickle"), 1000);
    took = secondsSince(start);
    EXPECT_EQ(response.Outcome, HttpFetch::Result::Failed);
    EXPECT_GE(took, 0.9);
    EXPECT_LT(took, 3.9);
}

TEST_F(Http, TheAbortFlagEndsATransfer)
{
    std::atomic<bool> abort { true };
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetch(s_server->url("/echo"), 4000, &abort).Outcome, HttpFetch::Result::Failed);
    EXPECT_LT(secondsSince(start), 1.0);

    abort = false;
    EXPECT_EQ(fetch(s_server->url("/echo"), 4000, &abort).Outcome, HttpFetch::Result::Ok);

    std::thread aborter([&abort] {
        std::this_thread::sleep_for(300ms);
        abort = true;
    });
    start = std::chrono::steady_clock::now();
    HttpFetch::Response response = fetch(s_server->url("/trickle"), 30000, &abort);
    double took = secondsSince(start);
    aborter.join();
    EXPECT_EQ(response.Outcome, HttpFetch::Result::Failed);
    EXPECT_TRUE(response.Body.empty());
    // libcurl looks at the flag at least once a second while a transfer idles.
    EXPECT_LT(took, 10.0);
}

}
