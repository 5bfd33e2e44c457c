#include "gui/os/UIThread.h"

#include "gui/GuiThread.h"

#include <QApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>

#include <sys/eventfd.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
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
        // Whoever waits for the GUI thread is let go when its loop ends.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { m_owner->end(); });
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
    // Never destroyed: objects that outlive main (pools and the objects they keep) may still ask
    // for it while the process ends. The loop itself ends at exit (shutDown).
    static UIThread* thread = [] {
        auto* made = new UIThread();
        std::atexit([] { instance().shutDown(); });
        return made;
    }();
    return *thread;
}

UIThread::UIThread()
    : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // The program made its application: its thread is the GUI thread. The receiver must be
        // made there.
        if (QThread::currentThread() == app->thread()) {
            m_id = std::this_thread::get_id();
            m_context = new UIContext(this, m_wakeFd);
        } else {
            QMetaObject::invokeMethod(
                app,
                [this] {
                    m_id = std::this_thread::get_id();
                    m_context = new UIContext(this, m_wakeFd);
                },
                Qt::BlockingQueuedConnection);
        }
    } else {
        std::mutex mutex;
        std::condition_variable ready;
        bool started = false;
        m_ownsApplication = true;
        m_thread = std::thread([&] {
            // The application lives until the process ends: taking Qt down at exit would race
            // the global objects Qt destroys on its own.
            auto* application = new QApplication(g_argc, g_argv);
            (void)application;
            QApplication::setQuitOnLastWindowClosed(false);
            auto* context = new UIContext(this, m_wakeFd);
            {
                std::lock_guard lock(mutex);
                m_id = std::this_thread::get_id();
                m_context = context;
                started = true;
                ready.notify_all();
            }
            QApplication::exec();
            end();
            delete context;
        });
        std::unique_lock lock(mutex);
        ready.wait(lock, [&] { return started; });
    }
    GuiThread::install({
        [] { return UIThread::instance().isCurrent(); },
        [](const std::function<void()>& f) { UIThread::instance().runAndWait(f); },
    });
}

void UIThread::shutDown()
{
    if (m_ownsApplication && m_thread.joinable()) {
        post([] { QCoreApplication::quit(); });
        m_thread.join();
    }
    end();
}

bool UIThread::isCurrent() const
{
    return std::this_thread::get_id() == m_id.load();
}

void UIThread::enqueue(Work work)
{
    {
        std::lock_guard lock(m_queueLock);
        if (!m_ended.load()) {
            m_queue.push_back(std::move(work));
            eventfd_write(m_wakeFd, 1);
            return;
        }
    }
    work(false);
}

void UIThread::drain()
{
    for (;;) {
        Work next;
        {
            std::lock_guard lock(m_queueLock);
            if (m_queue.empty())
                return;
            next = std::move(m_queue.front());
            m_queue.pop_front();
            // The work may open a nested loop (a message box): the rest of the queue must wake
            // that loop, or it would wait until the box closes.
            if (!m_queue.empty())
                eventfd_write(m_wakeFd, 1);
        }
        next(true);
    }
}

void UIThread::end()
{
    std::deque<Work> dropped;
    {
        std::lock_guard lock(m_queueLock);
        m_ended = true;
        dropped.swap(m_queue);
    }
    for (Work& work : dropped)
        work(false);
}

void UIThread::runAndWait(const std::function<void()>& f)
{
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    enqueue([&](bool run) {
        if (run)
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
    enqueue([f = std::move(f)](bool run) {
        if (run)
            f();
    });
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
