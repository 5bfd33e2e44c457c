// The menu bar inside a window on the offscreen platform, driven by real mouse and key events sent
// through the window system: title geometry from the margins, opening and closing drop-downs, the
// reopen guard on an injected clock, switching titles while a drop-down is open, command titles,
// presses on empty bar space reaching the window, and titles following a language switch.

#include "MenuTest.h"
#include "gui/os/MenuEx.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QTimer>
#include <QTest>
#include <QWindow>

#include <atomic>

using namespace guitest;
using namespace menutest;
using s::gui::os::MenuEx;

namespace {

class MenuBarTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // On the screen, so drop-downs open where the bar says and are not pushed inside.
        window->setBounds(40, 40, 640, 400);
        localizer = twoLanguages();
        window->setLocalizer(localizer.get());
        view->setLocalizer(localizer.get());
        view->setTitleId(500);
        MenuItem* keepOnTop = makeMenuItem(600, localizer.get(), 100);
        keepOnTop->setCheckable(true);
        view->addItem(keepOnTop);
        language->setTitle(u"Language");
        language->addItem(item(u"English", 2));
        language->addItem(item(u"Deutsch", 3));
        bar = MenuEx::get();
        bar->setTitleMargins(6, 3);
        bar->setClock([this] { return clock.load(); });
        bar->addMenuEntry(view.get());
        bar->addMenuEntry(language.get());
        bar->addCommandEntry(item(u"Supported Sites? (1076+)", 12000));
        bar->addCommandListener(&commands);
        bar->addOpenListener(&opened);
        window->add(bar);
        window->show();
        ASSERT_TRUE(eventually([&] { return frame()->isVisible() && bar->getWidth() > 0; }));
    }

    void TearDown() override
    {
        onUiThread([] {
            while (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        window.replace();
    }

    QWidget* frame() const { return window->widget(); }
    QWidget* barWidget() const { return bar->widget(); }

    // A point of the bar in the coordinates of the frame's window.
    QPoint inWindow(QPoint barPoint) const
    {
        return onUiThread([&] { return barWidget()->mapTo(frame(), barPoint); });
    }
    QPoint centreOf(int32_t title) const { return bar->getTitleRect(title).center(); }

    void click(QPoint barPoint)
    {
        onUiThread([&] { QTest::mouseClick(frame()->windowHandle(), Qt::LeftButton, {}, inWindow(barPoint)); });
        settle();
    }
    void press(QPoint barPoint)
    {
        onUiThread([&] { QTest::mousePress(frame()->windowHandle(), Qt::LeftButton, {}, inWindow(barPoint)); });
    }
    void release(QPoint barPoint)
    {
        onUiThread([&] { QTest::mouseRelease(frame()->windowHandle(), Qt::LeftButton, {}, inWindow(barPoint)); });
        settle();
    }
    void moveTo(QPoint barPoint)
    {
        onUiThread([&] { QTest::mouseMove(frame()->windowHandle(), inWindow(barPoint)); });
        settle();
    }
    bool shown(PopupMenu* menu) const
    {
        return onUiThread([&] { return menu->platformMenu()->isVisible(); });
    }

    Pooled<s::lang::Localizer> localizer;
    Pooled<PopupMenu> view;
    Pooled<PopupMenu> language;
    MenuEx* bar = nullptr;
    std::atomic<int64_t> clock { 100000 };
    Recorder commands;
    Recorder opened;
};

}

TEST_F(MenuBarTest, TitlesAreTheirTextPlusTwiceTheMarginsFromTheLeft)
{
    QFontMetrics metrics(onUiThread([&] { return barWidget()->font(); }));
    const char16_t* titles[] = { u"View", u"Language", u"Supported Sites? (1076+)" };
    int32_t x = 0;
    for (int32_t i = 0; i < 3; ++i) {
        QRect r = bar->getTitleRect(i);
        int32_t textWidth = metrics.horizontalAdvance(QString::fromStdU16String(titles[i]));
        EXPECT_EQ(bar->getTitle(i), titles[i]);
        EXPECT_EQ(r.width(), textWidth + 2 * 6) << i;
        EXPECT_EQ(r.height(), metrics.height() + 2 * 3) << i;
        EXPECT_EQ(r.x(), x) << "titles follow each other without a gap";
        EXPECT_EQ(r.y(), 0);
        x += r.width();
    }
    EXPECT_EQ(bar->getHeight(), metrics.height() + 6) << "the bar is as high as its titles";
    EXPECT_EQ(bar->getWidth(), window->getInnerWidth()) << "and spans its row";

    // The last title at the right end.
    bar->setLastRightAligned(true);
    QRect last = bar->getTitleRect(2);
    EXPECT_EQ(last.right() + 1, bar->getWidth());
    EXPECT_EQ(bar->titleAt(last.center().x(), last.center().y()), 2);
    EXPECT_EQ(bar->titleAt(x - 1 + 5, last.center().y()), -1) << "the gap before it is empty bar";

    // Insets move the titles; one entry with an arrow is 15 pixels wider.
    bar->setInsetLeft(4);
    bar->setInsetTop(2);
    EXPECT_EQ(bar->getTitleRect(0).topLeft(), QPoint(4, 2));
    EXPECT_EQ(bar->getHeight(), metrics.height() + 6 + 2);
    bar->setSingleEntry(true);
    EXPECT_EQ(bar->getTitleRect(0).width(), metrics.horizontalAdvance("View") + 12 + 15);
    EXPECT_TRUE(bar->getTitleRect(1).isNull());
}

TEST_F(MenuBarTest, AClickOpensAClickClosesAndTheClosingClickDoesNotReopen)
{
    click(centreOf(0));
    EXPECT_TRUE(bar->isDropDownOpen());
    EXPECT_EQ(bar->getOpenIndex(), 0);
    EXPECT_TRUE(shown(view.get()));
    EXPECT_EQ(opened.count(MenuEx::AboutToOpen), 1);
    QRect menuAt = onUiThread([&] { return view->platformMenu()->geometry(); });
    QPoint titleBottomLeft = onUiThread([&] { return barWidget()->mapToGlobal(bar->getTitleRect(0).bottomLeft()); });
    EXPECT_EQ(menuAt.topLeft(), titleBottomLeft + QPoint(0, 1)) << "under the title's bottom-left corner";

    // Clicking the title of the open drop-down closes it.
    click(centreOf(0));
    EXPECT_FALSE(bar->isDropDownOpen());
    EXPECT_FALSE(shown(view.get()));
    // Clicking again at once (the clock has not moved: within 500 ms of the close) does nothing.
    clock += 499;
    click(centreOf(0));
    EXPECT_FALSE(bar->isDropDownOpen());
    // A later click opens it.
    clock += 1;
    click(centreOf(0));
    EXPECT_TRUE(bar->isDropDownOpen());
    EXPECT_EQ(opened.count(MenuEx::AboutToOpen), 2);
}

TEST_F(MenuBarTest, MovingToAnotherTitleSwitchesTheOpenDropDown)
{
    click(centreOf(0));
    ASSERT_TRUE(shown(view.get()));
    moveTo(centreOf(1));
    EXPECT_TRUE(eventually([&] { return bar->getOpenIndex() == 1 && language->platformMenu()->isVisible(); }));
    EXPECT_FALSE(shown(view.get()));
    // A command title is no drop-down: the open one stays.
    moveTo(centreOf(2));
    settle();
    EXPECT_EQ(bar->getOpenIndex(), 1);
    EXPECT_EQ(opened.count(MenuEx::AboutToOpen), 2);
}

TEST_F(MenuBarTest, CommandsOfTitlesOnReleaseAndOfDropDownsReachTheBar)
{
    // A command title dispatches on release over it, not on the press.
    press(centreOf(2));
    settle();
    EXPECT_EQ(commands.size(), 0u);
    release(centreOf(2));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands.at(0).sender, bar);
    EXPECT_EQ(bar->getLastCommand(), 12000);
    // Pressed on it but released elsewhere: nothing.
    press(centreOf(2));
    release(centreOf(0));
    EXPECT_EQ(commands.size(), 1u);

    // A drop-down's command, chosen with the keyboard.
    click(centreOf(0));
    ASSERT_TRUE(shown(view.get()));
    onUiThread([&] {
        QMenu* menu = view->platformMenu();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_TRUE(eventually([&] { return commands.size() == 2; }));
    EXPECT_EQ(bar->getLastCommand(), 100);
    EXPECT_FALSE(bar->isDropDownOpen());
    EXPECT_TRUE(bar->hasCommand(3));
    EXPECT_FALSE(bar->hasCommand(77));
    EXPECT_TRUE(bar->setItemChecked(100, true));
    EXPECT_TRUE(view->isItemChecked(100));
}

TEST_F(MenuBarTest, APressOnEmptyBarSpaceReachesTheWindow)
{
    Recorder presses;
    window->addListener(Window::LeftPress, &presses);
    QRect last = bar->getTitleRect(2);
    click(QPoint(last.right() + 40, last.center().y()));
    EXPECT_EQ(presses.count(Window::LeftPress), 1);
    EXPECT_FALSE(bar->isDropDownOpen());
    // A press on a title is the bar's.
    click(centreOf(2));
    EXPECT_EQ(presses.count(Window::LeftPress), 1);
}

TEST_F(MenuBarTest, ALanguageSwitchSetsTheTitlesAgain)
{
    Recorder relabelled;
    bar->addLanguageListener(&relabelled);
    int32_t before = bar->getTitleRect(0).width();
    onUiThread([&] { localizer->selectLanguage(u"German"); });
    EXPECT_EQ(bar->getTitle(0), u"Ansicht");
    EXPECT_EQ(bar->getTitle(1), u"Language") << "a literal title stays";
    EXPECT_GE(relabelled.count(MenuEx::TitlesRelabelled), 1);
    QFontMetrics metrics(onUiThread([&] { return barWidget()->font(); }));
    EXPECT_EQ(bar->getTitleRect(0).width(), metrics.horizontalAdvance("Ansicht") + 12);
    EXPECT_NE(bar->getTitleRect(0).width(), before);
    EXPECT_EQ(bar->getTitleRect(1).x(), bar->getTitleRect(0).right() + 1);
}

TEST_F(MenuBarTest, AWindowsContextMenuOpensWhereTheRightPressWasAfterCode19)
{
    Pooled<PopupMenu> context;
    context->addItem(item(u"Restore", 1));
    window->setContextMenu(context.get());
    Recorder heard;
    window->addListener(Window::RightPress, &heard);
    window->addListener(Window::ContextMenu, &heard);
    struct Opened : s::gui::events::IEventListener {
        Recorder* heard;
        void handle(s::base::IObject* sender, int32_t) override { heard->handle(sender, 100); }
    } opened;
    opened.heard = &heard;
    context->addOpenListener(&opened);
    // Beside the titles, so the press goes past the bar to the window.
    QPoint barPoint(bar->getTitleRect(2).right() + 30, 5);
    QPoint expected;
    QPoint shownAt;
    onUiThread([&] {
        QMenu* menu = context->platformMenu();
        expected = barWidget()->mapToGlobal(barPoint);
        QTimer::singleShot(0, menu, [&, menu] {
            shownAt = menu->geometry().topLeft();
            menu->close();
        });
        QTest::mousePress(frame()->windowHandle(), Qt::RightButton, {}, inWindow(barPoint));
        QTest::mouseRelease(frame()->windowHandle(), Qt::RightButton, {}, inWindow(barPoint));
    });
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard.at(0).code, Window::RightPress);
    EXPECT_EQ(heard.at(1).code, Window::ContextMenu);
    EXPECT_EQ(heard.at(2).code, 100) << "the menu opens after code 19";
    EXPECT_EQ(shownAt, expected);
    window->setContextMenu(nullptr);
}

TEST_F(MenuBarTest, TheTrayMenuFiresCode18AsItOpensWhoeverOpensIt)
{
    Pooled<PopupMenu> tray;
    tray->addItem(item(u"Exit", 7));
    window->setTrayMenu(tray.get());
    Recorder heard;
    window->addListener(Window::TrayRightClick, &heard);
    // The desktop shell (or Qt) opens the menu; the window hears as it opens.
    onUiThread([&] {
        QMenu* menu = tray->platformMenu();
        menu->popup(QPoint(300, 200));
        menu->close();
    });
    EXPECT_EQ(heard.count(Window::TrayRightClick), 1);
    // The icon's right click itself does not fire it a second time.
    window->trayRightClick();
    EXPECT_EQ(heard.count(Window::TrayRightClick), 1);
    // Without a tray menu, the right click is what fires it.
    window->setTrayMenu(nullptr);
    window->trayRightClick();
    EXPECT_EQ(heard.count(Window::TrayRightClick), 2);
    onUiThread([&] {
        tray->platformMenu()->popup(QPoint(300, 200));
        tray->platformMenu()->close();
    });
    EXPECT_EQ(heard.count(Window::TrayRightClick), 2) << "a menu no longer attached is not heard";
}
