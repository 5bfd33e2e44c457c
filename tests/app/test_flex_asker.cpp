// The question window answered with real key events and the frame's close, asked from a thread
// that is not the GUI thread (as the update check does at start-up) and from the GUI thread.

#include "app/dialogs/FlexAsker.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "formats/reg/os/Hive.h"
#include "gui/os/Button.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <thread>

using s::app::os::AppBase;
using s::app::os::AppWindow;
using s::gui::dialogs::FlexAsker;
using s::gui::os::Window;
using s::gui::os::onUiThread;
using s::thread::Pooled;

namespace {

template<class F>
bool eventually(F condition)
{
    for (int i = 0; i < 1000; ++i) {
        if (onUiThread(condition))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The open question's window (the active top-level window that is not the owner).
QWidget* questionWindow(QWidget* owner)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != owner && w->isVisible() && w->findChild<QPushButton*>())
            return w;
    }
    return nullptr;
}

class FlexAskerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppBase::Setup setup;
        setup.hive = &s::reg::os::Hive::forFile(folder / "registry.reg");
        app = Pooled<AppBase>::adopt(AppBase::get());
        ASSERT_TRUE(app->initialize(setup));
        owner = Window::make();
        owner->setBounds(100, 100, 600, 400);
        owner->show(true, true);
    }

    QWidget* ownerWidget() { return owner->widget(); }

    // Asks on a thread of its own; `act` runs on the test's thread while the question is open.
    bool askAndAct(const std::function<void(QWidget* question)>& act, const std::u16string& message = u"Remove the entry?")
    {
        std::promise<bool> answer;
        std::thread asking([&] {
            Pooled<AppWindow> holder = AppWindow::create(app.get(), u"FlexAskerWindow", u"Freeware", 400, 200, u"DoNothing");
            Pooled<FlexAsker> asker;
            asker->setHolder(holder.get());
            answer.set_value(asker->ask(owner.get(), std::nullopt, message));
        });
        QWidget* question = nullptr;
        EXPECT_TRUE(eventually([&] { return (question = questionWindow(ownerWidget())) != nullptr; }));
        if (question)
            act(question);
        std::future<bool> result = answer.get_future();
        bool ended = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(ended) << "the question did not close";
        if (!ended) {
            onUiThread([&] { if (question) question->close(); });
        }
        asking.join();
        return result.get();
    }

    // A real key press on whatever widget has the focus, once the yes button has it.
    void press(Qt::Key key)
    {
        onUiThread([&] {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, key);
        });
    }

    static bool yesHasFocus(QWidget* question)
    {
        QWidget* focus = QApplication::focusWidget();
        return focus && question->isAncestorOf(focus) && qobject_cast<QPushButton*>(focus)
            && question->findChildren<QPushButton*>().value(0) == focus;
    }

    TempFolder folder;
    Pooled<AppBase> app { nullptr };
    Pooled<Window> owner { nullptr };
};

}

TEST_F(FlexAskerTest, EnterAtOnceAnswersYes)
{
    bool yes = askAndAct([&](QWidget* question) {
        ASSERT_TRUE(eventually([&] { return yesHasFocus(question); }));
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(yes);
    EXPECT_TRUE(onUiThread([&] { return ownerWidget()->isEnabled(); }));
}

TEST_F(FlexAskerTest, TabThenEnterAnswersNo)
{
    bool yes = askAndAct([&](QWidget* question) {
        ASSERT_TRUE(eventually([&] { return yesHasFocus(question); }));
        press(Qt::Key_Tab);
        press(Qt::Key_Enter);
    });
    EXPECT_FALSE(yes);
}

TEST_F(FlexAskerTest, TabTwiceComesBackToYes)
{
    bool yes = askAndAct([&](QWidget* question) {
        ASSERT_TRUE(eventually([&] { return yesHasFocus(question); }));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(yes);
}

TEST_F(FlexAskerTest, FrameCloseAnswersNo)
{
    bool yes = askAndAct([&](QWidget* question) { onUiThread([&] { question->close(); }); });
    EXPECT_FALSE(yes);
}

TEST_F(FlexAskerTest, OwnerDisabledWhileOpenCentredAndWidened)
{
    const std::u16string message = u"A message much longer than the window would be by itself, so the window widens to it";
    bool yes = askAndAct(
        [&](QWidget* question) {
            onUiThread([&] {
                EXPECT_FALSE(ownerWidget()->isEnabled());
                QRect own = ownerWidget()->geometry();
                QRect asked = question->geometry();
                EXPECT_NEAR(asked.center().x(), own.center().x(), 2);
                EXPECT_NEAR(asked.center().y(), own.center().y(), 2);
                int messageWidth = question->fontMetrics().horizontalAdvance(QString::fromStdU16String(message));
                EXPECT_GE(asked.width(), messageWidth + 40);
                EXPECT_EQ(question->windowTitle(), QStringLiteral("Confirmation Dialog"));
            });
            onUiThread([&] { question->findChildren<QPushButton*>().value(1)->click(); });
        },
        message);
    EXPECT_FALSE(yes);
    EXPECT_TRUE(onUiThread([&] { return ownerWidget()->isEnabled(); }));
}

// On the GUI thread itself the wait keeps serving the GUI queue: a request posted meanwhile runs.
TEST_F(FlexAskerTest, AskedOnTheGuiThreadKeepsServingItsQueue)
{
    std::atomic<bool> served { false };
    std::atomic<bool> answered { false };
    std::atomic<bool> answer { true };
    Pooled<AppWindow> holder = AppWindow::create(app.get(), u"FlexAskerWindow", u"Freeware", 400, 200, u"DoNothing");
    s::gui::os::UIThread::instance().post([&] {
        Pooled<FlexAsker> asker;
        asker->setHolder(holder.get());
        answer = asker->ask(owner.get(), std::u16string(u"Title"), std::u16string(u"Message"));
        answered = true;
    });
    QWidget* question = nullptr;
    ASSERT_TRUE(eventually([&] { return (question = questionWindow(ownerWidget())) != nullptr; }));
    s::gui::os::UIThread::instance().post([&] { served = true; });
    EXPECT_TRUE(eventually([&] { return served.load(); }));
    onUiThread([&] { question->close(); });
    EXPECT_TRUE(eventually([&] { return answered.load(); }));
    EXPECT_FALSE(answer.load());
}
