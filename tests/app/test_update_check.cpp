// The update check against a loopback server this test runs: when it asks, what it stores, and
// what counts as a newer version.

#include "app/UpdateCheck.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "formats/reg/os/Hive.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using s::app::UpdateCheck;
using s::app::os::AppBase;
using s::app::os::AppWindow;
using s::thread::Pooled;
using namespace std::chrono_literals;

namespace {

// Answers every GET with one body, or accepts and then says nothing for a while.
class VersionServer {
public:
    VersionServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::listen(m_fd, 8);
        m_thread = std::thread([this] { serve(); });
    }
    ~VersionServer()
    {
        m_stop = true;
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_thread.join();
    }

    int port() const { return m_port; }
    void setAnswer(std::string body, bool silent = false)
    {
        std::lock_guard lock(m_lock);
        m_body = std::move(body);
        m_silent = silent;
    }
    std::vector<std::string> paths()
    {
        std::lock_guard lock(m_lock);
        return m_paths;
    }

private:
    void serve()
    {
        while (!m_stop) {
            int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, size_t(n));
            }
            std::string body;
            bool silent;
            {
                std::lock_guard lock(m_lock);
                size_t start = request.find(' ') + 1;
                m_paths.push_back(request.substr(start, request.find(' ', start) - start));
                body = m_body;
                silent = m_silent;
            }
            if (silent) {
                // Connected, but the answer never comes within the time limit.
                for (int i = 0; i < 100 && !m_stop; ++i)
                    std::this_thread::sleep_for(100ms);
            } else {
                std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size())
                    + "\r\nConnection: close\r\n\r\n" + body;
                ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    int m_fd { -1 };
    int m_port { 0 };
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
    std::mutex m_lock;
    std::string m_body;
    bool m_silent { false };
    std::vector<std::string> m_paths;
};

// A language pack with just the texts the check reads, the version page on the test's server.
std::string pack(const std::string& versionPage, const std::string& version, bool withUpdateText)
{
    auto entry = [](int id, const std::string& text) {
        return "<entry id=\"" + std::to_string(id) + "\"><eng>" + text + "</eng></entry>";
    };
    return "<lang><languages><entry tagName=\"eng\" engName=\"English\" trueName=\"English\"/></languages><entries>"
        + (withUpdateText ? entry(400200, "There is a newer version available.") : std::string())
        + entry(400210, "There is improved version available.") + entry(400230, "Would you like to check it out?")
        + entry(300000, "Fetchwick") + entry(500000, "Fetchwick") + entry(500003, "http://program.page/")
        + entry(500006, versionPage) + entry(500010, version) + "</entries></lang>";
}

struct Checker {
    Checker(TempFolder& folder, const std::string& languagePack)
        : text(languagePack)
    {
        AppBase::Setup setup;
        setup.hive = &s::reg::os::Hive::forFile(folder / "registry.reg");
        setup.languagePack = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        app = Pooled<AppBase>::adopt(AppBase::get());
        app->initialize(setup);
        window = AppWindow::create(app.get(), u"MainWindow", u"Freeware", 550, 450, u"Close");
    }

    UpdateCheck::Outcome run(int64_t hour)
    {
        UpdateCheck::Hooks hooks;
        hooks.nowMs = [hour] { return hour * 3600 * 1000 + 1234; };
        hooks.ask = [this](const std::u16string& title, const std::u16string& message) {
            asked.push_back(message);
            (void)title;
            return answerYes;
        };
        hooks.openUrl = [this](const std::u16string& url) { opened.push_back(url); };
        return UpdateCheck::run(*window, *app->localizer(), hooks);
    }

    std::string text;
    Pooled<AppBase> app { nullptr };
    Pooled<AppWindow> window { nullptr };
    std::vector<std::u16string> asked;
    std::vector<std::u16string> opened;
    bool answerYes { true };
};

constexpr int64_t start = 480000;

}

TEST(UpdateCheck, SpacingOfRequests)
{
    VersionServer server;
    server.setAnswer("*0.11 is out");
    TempFolder folder;
    Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(server.port()) + "/version/", "0.10", true));

    EXPECT_EQ(checker.run(start), UpdateCheck::Outcome::FirstRun);
    EXPECT_EQ(checker.window->getUpdateHour(), start);
    EXPECT_EQ(checker.run(start + 719), UpdateCheck::Outcome::TooSoon);
    EXPECT_EQ(checker.window->getUpdateHour(), start);
    EXPECT_TRUE(server.paths().empty()) << "no request before 30 days have passed";

    EXPECT_EQ(checker.run(start + 720), UpdateCheck::Outcome::Opened);
    EXPECT_EQ(server.paths(), std::vector<std::string> { "/version/check/" });
    EXPECT_EQ(checker.window->getUpdateHour(), start + 720);
    ASSERT_EQ(checker.asked.size(), 1u);
    EXPECT_EQ(checker.asked[0], u"There is improved version available. \r\nWould you like to check it out?");
    EXPECT_EQ(checker.opened, std::vector<std::u16string> { u"http://program.page/" });

    checker.answerYes = false;
    EXPECT_EQ(checker.run(start + 1440), UpdateCheck::Outcome::Declined);
    EXPECT_EQ(checker.opened.size(), 1u);
}

TEST(UpdateCheck, WhatCountsAsANewerVersion)
{
    struct Case {
        std::string answer;
        UpdateCheck::Outcome outcome;
    };
    const Case cases[] = {
        { "*0.11 is available", UpdateCheck::Outcome::Opened },
        { "*****", UpdateCheck::Outcome::Opened },
        { "*0.10", UpdateCheck::Outcome::NoNewer },
        { "* you run 0.10, fine", UpdateCheck::Outcome::NoNewer },
        { "0.11 is available", UpdateCheck::Outcome::NoNewer },
        { "*0.1", UpdateCheck::Outcome::NoNewer },
        { "", UpdateCheck::Outcome::NoNewer },
    };
    VersionServer server;
    for (const Case& c : cases) {
        server.setAnswer(c.answer);
        TempFolder folder;
        Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(server.port()) + "/", "0.10", true));
        checker.window->setUpdateHour(int32_t(start));
        EXPECT_EQ(checker.run(start + 800), c.outcome) << c.answer;
        EXPECT_EQ(checker.window->getUpdateHour(), start + 800) << "the hour is stored after every request";
    }
}

TEST(UpdateCheck, FailuresAndSwitchedOffChecks)
{
    VersionServer server;
    server.setAnswer("*0.11");

    // A refused connection stores nothing: the next start tries again.
    {
        int closedPort;
        {
            VersionServer gone;
            closedPort = gone.port();
        }
        TempFolder folder;
        Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(closedPort) + "/", "0.10", true));
        checker.window->setUpdateHour(int32_t(start));
        EXPECT_EQ(checker.run(start + 800), UpdateCheck::Outcome::NoConnection);
        EXPECT_EQ(checker.window->getUpdateHour(), start);
    }
    // A server that connects and never answers: given up after the time limit, the hour stored.
    {
        VersionServer silent;
        silent.setAnswer("", true);
        TempFolder folder;
        Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(silent.port()) + "/", "0.10", true));
        checker.window->setUpdateHour(int32_t(start));
        auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(checker.run(start + 800), UpdateCheck::Outcome::NoNewer);
        EXPECT_GE(std::chrono::steady_clock::now() - before, 7s);
        EXPECT_EQ(checker.window->getUpdateHour(), start + 800);
    }
    // No update text in the language: never a request, never a stored hour.
    {
        TempFolder folder;
        Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(server.port()) + "/", "0.10", false));
        EXPECT_EQ(checker.run(start), UpdateCheck::Outcome::NoUpdateText);
        EXPECT_EQ(checker.window->getUpdateHour(), 0);
    }
    // Version texts of another shape switch the check off.
    for (const char* version : { "1.234", "0.1.0", "10", ".10" }) {
        TempFolder folder;
        Checker checker(folder, pack("http://127.0.0.1:" + std::to_string(server.port()) + "/", version, true));
        checker.window->setUpdateHour(int32_t(start));
        EXPECT_EQ(checker.run(start + 800), UpdateCheck::Outcome::VersionShape) << version;
        EXPECT_EQ(checker.window->getUpdateHour(), start) << version;
    }
    EXPECT_TRUE(server.paths().empty());
}

TEST(UpdateCheck, VersionShapes)
{
    struct Case {
        std::u16string version;
        bool shaped;
    };
    const Case cases[] = { { u"0.10", true }, { u"1.05", true }, { u"12.3.45", true }, { u"1.234", false }, { u"0.1.0", false },
        { u"10", false }, { u".10", false }, { u"", false } };
    for (const Case& c : cases)
        EXPECT_EQ(UpdateCheck::hasVersionShape(c.version), c.shaped);
    EXPECT_STREQ(FETCHWICK_VERSION, "0.10") << "the build's version must have the shape the update check expects";
}
