#include "app/os/TaskbarProgress.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace s::app::os {

void TaskbarProgress::showIndeterminate()
{
    // The launcher entry knows no indeterminate state: an empty bar that is shown says "busy".
    m_visible = true;
    m_fraction = 0;
    send();
}

void TaskbarProgress::setValue(uint64_t value, uint64_t total)
{
    m_visible = true;
    m_fraction = total == 0 ? 0.0 : value >= total ? 1.0 : double(value) / double(total);
    send();
}

void TaskbarProgress::remove()
{
    if (!m_visible)
        return;
    m_visible = false;
    m_fraction = 0;
    send();
}

void TaskbarProgress::send()
{
    // The bus connection belongs to the Qt application; before one exists there is nobody to tell.
    if (!QCoreApplication::instance() || qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/pellix/Fetchwick/LauncherEntry"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), m_fraction);
    properties.insert(QStringLiteral("progress-visible"), m_visible);
    signal << QStringLiteral("application://%1").arg(QLatin1String(desktopId)) << properties;
    bus.send(signal);
}

}
