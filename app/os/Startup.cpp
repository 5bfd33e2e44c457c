#include "app/os/Startup.h"

#include "app/IMainController.h"
#include "app/MainSettings.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "app/os/SingleCopy.h"
#include "app/os/SystemVersion.h"
#include "app/os/TerminationSignals.h"
#include "foundation/str/StrBuffer.h"
#include "gui/os/MessageBoxW.h"
#include "gui/os/UIThread.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

namespace s::app::os {

namespace {

void openInBrowser(const std::u16string& url)
{
    QString text = QString::fromUtf16(url.data(), qsizetype(url.size()));
    QUrl link(text);
    // Only web pages: the address comes from the language pack, not from the user.
    if (link.scheme() != QLatin1String("http") && link.scheme() != QLatin1String("https"))
        return;
    gui::os::onUiThread([link] { QDesktopServices::openUrl(link); });
}

// What the GUI thread's signal and single-copy handlers reach: the controller while it
// exists. Guarded, because those handlers may fire while the controller is made or released.
class ControllerSlot {
public:
    void set(IMainController* controller)
    {
        std::lock_guard lock(m_lock);
        m_controller = controller;
        if (controller && m_closeRequested)
            controller->requestClose();
        // A later start that asked while this copy was still starting is answered now.
        if (controller && std::exchange(m_forwardPending, false))
            controller->bringForward();
    }
    void requestClose()
    {
        std::lock_guard lock(m_lock);
        m_closeRequested = true;
        if (m_controller)
            m_controller->requestClose();
    }
    void bringForward()
    {
        std::lock_guard lock(m_lock);
        if (m_controller)
            m_controller->bringForward();
        else
            m_forwardPending = true;
    }
    bool closeRequested()
    {
        std::lock_guard lock(m_lock);
        return m_closeRequested;
    }

private:
    std::mutex m_lock;
    IMainController* m_controller { nullptr };
    bool m_closeRequested { false };
    bool m_forwardPending { false };
};

}

int Startup::run(Setup setup)
{
    // Step 1: the application object (store, language pack, identity keys, language).
    thread::Pooled<AppBase> app = thread::Pooled<AppBase>::adopt(AppBase::get());
    AppBase::Setup appSetup;
    appSetup.arguments = setup.arguments;
    appSetup.hive = setup.hive;
    app->initialize(appSetup);
    if (!setup.openUrl)
        setup.openUrl = openInBrowser;

    // Step 2: the main window's settings holder.
    thread::Pooled<AppWindow> holder = AppWindow::create(app.get(), MainSettings::windowName, app->softwareType(),
        MainSettings::creationWidth, MainSettings::creationHeight, MainSettings::creationMiddleClick);

    // Step 3: single copy. A later start hands over its token and ends without showing anything.
    ControllerSlot slot;
    SingleCopy single;
    std::string executable = setup.executablePath.empty() ? app->executablePath() : setup.executablePath;
    SingleCopy::Outcome outcome = single.claim(executable, SingleCopy::activationToken(), [&slot](const std::string& token) {
        // The desktop lets a window take the focus only with the token of the start that asked.
        if (!token.empty()) {
            qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
            qputenv("DESKTOP_STARTUP_ID", QByteArray::fromStdString(token));
        }
        slot.bringForward();
    });
    if (outcome == SingleCopy::Outcome::Forwarded)
        return 0;

    // Step 4: the system check.
    if (!SystemVersion::current().isSupported()) {
        gui::os::MessageBoxW::info(unsupportedSystemText);
        return 0;
    }

    // Step 5: the command line. Only a start without arguments consumes the silent-install mark.
    bool startup = app->hasStartupFlag();
    if (setup.arguments.empty() && app->takeSilentMark())
        setup.openUrl(app->webPage());

    // Step 6: the main window, until it has closed and the list is written. Termination signals
    // and the end of the session take the close path from here on.
    std::unique_ptr<IMainController> controller = setup.makeController ? setup.makeController() : nullptr;
    if (controller) {
        TerminationSignals termination([&slot] { slot.requestClose(); });
        slot.set(controller.get());
        controller->run(*app, *holder, startup);
        slot.set(nullptr);
    }

    // Step 7: release in order: controller, holder, application object.
    controller.reset();
    holder.replace();
    app.replace();
    return 0;
}

int Startup::runApplication(int argc, char** argv, Setup setup)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Fetchwick"));
    QApplication::setDesktopFileName(QStringLiteral("org.pellix.Fetchwick"));
    // The GUI thread is this one, the thread of the application just made.
    gui::os::UIThread::instance();

    std::atomic<int> status { 0 };
    std::thread sequence([&] {
        status = run(std::move(setup));
        gui::os::UIThread::instance().post([] { QCoreApplication::exit(0); });
    });
    QApplication::exec();
    sequence.join();
    return status;
}

}
