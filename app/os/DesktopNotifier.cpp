#include "app/os/DesktopNotifier.h"

#include "gui/os/UIThread.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace s::app::os {

namespace {

constexpr char service[] = "org.freedesktop.Notifications";
constexpr char path[] = "/org/freedesktop/Notifications";

QString toQString(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

}

bool DesktopNotifier::notify(const std::u16string& summary, const std::u16string& body)
{
    if (!QCoreApplication::instance() || qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    QString title = toQString(summary);
    QString text = toQString(body);
    // The bus connection belongs to the GUI thread, like every other Qt object of the program.
    return gui::os::onUiThread([title, text] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(QLatin1String(service)))
            return false;
        QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(service), QLatin1String(path), QLatin1String(service),
            QStringLiteral("Notify"));
        QVariantMap hints;
        hints.insert(QStringLiteral("desktop-entry"), QLatin1String(desktopEntry));
        call << QStringLiteral("Fetchwick") << uint(0) << QLatin1String(desktopEntry) << title << text << QStringList() << hints
             << int(-1);
        // Sent, not waited for: a slow notification service must not hold the window up.
        return bus.send(call);
    });
}

}
