// The top-level window on the GUI thread: closing, requests from many threads, timers, the
// clipboard, the tray, opacity, keeping on screen and saved geometry.

#include "GuiTest.h"

#include "gui/layout/Vertical.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <atomic>
#include <chrono>
#include <latch>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace guitest;
using s::gui::IWindowSettings;

namespace {

QRect screenArea()
{
    return onUiThread([] { return QGuiApplication::primaryScreen()->virtualGeometry(); });
}

QWidget* frameOf(Window* window)
{
    return window->widget();
}

struct Canceller : s::gui::events::IEventListener {
    Window* window = nullptr;
    bool cancel = true;
    int heard = 0;
    void handle(s::base::IObject*, int32_t code) override
    {
        EXPECT_EQ(code, Window::CloseRequested);
        ++heard;
        if (cancel)
            window->cancelClose();
    }
};

// A settings store in memory that counts its writes.
struct MemorySettings : IWindowSettings {
    std::map<int32_t, int32_t> values;
    int writes = 0;
    bool readValue(Value which, int32_t& out) override
    {
        auto it = values.find(which);
        if (it == values.end())
            return false;
        out = it->second;
        return true;
    }
    void writeValue(Value which, int32_t value) override
    {
        values[which] = value;
        ++writes;
    }
};

}

TEST_F(WindowTest, ACloseListenerThatCancelsKeepsTheWindowOpen)
{
    Canceller canceller;
    canceller.window = window.get();
    window->addCloseListener(&canceller);
    window->show();
    window->close();
    EXPECT_EQ(canceller.heard, 1);
    EXPECT_FALSE(window->isClosed());
    EXPECT_TRUE(window->isShown());
    // The frame's own close button asks the same listeners.
    onUiThread([&] { frameOf(window.get())->close(); });
    EXPECT_EQ(canceller.heard, 2);
    EXPECT_FALSE(window->isClosed());

    canceller.cancel = false;
    window->close();
    EXPECT_TRUE(window->isClosed());
    EXPECT_FALSE(window->isShown());
    window->waitUntilClosed(); // returns at once
}

TEST_F(WindowTest, CloseButtonSendsToTheTrayWhenAskedAndTrayClicksBringItBack)
{
    Recorder recorder;
    window->addListener(Window::TrayLeftClick, &recorder);
    window->addListener(Window::TrayRightClick, &recorder);
    window->addCloseListener(&recorder);
    window->setCloseToTray(true);
    window->show();
    onUiThread([&] { frameOf(window.get())->close(); });
    EXPECT_TRUE(window->isInTray());
    EXPECT_FALSE(window->isShown());
    EXPECT_FALSE(window->isClosed());
    EXPECT_EQ(recorder.count(Window::CloseRequested), 0) << "no close was asked";

    window->trayLeftClick();
    EXPECT_FALSE(window->isInTray());
    EXPECT_TRUE(window->isShown());
    EXPECT_EQ(recorder.count(Window::TrayLeftClick), 1);
    window->trayRightClick();
    EXPECT_EQ(recorder.count(Window::TrayRightClick), 1);

    // With toggling, a click on the icon of an active window (or one deactivated by this very
    // click) sends it to the tray, and the next one brings it back.
    window->setTrayClickToggles(true);
    onUiThread([&] { window->frameActivation(true); });
    window->trayLeftClick();
    EXPECT_TRUE(window->isInTray());
    window->trayLeftClick();
    EXPECT_FALSE(window->isInTray());
    EXPECT_EQ(recorder.count(Window::TrayLeftClick), 3);

    // A close that is not the frame's own closes for good and removes the icon.
    window->close();
    EXPECT_TRUE(window->isClosed());
    EXPECT_FALSE(window->isTrayIconShown());
}

TEST_F(WindowTest, TimerFiresCode26WithItsIdUntilStopped)
{
    struct TimerLog : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::atomic<int> fired { 0 };
        std::atomic<int> wrongId { 0 };
        void handle(s::base::IObject* sender, int32_t code) override
        {
            EXPECT_EQ(sender, static_cast<s::base::IObject*>(window));
            EXPECT_EQ(code, Window::Timer);
            if (window->getTimerId() != 111)
                ++wrongId;
            window->markTimerHandled();
            ++fired;
        }
    } log;
    log.window = window.get();
    window->addTimerListener(&log);
    window->startTimer(111, 20);
    EXPECT_TRUE(eventually([&] { return log.fired.load() >= 3; }));
    EXPECT_EQ(log.wrongId.load(), 0);
    window->stopTimer(111);
    int after = log.fired.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    onUiThread([] { s::gui::os::UIThread::processEvents(); });
    EXPECT_EQ(log.fired.load(), after);
}

TEST_F(WindowTest, ClipboardChangesFireCode27AndOwnChangesAreRecognisable)
{
    struct ClipLog : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::vector<bool> own;
        void handle(s::base::IObject*, int32_t code) override
        {
            EXPECT_EQ(code, Window::ClipboardChanged);
            own.push_back(window->isOwnClipboardChange());
        }
    } log;
    log.window = window.get();
    window->addClipboardListener(&log);

    // Not watching: nothing.
    onUiThread([] { QGuiApplication::clipboard()->setText(QStringLiteral("before watching")); });
    EXPECT_TRUE(log.own.empty());

    window->watchClipboard(true);
    // Another owner writes.
    onUiThread([] { QGuiApplication::clipboard()->setText(QStringLiteral("https://example.org/watch?v=1")); });
    ASSERT_TRUE(eventually([&] { return log.own.size() == 1; }));
    EXPECT_FALSE(log.own[0]);
    // The window writes.
    window->setClipboardText(u"copied by the window");
    ASSERT_TRUE(eventually([&] { return log.own.size() == 2; }));
    EXPECT_TRUE(log.own[1]);
    EXPECT_EQ(window->getClipboardText(), u"copied by the window");
    // Another owner writes again: not own any more.
    onUiThread([] { QGuiApplication::clipboard()->setText(QStringLiteral("someone else")); });
    ASSERT_TRUE(eventually([&] { return log.own.size() == 3; }));
    EXPECT_FALSE(log.own[2]);

    window->watchClipboard(false);
    onUiThread([] { QGuiApplication::clipboard()->setText(QStringLiteral("after watching")); });
    EXPECT_EQ(log.own.size(), 3u);
}

TEST_F(WindowTest, FiftyThreadsSendingAtOnceAreEachAnsweredOnceOnTheGuiThread)
{
    static constexpr char kind[] = "Test";
    struct Answerer : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::map<intptr_t, int> heard;
        int offThread = 0;
        void handle(s::base::IObject*, int32_t code) override
        {
            EXPECT_EQ(code, Window::Request);
            if (!s::gui::os::UIThread::instance().isCurrent())
                ++offThread;
            EXPECT_EQ(window->getRequestName(), kind);
            ++heard[window->getRequestArg1()];
            window->setRequestResult(window->getRequestArg1() * 2 + window->getRequestArg2());
        }
    } answerer;
    answerer.window = window.get();
    window->addRequestListener(&answerer);

    constexpr int threads = 50;
    std::vector<intptr_t> results(threads, -1);
    std::latch start(threads);
    std::vector<std::thread> senders;
    for (int i = 0; i < threads; ++i) {
        senders.emplace_back([&, i] {
            start.arrive_and_wait();
            results[i] = window->sendRequest(kind, i, 1, 0);
        });
    }
    for (auto& t : senders)
        t.join();
    for (int i = 0; i < threads; ++i)
        EXPECT_EQ(results[i], i * 2 + 1) << "sender " << i;
    EXPECT_EQ(answerer.heard.size(), static_cast<size_t>(threads));
    for (auto& [arg, times] : answerer.heard)
        EXPECT_EQ(times, 1) << "request " << arg;
    EXPECT_EQ(answerer.offThread, 0);

    // On the GUI thread a request runs at once.
    EXPECT_EQ(onUiThread([&] { return window->sendRequest(kind, 1000, 0, 0); }), 2000);

    // Once the frame is gone, requests are dropped without blocking.
    window->create(nullptr);
    std::vector<std::thread> late;
    std::atomic<int> answeredLate { 0 };
    for (int i = 0; i < threads; ++i)
        late.emplace_back([&, i] { answeredLate += window->sendRequest(kind, i, 1, 0) != 0 ? 1 : 0; });
    for (auto& t : late)
        t.join();
    EXPECT_EQ(answeredLate.load(), 0);
    EXPECT_EQ(answerer.heard.size(), static_cast<size_t>(threads + 1));
}

TEST_F(WindowTest, OpacityPercentBecomesAlpha)
{
    struct Case {
        int32_t percent;
        int32_t alpha;
    } cases[] = { { 50, 127 }, { 100, 255 }, { 0, 0 }, { 1, 2 }, { 99, 252 }, { 150, 255 }, { -5, 0 } };
    for (const Case& c : cases) {
        window->setOpacity(c.percent);
        EXPECT_EQ(window->getOpacityAlpha(), c.alpha) << c.percent << " %";
        EXPECT_NEAR(onUiThread([&] { return frameOf(window.get())->windowOpacity(); }), c.alpha / 255.0, 0.01);
    }
}

TEST_F(WindowTest, OnScreenNeedsTenPixelsEachWay)
{
    QRect screen = screenArea();
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    struct Case {
        int32_t x, y, w, h;
        bool onScreen;
    } cases[] = {
        { 100, 100, 300, 200, true },
        { right - 10, 100, 300, 200, true },
        { right - 9, 100, 300, 200, false },
        { screen.x() - 290, 100, 300, 200, true },
        { screen.x() - 291, 100, 300, 200, false },
        { 100, bottom - 10, 300, 200, true },
        { 100, bottom - 9, 300, 200, false },
        { 100, screen.y() - 191, 300, 200, false },
        { 100, 100, 10, 200, false },
        { 100, 100, 300, 10, false },
    };
    for (const Case& c : cases) {
        window->setBounds(c.x, c.y, c.w, c.h);
        EXPECT_EQ(window->isOnScreen(), c.onScreen) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
    window->setKeepOnScreen(false);
    EXPECT_TRUE(window->isOnScreen());
}

TEST_F(WindowTest, AWindowWithOnlyNinePixelsOnScreenIsCentredWhenShown)
{
    QRect screen = screenArea();
    QRect area = onUiThread([] { return QGuiApplication::primaryScreen()->availableGeometry(); });
    window->setBounds(screen.x() + screen.width() - 9, 100, 300, 200);
    ASSERT_FALSE(window->isOnScreen());
    window->show();
    EXPECT_EQ(window->getX(), area.x() + (area.width() - 300) / 2);
    EXPECT_EQ(window->getY(), area.y() + (area.height() - 200) / 2);
    EXPECT_TRUE(window->isOnScreen());

    // A window the program placed on screen stays where it is.
    window->show(false);
    window->setLocation(20, 30);
    window->show();
    EXPECT_EQ(window->getX(), 20);
    EXPECT_EQ(window->getY(), 30);
}

TEST_F(WindowTest, ClampToScreenPullsTheWindowInside)
{
    QRect screen = screenArea();
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    window->setBounds(right - 100, bottom - 50, 300, 200);
    window->clampToScreen();
    EXPECT_EQ(window->getX(), right - 300);
    EXPECT_EQ(window->getY(), bottom - 200);
    window->setBounds(screen.x() - 40, screen.y() - 40, 300, 200);
    window->clampToScreen();
    EXPECT_EQ(window->getX(), screen.x());
    EXPECT_EQ(window->getY(), screen.y());
}

TEST_F(WindowTest, MiddleClickRunsItsAction)
{
    struct Case {
        const char* action;
        bool closed;
        bool inTray;
    } cases[] = { { "DoNothing", false, false }, { "Iconize", false, true }, { "Close", true, false }, { "nonsense", false, false } };
    for (const Case& c : cases) {
        s::thread::Pooled<Window> w = Window::make();
        w->setSize(200, 100);
        w->setMiddleClickAction(c.action);
        w->show();
        onUiThread([&] { QTest::mouseClick(frameOf(w.get()), Qt::MiddleButton, {}, QPoint(50, 50)); });
        EXPECT_EQ(w->isClosed(), c.closed) << c.action;
        EXPECT_EQ(w->isInTray(), c.inTray) << c.action;
    }
}

TEST_F(WindowTest, EasyDragMovesTheWindowByItsClientAreaAndThroughLabels)
{
    Label* label = Label::get();
    label->setText(u"drag me");
    window->add(label);
    window->setBounds(100, 100, 300, 200);
    window->setEasyDrag(true);
    window->show();
    onUiThread([&] {
        QWidget* frame = frameOf(window.get());
        QPoint inside = static_cast<QWidget*>(label->getNativeHandle())->geometry().center();
        // The press lands on the label, which lets it through to the frame.
        QWidget* hit = frame->childAt(inside);
        EXPECT_TRUE(hit == nullptr || hit == frame) << "labels let the mouse through";
        QTest::mousePress(frame, Qt::LeftButton, {}, inside);
        QMouseEvent move(QEvent::MouseMove, QPointF(inside + QPoint(30, 20)), QPointF(frame->mapToGlobal(inside + QPoint(30, 20))),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &move);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, inside + QPoint(30, 20));
    });
    EXPECT_EQ(window->getX(), 130);
    EXPECT_EQ(window->getY(), 120);
}

TEST_F(WindowTest, SettingsGiveTheGeometryAndGetBackOnlyChangedValues)
{
    MemorySettings store;
    store.values = { { IWindowSettings::X, 40 }, { IWindowSettings::Y, 50 }, { IWindowSettings::Width, 320 },
        { IWindowSettings::Height, 240 }, { IWindowSettings::EasyDrag, 1 }, { IWindowSettings::Topmost, 1 } };
    window->bindSettings(&store, false);
    EXPECT_EQ(window->getX(), 40);
    EXPECT_EQ(window->getWidth(), 320);
    EXPECT_TRUE(window->isEasyDrag());
    EXPECT_TRUE(window->isTopmost());
    int writesBefore = store.writes;
    window->show();
    EXPECT_EQ(window->getX(), 40) << "a stored position on screen is kept";
    window->saveGeometry();
    // Only the maximised flag was not stored before.
    EXPECT_EQ(store.writes, writesBefore + 1);
    window->setLocation(60, 50);
    window->saveGeometry();
    EXPECT_EQ(store.values[IWindowSettings::X], 60);
    EXPECT_EQ(store.writes, writesBefore + 2);
    window->setTopmost(false);
    EXPECT_EQ(store.values[IWindowSettings::Topmost], 0);
}

TEST_F(WindowTest, StatusBarKeepsTheBottom)
{
    window->setSize(400, 300);
    Box* content = Box::get();
    content->fill();
    window->add(content);
    Box* bar = Box::get();
    bar->setFixedHeight(20, false);
    window->setStatusBar(bar);
    EXPECT_EQ(geometryOf(bar), QRect(0, 280, 400, 20));
    EXPECT_EQ(content->getHeight(), 280);
    window->setSize(500, 400);
    EXPECT_EQ(geometryOf(bar), QRect(0, 380, 500, 20));
}

TEST_F(WindowTest, MinimisingAndMaximisingWriteTheNormalGeometry)
{
    MemorySettings store;
    window->bindSettings(&store, false);
    window->setBounds(100, 120, 400, 300);
    window->show();
    store.values.clear();
    // The user minimises: the normal geometry is written, though the frame shows none of it.
    onUiThread([&] { frameOf(window.get())->setWindowState(Qt::WindowMinimized); });
    EXPECT_EQ(store.values[IWindowSettings::X], 100);
    EXPECT_EQ(store.values[IWindowSettings::Y], 120);
    EXPECT_EQ(store.values[IWindowSettings::Width], 400);
    EXPECT_EQ(store.values[IWindowSettings::Height], 300);
    EXPECT_EQ(store.values[IWindowSettings::Maximized], 0);

    window->showNormal();
    window->setBounds(150, 160, 420, 310);
    store.values.clear();
    window->maximize();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(store.values[IWindowSettings::X], 150);
    EXPECT_EQ(store.values[IWindowSettings::Width], 420);
    EXPECT_EQ(store.values[IWindowSettings::Maximized], 1);
    // Saving while maximised keeps the normal geometry, not the maximised frame's.
    window->saveGeometry();
    EXPECT_EQ(store.values[IWindowSettings::Height], 310);
    // Minimised from maximised: still maximised when it comes back.
    store.values.clear();
    window->minimize();
    EXPECT_EQ(store.values[IWindowSettings::Maximized], 1);
}

TEST_F(WindowTest, MouseMovesOverTheClientAndItsComponentsFireCode13)
{
    Recorder recorder;
    window->addListener(Window::MouseMoved, &recorder);
    Box* box = fixedBox(100, 60);
    window->show();
    onUiThread([&] {
        QTest::mouseMove(frameOf(window.get()), QPoint(300, 300));
        QTest::mouseMove(static_cast<QWidget*>(box->getNativeHandle()), QPoint(10, 10));
        QTest::mouseMove(static_cast<QWidget*>(box->getNativeHandle()), QPoint(20, 20));
    });
    EXPECT_TRUE(eventually([&] { return recorder.count(Window::MouseMoved) >= 3; })) << recorder.count(Window::MouseMoved);
}

TEST_F(WindowTest, PointerCaptureEndsWithCode17AndTheCursorPosition)
{
    Recorder recorder;
    window->addListener(Window::CaptureEnded, &recorder);
    window->show();
    window->startPointerCapture();
    EXPECT_TRUE(window->isCapturingPointer());
    QPoint global = onUiThread([&] {
        QWidget* frame = frameOf(window.get());
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(33, 44));
        return frame->mapToGlobal(QPoint(33, 44));
    });
    EXPECT_EQ(recorder.count(Window::CaptureEnded), 1);
    EXPECT_FALSE(window->isCapturingPointer());
    EXPECT_EQ(window->getCaptureX(), global.x());
    EXPECT_EQ(window->getCaptureY(), global.y());
    // A release without a capture reports nothing.
    onUiThread([&] { QTest::mouseRelease(frameOf(window.get()), Qt::LeftButton, {}, QPoint(5, 5)); });
    EXPECT_EQ(recorder.count(Window::CaptureEnded), 1);
}

TEST_F(WindowTest, KeysNoComponentTookReachTheWindowAsTheApplicationsCodes)
{
    struct KeyLog : s::gui::events::IEventListener {
        Window* window = nullptr;
        std::vector<int32_t> codes;
        void handle(s::base::IObject*, int32_t) override { codes.push_back(window->getKeyCode()); }
    } log;
    log.window = window.get();
    window->addListener(Window::KeyPressed, &log);
    Box* box = fixedBox(100, 60);
    window->show();
    onUiThread([&] {
        auto* w = static_cast<QWidget*>(box->getNativeHandle());
        QTest::keyClick(w, Qt::Key_Delete);
        QTest::keyClick(w, Qt::Key_F5);
        QTest::keyClick(frameOf(window.get()), Qt::Key_A);
    });
    EXPECT_EQ(log.codes, (std::vector<int32_t> { 46, 116, 65 }));
}

TEST_F(WindowTest, TheSharedColumnPlacesTheContentAndTheStatusBarGoesOverTheBottom)
{
    window->setSize(400, 300);
    window->setInset(10);
    Box* top = Box::get();
    top->setFixedHeight(30, false);
    top->setWidthPercent(100, false);
    Box* content = Box::get();
    content->fill();
    window->add(top);
    window->add(content);
    Box* bar = Box::get();
    bar->setFixedHeight(20, false);
    window->setStatusBar(bar);
    EXPECT_EQ(window->getLayoutManager(), &s::gui::layout::Vertical::shared());
    EXPECT_EQ(window->getChildCount(), 3u) << "the bar is the last child";
    EXPECT_EQ(geometryOf(top), QRect(10, 10, 380, 30));
    EXPECT_EQ(geometryOf(bar), QRect(0, 280, 400, 20)) << "across the whole client, insets or not";
    EXPECT_EQ(content->getY() + content->getHeight(), 300 - 10 - 10 - 20) << "the column keeps room for the bar";
    bar->setVisible(false);
    window->doLayout();
    EXPECT_FALSE(shownOnPlatform(bar));
}
