// The thread rule on a shown window: every request and setter called from many threads at once
// runs on the GUI thread and every listener is called there; requests kept for later reach only
// the window they meant; a window taken apart while its listener's message box is open; a clean
// exit that lets a waiting worker go.

#include "GuiTest.h"

#include "gui/os/CheckBox.h"
#include "gui/os/TextEdit.h"
#include "gui/os/TextField.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using namespace guitest;
using s::gui::os::CheckBox;
using s::gui::os::TextEdit;
using s::gui::os::TextField;
using s::gui::os::UIThread;

namespace {

constexpr char Ping[] = "Ping";

// Notes every event it hears and whether it heard it on the GUI thread.
struct ThreadRecorder : s::gui::events::IEventListener {
    std::atomic<int> heard { 0 };
    std::atomic<int> offThread { 0 };
    Window* window = nullptr;
    void handle(s::base::IObject* sender, int32_t code) override
    {
        ++heard;
        if (!UIThread::instance().isCurrent())
            ++offThread;
        if (window && sender == static_cast<s::base::IObject*>(window) && code == Window::Request)
            window->setRequestResult(window->getRequestArg1() + 1);
    }
};

// Answers every message box that opens, as a user would (GUI thread, until stopped).
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        onUiThread([&] {
            m_timer = new QTimer();
            m_timer->setInterval(5);
            QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++m_answered;
                    if (QAbstractButton* b = box->button(QMessageBox::Yes))
                        b->click();
                    else if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                        ok->click();
                }
            });
            m_timer->start();
        });
    }
    ~BoxAnswerer()
    {
        onUiThread([&] { delete m_timer; });
    }
    int answered() const { return m_answered.load(); }

private:
    QTimer* m_timer { nullptr };
    std::atomic<int> m_answered { 0 };
};

}

TEST_F(WindowTest, EveryRequestFromEightThreadsAtOnceRunsOnTheGuiThread)
{
    window->setSize(640, 480);
    Box* holder = Box::get();
    holder->fill();
    window->add(holder);
    Label* label = Label::get();
    label->setText(u"Ready");
    CheckBox* check = CheckBox::get();
    check->setText(u"Audio only");
    TextEdit* log = TextEdit::get();
    TextField* field = TextField::get();
    holder->add(label);
    holder->add(check);
    holder->add(field);
    holder->add(log);
    ThreadRecorder recorder;
    recorder.window = window.get();
    check->addCheckedListener(&recorder);
    check->addUncheckedListener(&recorder);
    log->addChangeListener(&recorder);
    holder->addLayoutListener(&recorder);
    holder->addMoveListener(&recorder);
    window->addRequestListener(&recorder);
    window->addTimerListener(&recorder);
    window->show();
    BoxAnswerer answerer;

    constexpr int threads = 8;
    constexpr int rounds = 25;
    std::latch start(threads);
    std::atomic<int> wrongAnswers { 0 };
    std::vector<std::thread> callers;
    for (int t = 0; t < threads; ++t) {
        callers.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < rounds; ++i) {
                // Create a child and destroy it again.
                Label* child = Label::get();
                child->setText(u"row " + std::u16string(1, u'0' + t));
                holder->add(child);
                holder->remove(child);
                // Texts, timed texts, state, the text area.
                label->setText(u"thread " + std::u16string(1, u'0' + t));
                label->setTextFor(u"for a while", 1000);
                check->setChecked((i + t) % 2 == 0);
                log->appendText(u"line\n");
                field->setText(u"typed " + std::u16string(1, u'0' + t));
                window->setTitle(u"Window of " + std::u16string(1, u'0' + t));
                // Timers and requests.
                window->startTimer(100 + t, 5);
                window->stopTimer(100 + t);
                if (window->sendRequest(Ping, t * 1000 + i, 0, 0) != t * 1000 + i + 1)
                    ++wrongAnswers;
                // Reads come back through the GUI thread.
                (void)label->getText();
                (void)holder->getChildCount();
                (void)window->getTitle();
            }
            // A message box of the window, answered by the user.
            window->showInfo(u"Done");
        });
    }
    for (auto& c : callers)
        c.join();

    EXPECT_EQ(wrongAnswers.load(), 0);
    EXPECT_GT(recorder.heard.load(), threads * rounds) << "requests, checks, changes and layouts were heard";
    EXPECT_EQ(recorder.offThread.load(), 0) << "every listener ran on the GUI thread";
    EXPECT_EQ(answerer.answered(), threads);
    EXPECT_EQ(holder->getChildCount(), 4u);
    EXPECT_EQ(log->getText().size(), static_cast<size_t>(threads * rounds) * 5);
}

TEST_F(WindowTest, ARequestKeptForAWindowThatWasReleasedAndReusedReachesNobody)
{
    ThreadRecorder first;
    first.window = window.get();
    window->addRequestListener(&first);
    uint64_t firstGeneration = window->generation();
    Window* firstWindow = window.get();
    EXPECT_EQ(window->sendRequestTo(firstGeneration, Ping, 1, 0, 0), 2);
    window.replace();

    // The pool hands the same object out again, to somebody else.
    s::thread::Pooled<Window> reused = Window::make();
    ThreadRecorder second;
    second.window = reused.get();
    reused->addRequestListener(&second);
    EXPECT_NE(reused->generation(), firstGeneration);
    if (reused.get() != firstWindow)
        GTEST_SKIP() << "the pool made a new window";

    // A worker that kept the old pointer with its generation.
    std::atomic<intptr_t> stale { -1 };
    std::thread worker([&] { stale = firstWindow->sendRequestTo(firstGeneration, Ping, 1, 0, 0); });
    worker.join();
    EXPECT_EQ(stale.load(), 0);
    EXPECT_EQ(second.heard.load(), 0) << "the new owner's listeners heard nothing";
    EXPECT_EQ(first.heard.load(), 1);
    EXPECT_EQ(reused->sendRequestTo(reused->generation(), Ping, 5, 0, 0), 6);
}

TEST_F(WindowTest, AWindowTakenApartWhileItsListenersMessageBoxIsOpen)
{
    // A request's listener asks the user; while the box is open, another thread releases the
    // window. The box must not lose its parent under it: the teardown waits until the box's loop
    // has returned, and the box is answered with a refusal.
    struct Asker : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::atomic<int> answer { -1 };
        void handle(s::base::IObject*, int32_t) override
        {
            answer = window->ask(u"Remove the entry?") ? 1 : 0;
            // The window still stands when the box has returned.
            EXPECT_TRUE(window->isCreated());
        }
    } asker;
    asker.window = window.get();
    window->addRequestListener(&asker);
    window->show();
    std::atomic<intptr_t> result { -1 };
    std::thread worker([&] { result = window->sendRequest(Ping, 1, 0, 0); });
    ASSERT_TRUE(eventually([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }));

    // While the box is open the GUI thread serves other requests.
    Label* late = Label::get();
    window->add(late);
    late->setText(u"added while the box is open");
    EXPECT_EQ(late->getText(), u"added while the box is open");

    window.replace();
    worker.join();
    EXPECT_EQ(asker.answer.load(), 0) << "a box of a window that goes is refused";
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(onUiThread([] { return QApplication::activeModalWidget() != nullptr; }));
}

TEST_F(WindowTest, AWindowClosedWhileItsListenersMessageBoxIsOpen)
{
    struct Asker : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::atomic<int> answer { -1 };
        void handle(s::base::IObject*, int32_t) override { answer = window->ask(u"Really?") ? 1 : 0; }
    } asker;
    asker.window = window.get();
    window->addListener(Window::LeftPress, &asker);
    window->show();
    UIThread::instance().post([&] { window->fire(Window::LeftPress); });
    ASSERT_TRUE(eventually([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }));
    window->close();
    EXPECT_TRUE(window->isClosed());
    // The box is still the user's to answer.
    onUiThread([] { static_cast<QMessageBox*>(QApplication::activeModalWidget())->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(eventually([&] { return asker.answer.load() == 1; }));
}

TEST_F(WindowTest, WaitUntilClosedOnTheGuiThreadServesRequestsAndReturnsOnTeardown)
{
    window->show();
    ThreadRecorder recorder;
    recorder.window = window.get();
    window->addRequestListener(&recorder);
    std::atomic<bool> waited { false };
    UIThread::instance().post([&] {
        window->waitUntilClosed();
        waited = true;
    });
    // Requests still get answered while the GUI thread waits.
    EXPECT_EQ(window->sendRequest(Ping, 41, 0, 0), 42);
    window.replace();
    EXPECT_TRUE(eventually([&] { return waited.load(); }));
}

// --- a clean exit, in a process of its own ---

namespace {

void failOnQtWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "QT WARNING: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    _exit(3);
}

}

TEST(CleanExit, Scenario)
{
    if (!std::getenv("FETCHWICK_EXIT_SCENARIO"))
        GTEST_SKIP() << "runs in a process of its own (CleanExit.NoQtWarningAndNoWorkerLeftWaiting)";
    qInstallMessageHandler(failOnQtWarnings);
    static constexpr char Quit[] = "Quit";
    struct Handler : s::gui::events::IEventListener {
        Window* window = nullptr;
        void handle(s::base::IObject*, int32_t) override
        {
            if (window->getRequestName() == Quit)
                QCoreApplication::quit();
            else
                window->setRequestResult(1);
        }
    } handler;
    // What a window keeps running: timers, a timed text, the clipboard watch. (No tray icon: the
    // offscreen platform has no tray and says so.)
    s::thread::Pooled<Window> window = Window::make();
    handler.window = window.get();
    window->addRequestListener(&handler);
    Label* label = Label::get();
    label->setText(u"Ready");
    window->add(label);
    label->setTextFor(u"Copied", 60000);
    window->startTimer(1, 10);
    window->watchClipboard(true);
    // Not raised: the offscreen platform cannot raise and says so.
    window->show(true, false);

    // A worker keeps asking until the loop ends; it must be let go then.
    std::atomic<bool> workerDone { false };
    std::thread worker([&] {
        while (window->sendRequest(Ping, 0, 0, 0) == 1) { }
        workerDone = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // The loop ends while the worker waits in a request.
    UIThread::instance().post([] { QCoreApplication::quit(); });
    for (int i = 0; i < 1000 && !workerDone.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!workerDone.load()) {
        std::fprintf(stderr, "the worker still waits after the loop ended\n");
        _exit(4);
    }
    worker.join();
    EXPECT_TRUE(UIThread::instance().hasEnded());
    // Releasing after the end drops the teardown instead of waiting for a loop that is gone.
    window.replace();
    std::printf("scenario finished\n");
}

TEST(CleanExit, NoQtWarningAndNoWorkerLeftWaiting)
{
    std::string out = ::testing::TempDir() + "clean_exit_output.txt";
    std::string filter = "--gtest_filter=CleanExit.Scenario";
    char self[4096] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    ASSERT_GT(n, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.emplace_back("FETCHWICK_EXIT_SCENARIO=1");
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    // A runtime folder of its own, so Qt has nothing to warn about but what the scenario does.
    std::string runtime = ::testing::TempDir() + "clean_exit_runtime_XXXXXX";
    ASSERT_NE(mkdtemp(runtime.data()), nullptr);
    env.emplace_back("XDG_RUNTIME_DIR=" + runtime);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = { self, filter.data(), nullptr };
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, self, &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    std::ifstream file(out);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text.str();
    EXPECT_NE(text.str().find("scenario finished"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("QT WARNING"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("Timers cannot be stopped"), std::string::npos) << text.str();
}
