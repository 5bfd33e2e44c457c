// Popup menus as tables without showing anything (deep lookups, languages, marks, dispatch), then
// their QMenus: marks and labels shown, commands chosen with real key presses reaching the menu
// that was opened.

#include "MenuTest.h"
#include "gui/os/ContextMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <thread>

using namespace guitest;
using namespace menutest;

namespace {

// The action of a built menu that carries a command (GUI thread).
QAction* actionFor(PopupMenu* menu, int32_t commandId)
{
    for (QAction* action : menu->platformMenu()->actions()) {
        if (!action->isSeparator() && !action->menu() && action->data().toInt() == commandId)
            return action;
    }
    return nullptr;
}

struct Shown {
    QString text;
    bool checkable = false;
    bool checked = false;
    bool enabled = false;
    bool exclusive = false;
};

Shown shownFor(PopupMenu* menu, int32_t commandId)
{
    return onUiThread([&] {
        Shown shown;
        if (QAction* action = actionFor(menu, commandId)) {
            shown.text = action->text();
            shown.checkable = action->isCheckable();
            shown.checked = action->isChecked();
            shown.enabled = action->isEnabled();
            shown.exclusive = action->actionGroup() && action->actionGroup()->isExclusive();
        }
        return shown;
    });
}

// The list's context menu: Retry (400), separator, Play (100), Locate (200), separator,
// "Remove and..." holding "Delete File" (550), and a sub-sub-menu holding 777.
Pooled<PopupMenu> listMenu(s::lang::Localizer* localizer)
{
    Pooled<PopupMenu> menu;
    menu->setLocalizer(localizer);
    menu->addItem(item(u"Retry Download", 400));
    menu->addItem(makeSeparator());
    menu->addItem(makeMenuItem(100, localizer, 100));
    menu->addItem(makeMenuItem(200, localizer, 200));
    menu->addItem(makeSeparator());
    Pooled<PopupMenu> remove;
    remove->setTitleId(300);
    remove->addItem(makeMenuItem(400, localizer, 550));
    Pooled<PopupMenu> deeper;
    deeper->setTitle(u"Deeper");
    deeper->addItem(item(u"Deep", 777));
    remove->addSubMenu(deeper.take());
    menu->addSubMenu(remove.take());
    return menu;
}

}

TEST(PopupMenuTable, DeepLookupsFindTheFirstHolderOwnItemsFirst)
{
    Pooled<PopupMenu> top;
    top->addItem(item(u"Own five", 5));
    Pooled<PopupMenu> first;
    first->setTitle(u"First");
    first->addItem(item(u"First's five", 5));
    first->addItem(item(u"First's six", 6));
    Pooled<PopupMenu> second;
    second->setTitle(u"Second");
    Pooled<PopupMenu> third;
    third->setTitle(u"Third");
    third->addItem(item(u"Seven, two down", 7));
    third->addItem(item(u"Six again", 6));
    PopupMenu* thirdMenu = third.get();
    PopupMenu* firstMenu = first.get();
    second->addSubMenu(third.take());
    top->addSubMenu(first.take());
    top->addSubMenu(second.take());

    // Checking an id two sub-menus down finds and marks it.
    EXPECT_TRUE(top->setItemChecked(7, true));
    EXPECT_TRUE(top->isItemChecked(7));
    EXPECT_TRUE(thirdMenu->itemAt(0)->isChecked());

    // The parent's own item wins over the sub-menu's with the same id.
    EXPECT_TRUE(top->setItemChecked(5, true));
    EXPECT_TRUE(top->itemAt(0)->isChecked());
    EXPECT_FALSE(firstMenu->itemAt(0)->isChecked());
    // Sub-menus are searched in order, depth first: the first sub-menu's six wins.
    EXPECT_TRUE(top->setItemLabel(6, u"Renamed"));
    EXPECT_EQ(firstMenu->itemAt(1)->getLabel(), u"Renamed");
    EXPECT_EQ(thirdMenu->itemAt(1)->getLabel(), u"Six again");

    // Unknown ids: false, nothing changes.
    struct Case {
        const char* what;
        bool (*run)(PopupMenu&);
    };
    const Case unknown[] = {
        { "hasCommand", [](PopupMenu& m) { return m.hasCommand(99); } },
        { "setItemChecked", [](PopupMenu& m) { return m.setItemChecked(99, true); } },
        { "isItemChecked", [](PopupMenu& m) { return m.isItemChecked(99); } },
        { "setItemEnabled", [](PopupMenu& m) { return m.setItemEnabled(99, false); } },
        { "setItemLabel", [](PopupMenu& m) { return m.setItemLabel(99, u"x"); } },
        { "setItemLabelId", [](PopupMenu& m) { return m.setItemLabelId(99, 100); } },
        { "removeById", [](PopupMenu& m) { return m.removeById(99); } },
        { "removeByData", [](PopupMenu& m) { return m.removeByData(12345); } },
        { "setRadioMarkById", [](PopupMenu& m) { return m.setRadioMarkById(99); } },
        { "setRadioMarkByData", [](PopupMenu& m) { return m.setRadioMarkByData(12345); } },
        { "removeAt past the end", [](PopupMenu& m) { return m.removeAt(3); } },
        { "removeAt before the start", [](PopupMenu& m) { return m.removeAt(-1); } },
        { "setRadioMarkAt past the end", [](PopupMenu& m) { return m.setRadioMarkAt(3); } },
        { "setRadioMark outside its range", [](PopupMenu& m) { return m.setRadioMark(0, 1, 2); } },
        { "insertItem past the end", [](PopupMenu& m) { return m.insertItem(4, item(u"late", 1)); } },
        { "insertItem before the start", [](PopupMenu& m) { return m.insertItem(-1, item(u"early", 1)); } },
        { "hasCommand of an unset id", [](PopupMenu& m) { return m.hasCommand(-1); } },
        { "dispatch of an unset id", [](PopupMenu& m) { return m.dispatch(-1); } },
    };
    for (const Case& c : unknown) {
        EXPECT_FALSE(c.run(*top)) << c.what;
        EXPECT_EQ(top->getCount(), 3) << c.what;
        EXPECT_TRUE(top->isItemChecked(5)) << c.what;
        EXPECT_FALSE(top->isItemChecked(6)) << c.what;
        EXPECT_EQ(top->getLastCommand(), -1) << c.what;
    }
    EXPECT_EQ(top->findItem(7), thirdMenu->itemAt(0));
    int32_t position = -1;
    EXPECT_FALSE(top->indexOfCommand(7, position)) << "positions are the menu's own";
    EXPECT_TRUE(thirdMenu->indexOfCommand(6, position));
    EXPECT_EQ(position, 1);
}

TEST(PopupMenuTable, PositionsCountEveryEntryAndRemovalsReleaseThem)
{
    Pooled<PopupMenu> menu;
    menu->addItem(item(u"a", 1));
    menu->addItem(makeSeparator());
    menu->addItem(item(u"c", 3));
    Pooled<PopupMenu> sub;
    sub->addItem(item(u"inner", 9));
    EXPECT_TRUE(menu->insertSubMenu(1, sub.take()));
    EXPECT_TRUE(menu->insertItem(0, item(u"first", 0)));
    MenuItem* withData = item(u"data", 4);
    withData->setData(4242);
    EXPECT_TRUE(menu->addItem(withData));
    // first, a, [sub], separator, c, data
    ASSERT_EQ(menu->getCount(), 6);
    EXPECT_EQ(menu->itemAt(0)->getLabel(), u"first");
    EXPECT_NE(menu->subMenuAt(2), nullptr);
    EXPECT_TRUE(menu->itemAt(3)->isSeparator());
    int32_t position = -1;
    EXPECT_TRUE(menu->indexOfData(4242, position));
    EXPECT_EQ(position, 5);
    EXPECT_TRUE(menu->indexOfCommand(0, position)) << "command 0 is a command";
    EXPECT_EQ(position, 0);

    EXPECT_TRUE(menu->removeAt(2));
    EXPECT_FALSE(menu->hasCommand(9)) << "the sub-menu went with its entry";
    EXPECT_TRUE(menu->removeByData(4242));
    EXPECT_TRUE(menu->removeById(0));
    EXPECT_EQ(menu->getCount(), 3);
    EXPECT_EQ(menu->itemAt(0)->getLabel(), u"a");
}

TEST(PopupMenuTable, ALanguageSwitchRelabelsIdsAndTitlesAndKeepsLiteralsAndMarks)
{
    Pooled<s::lang::Localizer> localizer = twoLanguages();
    for (bool shown : { false, true }) {
        SCOPED_TRACE(shown ? "with its QMenu" : "without a QMenu");
        localizer->selectLanguage(u"English");
        Pooled<PopupMenu> menu = listMenu(localizer.get());
        menu->addItem(makeSeparator());
        menu->addItem(item(u"English", 2));
        menu->addItem(item(u"Deutsch", 3));
        ASSERT_TRUE(menu->setRadioMarkById(2));
        ASSERT_TRUE(menu->setItemChecked(400, true));
        PopupMenu* remove = menu->subMenuAt(5);
        ASSERT_NE(remove, nullptr);
        if (shown)
            onUiThread([&] { menu->platformMenu(); });
        EXPECT_EQ(menu->findItem(100)->getLabel(), u"Play");
        EXPECT_EQ(remove->getTitle(), u"Remove and...");

        localizer->selectLanguage(u"German");
        EXPECT_EQ(menu->findItem(100)->getLabel(), u"Abspielen");
        EXPECT_EQ(menu->findItem(200)->getLabel(), u"Datei zeigen");
        EXPECT_EQ(menu->findItem(550)->getLabel(), u"Datei löschen") << "sub-menu items follow";
        EXPECT_EQ(remove->getTitle(), u"Entfernen und...");
        EXPECT_EQ(menu->findItem(400)->getLabel(), u"Retry Download") << "a literal label stays";
        EXPECT_TRUE(menu->isItemChecked(400)) << "the check stays";
        EXPECT_TRUE(menu->findItem(2)->isRadioMarked()) << "the radio mark stays";
        EXPECT_FALSE(menu->findItem(3)->isRadioMarked());
        if (shown) {
            EXPECT_EQ(shownFor(menu.get(), 100).text, QString::fromUtf8("Abspielen"));
            EXPECT_EQ(onUiThread([&] { return remove->platformMenu()->menuAction()->text(); }),
                QString::fromUtf8("Entfernen und..."));
            EXPECT_TRUE(shownFor(menu.get(), 400).checked);
            EXPECT_TRUE(shownFor(menu.get(), 2).checked);
            EXPECT_FALSE(shownFor(menu.get(), 3).checked);
        }
    }
}

TEST(PopupMenuTable, AReleasedMenuNoLongerHearsTheLanguageService)
{
    Pooled<s::lang::Localizer> localizer = twoLanguages();
    uint32_t before = localizer->listenerCount();
    {
        Pooled<PopupMenu> menu = listMenu(localizer.get());
        EXPECT_EQ(localizer->listenerCount(), before + 1) << "only menus with a service of their own listen";
    }
    EXPECT_EQ(localizer->listenerCount(), before);
    // A switch after the release reaches nobody that has gone.
    localizer->selectLanguage(u"German");
    Pooled<PopupMenu> again;
    again->setLocalizer(localizer.get());
    again->setLocalizer(nullptr);
    EXPECT_EQ(localizer->listenerCount(), before);
}

TEST(PopupMenuTable, SeparatorsAreNeverDispatchedAndCommandZeroIs)
{
    Pooled<PopupMenu> menu;
    Recorder recorder;
    menu->addCommandListener(&recorder);
    MenuItem* separator = makeSeparator();
    separator->setCommandId(5);
    menu->addItem(separator);
    menu->addItem(item(u"Translate? (online)", 0));
    EXPECT_EQ(separator->getCommandId(), MenuItem::NoCommand) << "a separator has no command";
    EXPECT_FALSE(menu->hasCommand(5));
    EXPECT_FALSE(menu->dispatch(separator->getCommandId()));
    EXPECT_EQ(recorder.size(), 0u);

    EXPECT_TRUE(menu->hasCommand(0));
    EXPECT_TRUE(menu->dispatch(0));
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(recorder.at(0).sender, menu.get());
    EXPECT_EQ(recorder.at(0).code, PopupMenu::CommandChosen);
    EXPECT_EQ(menu->getLastCommand(), 0);

    // The separator's QAction cannot be chosen either.
    onUiThread([&] {
        QAction* line = menu->platformMenu()->actions().at(0);
        EXPECT_TRUE(line->isSeparator());
        line->trigger();
    });
    settle();
    EXPECT_EQ(recorder.size(), 1u);
}

TEST(PopupMenuTable, TheRadioMarkMovesWithinItsRange)
{
    Pooled<PopupMenu> menu;
    menu->addItem(item(u"Translate", 0));
    menu->addItem(makeSeparator());
    for (int32_t language = 0; language < 4; ++language) {
        MenuItem* entry = item(u"language", 2 + language);
        entry->setData(100 + language);
        menu->addItem(entry);
    }
    auto marked = [&] {
        std::vector<int32_t> ids;
        for (int32_t i = 0; i < menu->getCount(); ++i) {
            if (MenuItem* entry = menu->itemAt(i); entry && entry->isRadioMarked())
                ids.push_back(entry->getCommandId());
        }
        return ids;
    };
    EXPECT_FALSE(menu->setRadioMarkAt(1)) << "a separator cannot carry the mark";
    EXPECT_TRUE(menu->setRadioMark(3, 2, 5));
    EXPECT_EQ(marked(), std::vector<int32_t>({ 3 }));
    EXPECT_TRUE(menu->setRadioMarkById(5));
    EXPECT_EQ(marked(), std::vector<int32_t>({ 5 }));
    EXPECT_FALSE(menu->isItemChecked(3)) << "the item that lost the mark is no longer checked";
    EXPECT_TRUE(menu->isItemChecked(5));
    EXPECT_TRUE(menu->setRadioMarkByData(100));
    EXPECT_EQ(marked(), std::vector<int32_t>({ 2 }));

    // Shown: one exclusive group, exactly the marked action checked, and moving it goes on working.
    onUiThread([&] { menu->platformMenu(); });
    EXPECT_TRUE(shownFor(menu.get(), 2).exclusive);
    EXPECT_TRUE(shownFor(menu.get(), 2).checked);
    EXPECT_TRUE(menu->setRadioMarkById(4));
    for (int32_t id : { 2, 3, 4, 5 })
        EXPECT_EQ(shownFor(menu.get(), id).checked, id == 4) << id;
    EXPECT_FALSE(shownFor(menu.get(), 0).checkable) << "outside the range nothing changes";
}

TEST(PopupMenuTable, MenusBuiltOnAnotherThreadAreShownAndChangedThere)
{
    Pooled<s::lang::Localizer> localizer = twoLanguages();
    Pooled<PopupMenu> menu;
    std::thread builder([&] {
        menu->setLocalizer(localizer.get());
        menu->addItem(makeMenuItem(600, localizer.get(), 100));
        menu->addItem(makeMenuItem(100, localizer.get(), 101));
    });
    builder.join();
    onUiThread([&] { menu->platformMenu(); });
    // After the QMenu exists, changes from other threads hop to the GUI thread.
    std::thread changer([&] {
        menu->setItemChecked(100, true);
        menu->setItemEnabled(101, false);
        menu->setItemLabel(101, u"Play it");
    });
    changer.join();
    Shown keepOnTop = shownFor(menu.get(), 100);
    EXPECT_TRUE(keepOnTop.checkable);
    EXPECT_TRUE(keepOnTop.checked);
    EXPECT_EQ(keepOnTop.text, QString("Keep on Top"));
    Shown play = shownFor(menu.get(), 101);
    EXPECT_FALSE(play.enabled);
    EXPECT_EQ(play.text, QString("Play it"));
    EXPECT_FALSE(play.checkable) << "a plain command shows no check box";
}

namespace {

// Opens the menu at (x, y) and, while it is open, walks the path of actions with real key presses:
// each action but the last is a sub-menu that the Right key opens; Return chooses the last.
// Returns what showAt returned.
bool chooseWithKeys(PopupMenu* menu, std::vector<QAction*> (*path)(PopupMenu*), s::gui::IComponent* owner = nullptr)
{
    return onUiThread([&] {
        std::vector<QAction*> steps = path(menu);
        size_t next = 0;
        QMenu* expected = menu->platformMenu();
        QTimer walker;
        QObject::connect(&walker, &QTimer::timeout, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            if (popup != expected || next >= steps.size())
                return;
            QAction* step = steps[next++];
            expected->setActiveAction(step);
            if (next < steps.size()) {
                expected = step->menu();
                QTest::keyClick(popup, Qt::Key_Right);
            } else {
                QTest::keyClick(popup, Qt::Key_Return);
            }
        });
        walker.start(10);
        return menu->showAt(200, 150, owner);
    });
}

// Remembers, for each command it hears, whether its menu was still open.
struct OpenWatcher : s::gui::events::IEventListener {
    PopupMenu* menu = nullptr;
    std::vector<int32_t> commands;
    std::vector<bool> openWhenHeard;
    void handle(s::base::IObject* sender, int32_t code) override
    {
        EXPECT_EQ(sender, menu);
        EXPECT_EQ(code, PopupMenu::CommandChosen);
        commands.push_back(menu->getLastCommand());
        openWhenHeard.push_back(menu->isOpen());
    }
};

}

TEST(PopupMenuShown, AChosenCommandReachesTheMenuThatWasOpenedAfterItClosed)
{
    Pooled<s::lang::Localizer> localizer = twoLanguages();
    Pooled<PopupMenu> list = listMenu(localizer.get());
    Pooled<PopupMenu> view;
    view->setTitleId(500);
    view->setLocalizer(localizer.get());
    MenuItem* keepOnTop = makeMenuItem(600, localizer.get(), 100);
    keepOnTop->setCheckable(true);
    view->addItem(keepOnTop);
    OpenWatcher listHeard;
    listHeard.menu = list.get();
    list->addCommandListener(&listHeard);
    OpenWatcher viewHeard;
    viewHeard.menu = view.get();
    view->addCommandListener(&viewHeard);
    OpenWatcher subHeard;
    PopupMenu* remove = list->subMenuAt(5);
    subHeard.menu = remove;
    remove->addCommandListener(&subHeard);

    // "Play" shares its id with "Keep on Top": the list's menu was opened, the list's menu hears.
    EXPECT_TRUE(chooseWithKeys(list.get(), [](PopupMenu* m) { return std::vector<QAction*> { actionFor(m, 100) }; }));
    settle();
    EXPECT_EQ(listHeard.commands, std::vector<int32_t>({ 100 }));
    EXPECT_EQ(listHeard.openWhenHeard, std::vector<bool>({ false })) << "heard after the menu closed";
    EXPECT_TRUE(viewHeard.commands.empty());

    // A command in a sub-menu goes to the menu the user opened.
    EXPECT_TRUE(chooseWithKeys(list.get(), [](PopupMenu* m) {
        PopupMenu* sub = m->subMenuAt(5);
        return std::vector<QAction*> { sub->platformMenu()->menuAction(), actionFor(sub, 550) };
    }));
    settle();
    EXPECT_EQ(listHeard.commands, std::vector<int32_t>({ 100, 550 }));
    EXPECT_TRUE(subHeard.commands.empty());

    // Choosing a check item does not flip its mark: the application decides.
    EXPECT_TRUE(chooseWithKeys(view.get(), [](PopupMenu* m) { return std::vector<QAction*> { actionFor(m, 100) }; }));
    settle();
    EXPECT_EQ(viewHeard.commands, std::vector<int32_t>({ 100 }));
    EXPECT_FALSE(view->isItemChecked(100));
    EXPECT_FALSE(shownFor(view.get(), 100).checked);
    EXPECT_TRUE(shownFor(view.get(), 100).checkable);
}

TEST(PopupMenuShown, ShowAboveEndsTheMenuAtThePointAndOpenListenersHearFirst)
{
    Pooled<PopupMenu> menu;
    menu->addItem(item(u"Restore", 1));
    menu->addItem(item(u"Exit", 2));
    Recorder opened;
    menu->addOpenListener(&opened);
    QRect shownAt;
    bool chosen = onUiThread([&] {
        QMenu* qmenu = menu->platformMenu();
        QTimer::singleShot(0, qmenu, [&, qmenu] {
            shownAt = qmenu->geometry();
            qmenu->close();
        });
        return menu->showAbove(300, 400, nullptr);
    });
    EXPECT_FALSE(chosen) << "closed without a choice";
    EXPECT_EQ(opened.count(PopupMenu::AboutToOpen), 1);
    EXPECT_EQ(shownAt.bottom() + 1, 400);
    EXPECT_EQ(shownAt.left(), 300);
}

TEST(PopupMenuShown, AContextMenuAnnouncesItselfThenOpensAtTheEventsPosition)
{
    Pooled<PopupMenu> menu;
    menu->addItem(item(u"Play", 100));
    std::vector<std::string> order;
    struct Opened : s::gui::events::IEventListener {
        std::vector<std::string>* order;
        void handle(s::base::IObject*, int32_t) override { order->push_back("opens"); }
    } opened;
    opened.order = &order;
    menu->addOpenListener(&opened);
    QPoint shownAt;
    onUiThread([&] {
        QMenu* qmenu = menu->platformMenu();
        QTimer::singleShot(0, qmenu, [&, qmenu] {
            shownAt = qmenu->geometry().topLeft();
            qmenu->close();
        });
        s::gui::os::openContextMenu(menu.get(), 120, 90, nullptr, [&] {
            // The list enables its items here (code 7).
            order.push_back("announced");
            menu->setItemEnabled(100, false);
        });
    });
    EXPECT_EQ(order, std::vector<std::string>({ "announced", "opens" }));
    EXPECT_EQ(shownAt, QPoint(120, 90));
    EXPECT_FALSE(shownFor(menu.get(), 100).enabled);
}
