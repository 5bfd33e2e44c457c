#pragma once

// The main window as a user meets it: the real controller on the offscreen platform, its own
// registry file and list file in a temporary home, and real events on the real controls.

#include "app/Dialog.h"
#include "app/MainSettings.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "engine/WorkerEvents.h"
#include "formats/lang/LangPack.h"
#include "formats/lang/Localizer.h"
#include "formats/reg/os/Hive.h"
#include "gui/os/Box.h"
#include "gui/os/Button.h"
#include "gui/os/CheckBox.h"
#include "gui/os/Label.h"
#include "gui/menu/MenuItem.h"
#include "gui/os/MenuEx.h"
#include "gui/os/PopupMenu.h"
#include "gui/os/StatusBar.h"
#include "gui/os/TabBox.h"
#include "gui/os/TextField.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

namespace mainwindowtest {

using s::app::MainSettings;
using s::app::os::AppBase;
using s::app::os::AppWindow;
using s::gui::os::onUiThread;
using s::thread::Pooled;
using s::video::gui::dialogs::videodl::Dialog;

inline QWidget* widgetOf(const s::gui::IComponent* c)
{
    return static_cast<QWidget*>(c->getNativeHandle());
}

inline bool shown(const s::gui::IComponent* c)
{
    return onUiThread([&] {
        QWidget* w = widgetOf(c);
        return w && w->isVisibleTo(w->window()) && !w->isHidden() && w->width() > 0 && w->height() > 0;
    });
}

// A user's click in the middle of a control.
inline void click(const s::gui::IComponent* c)
{
    onUiThread([&] {
        QWidget* w = widgetOf(c);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    });
}

template<class F>
inline bool waitFor(F condition, int ms = 20000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// One start of the program: the application object on its own registry file, the controller
// running on a thread of its own as start-up runs it, until close() or the end of the test.
struct Start {
    Start(TempFolder& home, Dialog::Hooks hooks = {})
        : hive(s::reg::os::Hive::forFile(home / "registry.reg"))
    {
        AppBase::Setup setup;
        setup.hive = &hive;
        app = Pooled<AppBase>::adopt(AppBase::get());
        app->initialize(setup);
        holder = AppWindow::create(app.get(), MainSettings::windowName, app->softwareType(), MainSettings::creationWidth,
            MainSettings::creationHeight, MainSettings::creationMiddleClick);
        holder->setScreenArea([] { return AppWindow::ScreenArea { 0, 0, 1920, 1080 }; });
        std::promise<void> shownPromise;
        auto shownFuture = shownPromise.get_future();
        hooks.updateCheck = false;
        std::string list = home / "DlList.dat";
        hooks.listPath = std::u16string(list.begin(), list.end());
        hooks.openUrl = [this](const std::u16string& url) { opened.push_back(url); };
        hooks.shown = [&shownPromise](Dialog&) { shownPromise.set_value(); };
        dialog = std::make_unique<Dialog>(std::move(hooks));
        thread = std::thread([this] { dialog->run(*app, *holder, false); });
        shownFuture.wait();
    }
    ~Start() { close(); }
    void close()
    {
        if (!thread.joinable())
            return;
        dialog->requestClose();
        thread.join();
        app->saveStore();
    }
    const Dialog::Controls& c() const { return dialog->controls(); }
    s::gui::os::Window& window() const { return *c().window; }

    s::reg::os::Hive& hive;
    Pooled<AppBase> app { nullptr };
    Pooled<AppWindow> holder { nullptr };
    std::unique_ptr<Dialog> dialog;
    std::thread thread;
    std::vector<std::u16string> opened;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        ::setenv("LANGUAGE", "en", 1);
    }
    TempFolder home;
};

}
