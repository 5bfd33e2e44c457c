// The about window on the offscreen platform: rebuilt at each opening, the donation box only for
// freeware, the parent disabled while it is open, and the GUI thread free meanwhile.

#include "app/dialogs/About3.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "formats/reg/os/Hive.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <thread>

using s::app::os::AppBase;
using s::gui::dialogs::About3;
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

// The application with another software type than freeware.
class OtherType final : public s::app::IAppBase {
public:
    explicit OtherType(AppBase& app)
        : m_app(app)
    {
    }
    s::map::IMappedData* store() override { return m_app.store(); }
    bool saveStore() override { return m_app.saveStore(); }
    s::lang::Localizer* localizer() override { return m_app.localizer(); }
    std::u16string_view softwareType() const override { return u"Shareware"; }
    std::u16string text(int32_t id) override { return m_app.text(id); }
    std::u16string languageSetting() override { return m_app.languageSetting(); }
    void storeLanguage(std::u16string_view name) override { m_app.storeLanguage(name); }

private:
    AppBase& m_app;
};

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppBase::Setup setup;
        setup.hive = &s::reg::os::Hive::forFile(folder / "registry.reg");
        app = Pooled<AppBase>::adopt(AppBase::get());
        ASSERT_TRUE(app->initialize(setup));
        parent = Window::make();
        parent->setBounds(100, 100, 640, 480);
        parent->show(true, true);
    }

    bool parentEnabled() { return onUiThread([&] { return parent->widget()->isEnabled(); }); }

    static QStringList labelTexts(Window* w)
    {
        return onUiThread([&] {
            QStringList texts;
            for (QLabel* l : w->widget()->findChildren<QLabel*>())
                texts << l->text();
            return texts;
        });
    }

    static QPushButton* buttonNamed(Window* w, const QString& text)
    {
        return onUiThread([&]() -> QPushButton* {
            for (QPushButton* b : w->widget()->findChildren<QPushButton*>()) {
                if (b->text() == text)
                    return b;
            }
            return nullptr;
        });
    }

    TempFolder folder;
    Pooled<AppBase> app { nullptr };
    Pooled<Window> parent { nullptr };
};

}

TEST_F(AboutTest, OpenedTwiceIsBuiltAgainAndDisablesItsParentMeanwhile)
{
    Pooled<About3> about;
    about->show(*app, parent.get());
    Window* first = about->window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(about->isOpen());
    EXPECT_FALSE(parentEnabled());
    EXPECT_TRUE(about->hasDonationBox());
    QStringList texts = labelTexts(first);
    EXPECT_TRUE(texts.contains(QStringLiteral("Version Information")));
    EXPECT_TRUE(texts.contains(QString::fromStdU16String(app->versionText())));
    EXPECT_TRUE(texts.contains(QStringLiteral("Is this freeware useful?")));
    EXPECT_EQ(onUiThread([&] { return first->widget()->windowTitle(); }), QStringLiteral("Version Information"));
    // No resize border: the frame's size is fixed.
    EXPECT_FALSE(first->isResizable());

    // The GUI thread is not held while the window is open.
    std::atomic<bool> served { false };
    s::gui::os::UIThread::instance().post([&] { served = true; });
    EXPECT_TRUE(eventually([&] { return served.load(); }));

    // "Close" closes and gives the parent back.
    QPushButton* close = buttonNamed(first, QStringLiteral("Close"));
    ASSERT_NE(close, nullptr);
    onUiThread([&] { close->click(); });
    EXPECT_TRUE(eventually([&] { return !about->isOpen(); }));
    EXPECT_TRUE(parentEnabled());

    // A second opening builds a new window; the cross closes it.
    about->show(*app, parent.get());
    Window* second = about->window();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(about->isOpen());
    EXPECT_FALSE(parentEnabled());
    EXPECT_TRUE(labelTexts(second).contains(QStringLiteral("Version Information")));
    QPushButton* cross = buttonNamed(second, QStringLiteral("\u2715"));
    ASSERT_NE(cross, nullptr);
    onUiThread([&] { cross->click(); });
    EXPECT_TRUE(eventually([&] { return !about->isOpen(); }));
    EXPECT_TRUE(parentEnabled());

    // The frame's own close, too.
    about->show(*app, parent.get());
    EXPECT_FALSE(parentEnabled());
    onUiThread([&] { about->window()->widget()->close(); });
    EXPECT_TRUE(eventually([&] { return !about->isOpen(); }));
    EXPECT_TRUE(parentEnabled());
}

TEST_F(AboutTest, NoDonationBoxForAnotherSoftwareType)
{
    OtherType other(*app);
    Pooled<About3> about;
    about->show(other, parent.get());
    ASSERT_NE(about->window(), nullptr);
    EXPECT_FALSE(about->hasDonationBox());
    EXPECT_FALSE(labelTexts(about->window()).contains(QStringLiteral("Is this freeware useful?")));
    about->close();
    EXPECT_TRUE(eventually([&] { return !about->isOpen(); }));
    EXPECT_TRUE(parentEnabled());
}

TEST_F(AboutTest, ReleasedWhileOpenGivesTheParentBack)
{
    {
        Pooled<About3> about;
        about->show(*app, parent.get());
        EXPECT_FALSE(parentEnabled());
    }
    EXPECT_TRUE(parentEnabled());
}
