// Notifications against a fake notification service on a private session bus that the test
// starts with dbus-daemon.

#include "app/os/DesktopNotifier.h"
#include "gui/os/UIThread.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using s::app::os::DesktopNotifier;
using namespace std::chrono_literals;

namespace {

struct Received {
    QString member;
    QString appName;
    QString summary;
    QString body;
    QString entry;
};

class FakeNotifications : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        QList<QVariant> args = message.arguments();
        Received r;
        r.member = message.member();
        if (args.size() == 8) {
            r.appName = args[0].toString();
            r.summary = args[3].toString();
            r.body = args[4].toString();
        }
        {
            std::lock_guard lock(mutex);
            received.push_back(r);
        }
        connection.send(message.createReply(QVariant::fromValue(uint(received.size()))));
        return true;
    }
    std::mutex mutex;
    std::vector<Received> received;
};

// A private session bus for this test program, ended with it.
class PrivateBus {
public:
    PrivateBus()
    {
        FILE* out = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!out)
            return;
        char line[512];
        if (std::fgets(line, sizeof line, out))
            m_address = std::string(line).substr(0, std::string(line).find('\n'));
        if (std::fgets(line, sizeof line, out))
            m_pid = std::atoi(line);
        ::pclose(out);
    }
    ~PrivateBus()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }
    const std::string& address() const { return m_address; }

private:
    std::string m_address;
    int m_pid { 0 };
};

bool waitFor(const std::function<bool()>& condition)
{
    auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

}

TEST(DesktopNotifier, NothingWithoutAServiceThenOneNotificationWithItsTitle)
{
    PrivateBus bus;
    if (bus.address().empty())
        GTEST_SKIP() << "dbus-daemon could not be started here";
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    s::gui::os::UIThread::instance();

    // No notification service on the bus: nothing is sent.
    EXPECT_FALSE(DesktopNotifier::notify(u"Download completed", u"Clip.mp4"));

    // The service lives on the GUI thread, whose loop delivers its calls.
    FakeNotifications* fake = s::gui::os::onUiThread([] { return new FakeNotifications; });
    bool registered = s::gui::os::onUiThread([fake] {
        QDBusConnection service = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
            QStringLiteral("fake-notifications"));
        return service.registerService(QStringLiteral("org.freedesktop.Notifications"))
            && service.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), fake);
    });
    ASSERT_TRUE(registered);

    EXPECT_TRUE(DesktopNotifier::notify(u"Download completed", u"Übung – Clip.mp4"));
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(fake->mutex);
        return !fake->received.empty();
    }));
    std::this_thread::sleep_for(200ms);
    std::lock_guard lock(fake->mutex);
    ASSERT_EQ(fake->received.size(), 1u);
    EXPECT_EQ(fake->received[0].member, QStringLiteral("Notify"));
    EXPECT_EQ(fake->received[0].appName, QStringLiteral("Fetchwick"));
    EXPECT_EQ(fake->received[0].summary, QStringLiteral("Download completed"));
    EXPECT_EQ(fake->received[0].body, QString::fromUtf8("Übung – Clip.mp4"));
}
