#include "app/os/TerminationSignals.h"

#include "gui/os/UIThread.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace s::app::os {

namespace {

// One pipe for the process: signal handlers are process-wide.
int g_pipe[2] = { -1, -1 };
std::atomic<bool> g_installed { false };
constexpr int handledSignals[] = { SIGTERM, SIGINT, SIGHUP };

void onSignal(int)
{
    int saved = errno;
    char byte = 1;
    // A full pipe already holds a pending request; losing this byte loses nothing.
    [[maybe_unused]] ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}

TerminationSignals::TerminationSignals(std::function<void()> onTerminate)
    : m_onTerminate(std::move(onTerminate))
{
    if (g_installed.exchange(true))
        return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_installed = false;
        return;
    }
    gui::os::onUiThread([this] {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] {
            char bytes[64];
            while (::read(g_pipe[0], bytes, sizeof bytes) > 0) { }
            if (m_onTerminate)
                m_onTerminate();
        });
        // The desktop session ends: the same close path, before the session takes us down.
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QObject::connect(app, &QGuiApplication::commitDataRequest, m_notifier, [this](QSessionManager&) {
                if (m_onTerminate)
                    m_onTerminate();
            });
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
    QSocketNotifier* notifier = m_notifier;
    m_notifier = nullptr;
    gui::os::onUiThread([notifier] { delete notifier; });
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_installed = false;
}

}
