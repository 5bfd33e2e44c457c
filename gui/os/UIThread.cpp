#include "gui/os/UIThread.h"

#include <QApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>

#include <sys/eventfd.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

namespace s::gui::os {

// The GUI thread's receiver of queued work: woken through an event counter that other threads
// bump, so a thread that hands over work never touches Qt itself.
class UIContext : public QObject {
public:
    UIContext(UIThread* owner, int wakeFd)
        : m_owner(owner)
        , m_notifier(wakeFd, QSocketNotifier::Read, this)
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, this, [this, wakeFd] {
            eventfd_t count = 0;
            eventfd_read(wakeFd, &count);
            m_owner->drain();
        });
    }

private:
    UIThread* m_owner;
    QSocketNotifier m_notifier;
};

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
    : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // The program made its application: its thread is the GUI thread. The receiver must be
        // made there.
        m_id = std::this_thread::get_id();
        if (QThread::currentThread() == app->thread()) {
            m_context = new UIContext(this, m_wakeFd);
        } else {
            QMetaObject::invokeMethod(
                app, [this] { m_context = new UIContext(this, m_wakeFd); }, Qt::BlockingQueuedConnection);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable ready;
    bool started = false;
    m_ownsApplication = true;
    m_thread = std::thread([&] {
        // The application lives until the process ends: taking Qt down at exit would race the
        // global objects Qt destroys on its own.
        auto* app = new QApplication(g_argc, g_argv);
        QApplication::setQuitOnLastWindowClosed(false);
        auto* context = new UIContext(this, m_wakeFd);
        {
            std::lock_guard lock(mutex);
            m_id = std::this_thread::get_id();
            m_context = context;
            m_application = app;
            started = true;
            ready.notify_all();
        }
        QApplication::exec();
        delete context;
    });
    std::unique_lock lock(mutex);
    ready.wait(lock, [&] { return started; });
}

UIThread::~UIThread()
{
    if (m_ownsApplication && m_thread.joinable()) {
        enqueue([] { QCoreApplication::quit(); });
        m_thread.join();
    }
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool UIThread::isCurrent() const
{
    if (m_ownsApplication)
        return std::this_thread::get_id() == m_id;
    return m_context && QThread::currentThread() == m_context->thread();
}

void UIThread::enqueue(std::function<void()> f)
{
    {
        std::lock_guard lock(m_queueLock);
        m_queue.push_back(std::move(f));
    }
    eventfd_write(m_wakeFd, 1);
}

void UIThread::drain()
{
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(m_queueLock);
            if (m_queue.empty())
                return;
            next = std::move(m_queue.front());
            m_queue.pop_front();
        }
        next();
    }
}

void UIThread::runAndWait(const std::function<void()>& f)
{
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    enqueue([&] {
        f();
        std::lock_guard lock(mutex);
        done = true;
        doneSignal.notify_all();
    });
    std::unique_lock lock(mutex);
    doneSignal.wait(lock, [&] { return done; });
}

void UIThread::post(std::function<void()> f)
{
    enqueue(std::move(f));
}

void UIThread::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

}

#if defined(__SANITIZE_ADDRESS__)
// The font configuration library keeps a cache it never frees; it is not ours to mend.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif
