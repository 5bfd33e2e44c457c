#include "gui/os/UIThread.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace s::gui::os {

// The GUI thread's receiver of queued work.
class UIContext : public QObject {
public:
    explicit UIContext(UIThread* owner)
        : m_owner(owner)
    {
    }
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        m_owner->drain();
        return true;
    }

private:
    UIThread* m_owner;
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
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        // The program made its application: its thread is the GUI thread.
        m_id = std::this_thread::get_id();
        m_context = new UIContext(this);
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
        UIContext context(this);
        {
            std::lock_guard lock(mutex);
            m_id = std::this_thread::get_id();
            m_context = &context;
            started = true;
            ready.notify_all();
        }
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
        enqueue([] { QCoreApplication::quit(); });
        m_thread.join();
    }
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
    QCoreApplication::postEvent(m_context, new QEvent(QEvent::User));
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
