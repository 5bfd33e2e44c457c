#include "gui/os/UIThread.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace s::gui::os {

namespace {

// The application's arguments must outlive it.
int g_argc = 1;
char g_name[] = "fetchwick";
char* g_argv[] = { g_name, nullptr };

}

UIThread& UIThread::instance()
{
    static UIThread thread;
    return thread;
}

UIThread::UIThread()
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // The program made its application: its thread is the GUI thread.
        m_id = std::this_thread::get_id();
        m_context = new QObject();
        m_context->moveToThread(app->thread());
        return;
    }
    std::mutex mutex;
    std::condition_variable ready;
    bool started = false;
    m_ownsApplication = true;
    m_thread = std::thread([&] {
        QApplication app(g_argc, g_argv);
        QApplication::setQuitOnLastWindowClosed(false);
        QObject context;
        {
            std::lock_guard lock(mutex);
            m_id = std::this_thread::get_id();
            m_context = &context;
            started = true;
        }
        ready.notify_all();
        QApplication::exec();
        m_context = nullptr;
    });
    std::unique_lock lock(mutex);
    ready.wait(lock, [&] { return started; });
}

UIThread::~UIThread()
{
    if (!m_ownsApplication) {
        delete m_context;
        return;
    }
    if (m_thread.joinable()) {
        QMetaObject::invokeMethod(m_context, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
        m_thread.join();
    }
}

bool UIThread::isCurrent() const
{
    if (m_ownsApplication)
        return std::this_thread::get_id() == m_id;
    return m_context && QThread::currentThread() == m_context->thread();
}

void UIThread::runAndWait(const std::function<void()>& f)
{
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    QMetaObject::invokeMethod(
        m_context,
        [&] {
            f();
            std::lock_guard lock(mutex);
            done = true;
            doneSignal.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex);
    doneSignal.wait(lock, [&] { return done; });
}

void UIThread::post(std::function<void()> f)
{
    QMetaObject::invokeMethod(m_context, std::move(f), Qt::QueuedConnection);
}

void UIThread::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

}
