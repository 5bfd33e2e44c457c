// The main window with real events on the offscreen platform.

#include "MainWindowTest.h"

#include "app/DlListFile.h"
#include "engine/JobState.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/ListEvent.h"

#include <array>
#include <functional>

using namespace mainwindowtest;

TEST_F(MainWindow, FirstStart)
{
    Start run(home);
    const Dialog::Controls& c = run.c();
    EXPECT_EQ(run.window().getTitle(), u"Fetchwick");
    QSize size = onUiThread([&] { return widgetOf(c.window)->size(); });
    EXPECT_EQ(size, QSize(550, 450));
    EXPECT_TRUE(c.keepOnTop->isChecked());
    EXPECT_TRUE(c.autoStartA->isChecked());
    EXPECT_TRUE(c.autoStartB->isChecked());
    EXPECT_FALSE(c.mp3OnlyA->isChecked());
    EXPECT_FALSE(c.mp3OnlyB->isChecked());
    EXPECT_FALSE(c.requireLogin->isChecked());
    // Copies B in the link row, no login group, the details closed.
    EXPECT_TRUE(shown(c.autoStartB));
    EXPECT_TRUE(shown(c.mp3OnlyB));
    EXPECT_FALSE(shown(c.autoStartA));
    EXPECT_FALSE(shown(c.loginGroup));
    EXPECT_TRUE(shown(c.keepOnTop));
    EXPECT_TRUE(shown(c.downloadButton));
    EXPECT_TRUE(shown(c.showDetails));
    EXPECT_TRUE(shown(c.clearCompletedA));
    EXPECT_FALSE(shown(c.tabs));
    EXPECT_TRUE(shown(c.makerLink));
    EXPECT_FALSE(shown(c.transferGroup));
    EXPECT_EQ(c.statusText->getText(), u" (Hint: You can drag & drop links from web browsers.)");
    EXPECT_TRUE(run.dialog->isHintPending());
    for (const s::gui::IComponent* b : std::initializer_list<const s::gui::IComponent*> { c.keepOnTop, c.downloadButton, c.clearCompletedA })
    {
        QRect r = onUiThread([&] { QWidget* w = widgetOf(b); return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); });
        EXPECT_LE(r.right(), 550) << "inside the window";
    }
}

namespace {

// Flags a start reads, written as a previous run would have left them.
void storeFlags(TempFolder& home, const std::function<void(MainSettings&)>& write)
{
    Start run(home);
    MainSettings settings(*run.holder);
    write(settings);
}

void sendCount(Start& run, intptr_t value)
{
    run.window().sendRequest(s::video::gui::dialogs::videodl::ProcessUpdateDownloadedNum, value, 0, 0);
}

void sendRate(Start& run, int64_t speed, int64_t eta)
{
    run.window().sendRequest(s::video::gui::dialogs::videodl::ProcessUpdateSpeedAndEta, reinterpret_cast<intptr_t>(&speed),
        reinterpret_cast<intptr_t>(&eta), 0);
}

}

TEST_F(MainWindow, StoredRequireLoginShowsTheLoginGroupAndMovesTheOptionsUp)
{
    storeFlags(home, [](MainSettings& s) { s.setRequireLogin(true); });
    Start run(home);
    const Dialog::Controls& c = run.c();
    EXPECT_TRUE(c.requireLogin->isChecked());
    EXPECT_TRUE(shown(c.loginGroup));
    EXPECT_TRUE(shown(c.idField));
    EXPECT_TRUE(shown(c.passwordField));
    EXPECT_TRUE(c.idField->isEnabled());
    EXPECT_TRUE(shown(c.autoStartA));
    EXPECT_TRUE(shown(c.mp3OnlyA));
    EXPECT_FALSE(shown(c.autoStartB));
    EXPECT_FALSE(shown(c.mp3OnlyB));

    // Unticking by a click puts the options back into the link row and disables the login.
    click(c.requireLogin);
    EXPECT_TRUE(waitFor([&] { return !shown(c.loginGroup); }));
    EXPECT_TRUE(shown(c.mp3OnlyB));
    EXPECT_FALSE(shown(c.mp3OnlyA));
    EXPECT_FALSE(c.idField->isEnabled());
    EXPECT_FALSE(MainSettings(*run.holder).requireLogin());
}

TEST_F(MainWindow, OptionCopiesCarryTheSameTickAndStoreItAtOnce)
{
    Start run(home);
    const Dialog::Controls& c = run.c();
    click(c.mp3OnlyB);
    EXPECT_TRUE(waitFor([&] { return c.mp3OnlyB->isChecked(); }));
    EXPECT_TRUE(c.mp3OnlyA->isChecked());
    EXPECT_TRUE(MainSettings(*run.holder).mp3Only());
    click(c.autoStartB);
    EXPECT_TRUE(waitFor([&] { return !c.autoStartB->isChecked(); }));
    EXPECT_FALSE(c.autoStartA->isChecked());
    EXPECT_FALSE(MainSettings(*run.holder).autoStart());
    onUiThread([&] { c.mp3OnlyA->setChecked(false); });
    EXPECT_FALSE(c.mp3OnlyB->isChecked());
    EXPECT_FALSE(MainSettings(*run.holder).mp3Only());
}

TEST_F(MainWindow, DownloadingCountInTitleAndStatusBar)
{
    storeFlags(home, [](MainSettings& s) {
        s.setOnceDropped(true);
        s.setOnceDblClicked(true);
    });
    Start run(home);
    const Dialog::Controls& c = run.c();
    EXPECT_FALSE(run.dialog->isHintPending());
    EXPECT_EQ(c.statusText->getText(), u"Ready");
    sendCount(run, 1);
    EXPECT_TRUE(shown(c.transferGroup));
    EXPECT_FALSE(shown(c.makerLink));
    sendCount(run, 1);
    EXPECT_EQ(run.window().getTitle(), u"Fetchwick  (2 downloading)");
    EXPECT_EQ(c.statusText->getText(), u"    2 downloading");
    sendCount(run, 0);
    EXPECT_EQ(run.window().getTitle(), u"Fetchwick  (1 downloading)");
    sendCount(run, 0);
    EXPECT_EQ(run.window().getTitle(), u"Fetchwick");
    EXPECT_EQ(c.statusText->getText(), u"Ready");
    EXPECT_FALSE(shown(c.transferGroup));
    EXPECT_TRUE(shown(c.makerLink));
}

TEST_F(MainWindow, AHintIsNotOverwrittenByCounts)
{
    Start run(home);
    sendCount(run, 1);
    EXPECT_EQ(run.window().getTitle(), u"Fetchwick  (1 downloading)");
    EXPECT_EQ(run.c().statusText->getText(), u" (Hint: You can drag & drop links from web browsers.)");
    sendCount(run, 0);
}

TEST_F(MainWindow, SecondAveragesCountUnknownSpeedsAsNothing)
{
    std::array<int64_t, Dialog::sampleCount> speeds {};
    std::array<int64_t, Dialog::sampleCount> etas {};
    speeds.back() = 1000;
    etas.back() = 5000;
    Dialog::Overall first = Dialog::advanceSamples(speeds, etas, 1);
    EXPECT_EQ(first.speed, 100);
    EXPECT_EQ(first.timeLeft, 5000);
    Dialog::Overall second = Dialog::advanceSamples(speeds, etas, 1);
    EXPECT_EQ(second.speed, 100) << "the ring keeps ten seconds";
    EXPECT_EQ(second.timeLeft, 4999) << "an older time left is a second nearer";
    Dialog::Overall idle = Dialog::advanceSamples(speeds, etas, 0);
    EXPECT_EQ(idle.speed, 0);
    EXPECT_EQ(idle.timeLeft, 0);
    EXPECT_EQ(speeds, (std::array<int64_t, Dialog::sampleCount> {}));

    // Through the window: a report of unknown speed adds nothing to the total shown.
    Start run(home);
    sendCount(run, 1);
    sendRate(run, -1, -1);
    sendRate(run, 10240, 3000);
    onUiThread([&] { run.dialog->onceASecond(); });
    EXPECT_EQ(run.c().speedLabel->getText(), u"1.00 KB/s");
    sendCount(run, 0);
}

TEST_F(MainWindow, DetailsOpenAndCloseAndAreRememberedWithTheirPage)
{
    {
        Start run(home);
        const Dialog::Controls& c = run.c();
        click(c.showDetails);
        EXPECT_TRUE(waitFor([&] { return shown(c.tabs); }));
        EXPECT_FALSE(shown(c.detailsBar));
        EXPECT_EQ(c.tabs->getHeight(), Dialog::detailsHeight);
        EXPECT_TRUE(MainSettings(*run.holder).showDetails());
        onUiThread([&] { c.tabs->selectPage(0); });
    }
    {
        Start run(home);
        const Dialog::Controls& c = run.c();
        EXPECT_TRUE(shown(c.tabs));
        EXPECT_EQ(c.tabs->getSelectedPage(), 0);
        click(c.hideDetails);
        EXPECT_TRUE(waitFor([&] { return !shown(c.tabs); }));
        EXPECT_TRUE(shown(c.detailsBar));
        EXPECT_FALSE(MainSettings(*run.holder).showDetails());
    }
}

TEST_F(MainWindow, AStoredTabOutsideThePagesSelectsTheFirst)
{
    storeFlags(home, [](MainSettings& s) {
        s.setTab(7);
        s.setShowDetails(true);
    });
    Start run(home);
    EXPECT_EQ(run.c().tabs->getSelectedPage(), 0);
}

TEST_F(MainWindow, LanguageSwitchRelabelsNowAndSurvivesARestart)
{
    int32_t german = -1;
    {
        Start run(home);
        s::lang::Localizer* localizer = run.app->localizer();
        for (uint32_t i = 0; i < localizer->languageCount(); ++i) {
            if (localizer->languageAt(i)->englishName() == u"German")
                german = static_cast<int32_t>(i);
        }
        ASSERT_GE(german, 0);
        std::u16string before(run.c().showDetails->getText());
        onUiThread([&] { run.c().menuBar->dispatch(Dialog::FirstLanguage + german); });
        EXPECT_TRUE(waitFor([&] { return std::u16string(run.c().showDetails->getText()) != before; }));
        EXPECT_TRUE(run.c().languageMenu->findItem(Dialog::FirstLanguage + german)->isRadioMarked());
    }
    Start again(home);
    EXPECT_EQ(again.app->localizer()->currentLanguage()->englishName(), u"German");
    EXPECT_NE(std::u16string(again.c().showDetails->getText()), u"Show Details");
}

TEST_F(MainWindow, MenuChecksFollowAndAreStored)
{
    Start run(home);
    const Dialog::Controls& c = run.c();
    onUiThread([&] { c.menuBar->dispatch(Dialog::KeepOnTop); });
    EXPECT_FALSE(c.keepOnTop->isChecked());
    EXPECT_FALSE(c.menuBar->isItemChecked(Dialog::KeepOnTop));
    EXPECT_FALSE(run.window().isTopmost());
    EXPECT_FALSE(run.holder->getKeepOnTop());
    onUiThread([&] { c.keepOnTop->setChecked(true); });
    EXPECT_TRUE(c.menuBar->isItemChecked(Dialog::KeepOnTop));
    EXPECT_TRUE(run.window().isTopmost());
    EXPECT_TRUE(run.holder->getKeepOnTop());
    bool easyDrag = run.holder->getEasyDrag();
    EXPECT_EQ(c.menuBar->isItemChecked(Dialog::EasyDrag), easyDrag);
    onUiThread([&] { c.menuBar->dispatch(Dialog::EasyDrag); });
    EXPECT_EQ(run.window().isEasyDrag(), !easyDrag);
    EXPECT_EQ(run.holder->getEasyDrag(), !easyDrag);
    onUiThread([&] { c.menuBar->dispatch(Dialog::MiddleClickCloses); });
    EXPECT_EQ(run.holder->getOnMClick(), u"DoNothing");
    EXPECT_EQ(run.window().getMiddleClickAction(), "DoNothing");
}

TEST_F(MainWindow, TheUrlLabelOpensOnlyWebLinks)
{
    Start run(home);
    const Dialog::Controls& c = run.c();
    onUiThread([&] { c.urlLabel->setText(u"file:///etc/passwd"); });
    onUiThread([&] { run.dialog->handle(c.urlLabel, 1); });
    EXPECT_TRUE(run.opened.empty());
    onUiThread([&] { c.urlLabel->setText(u"https://example.org/v"); });
    onUiThread([&] { run.dialog->handle(c.urlLabel, 1); });
    ASSERT_EQ(run.opened.size(), 1u);
    EXPECT_EQ(run.opened[0], u"https://example.org/v");
}

namespace {

// A list file of a previous run with entries "URL1", "URL2", ... (Completed, files in `folder`).
void writeList(TempFolder& home, int count)
{
    std::vector<Pooled<s::video::gui::dialogs::videodl::DlThread>> jobs;
    std::vector<s::video::gui::dialogs::videodl::DlThread*> raw;
    for (int i = 1; i <= count; ++i) {
        Pooled<s::video::gui::dialogs::videodl::DlThread> job;
        {
            std::scoped_lock guard(job->Lock);
            std::string url = "URL" + std::to_string(i);
            job->Url->assign(std::u16string(url.begin(), url.end()));
            std::string dir = home / "videos";
            job->Dir->assign(std::u16string(dir.begin(), dir.end()));
        }
        job->Index = i;
        job->State = s::video::gui::dialogs::videodl::JobState::Completed;
        job->PercentDone = 100.0;
        raw.push_back(job.get());
        jobs.push_back(std::move(job));
    }
    std::string list = home / "DlList.dat";
    ASSERT_TRUE(s::video::gui::dialogs::videodl::DlListFile::write(std::u16string(list.begin(), list.end()), { u"Fetchwick", u"0.10", u"" }, {}, raw));
}

void selectRows(Start& run, std::initializer_list<int> positions)
{
    onUiThread([&] {
        auto& list = run.dialog->list();
        list.deselectAll();
        for (int p : positions) {
            s::gui::listbox2::RowHandle h = list.getRow(p);
            list.select(h.row, h.id);
        }
    });
}

}

TEST_F(MainWindow, TheListFileIsReadBeforeTheWindowShowsAndWrittenAtClose)
{
    writeList(home, 3);
    {
        Start run(home);
        EXPECT_EQ(onUiThread([&] { return run.dialog->list().getRowCount(); }), 3);
    }
    Start again(home);
    auto jobs = onUiThread([&] { return again.dialog->jobs(); });
    ASSERT_EQ(jobs.size(), 3u);
    std::scoped_lock guard(jobs[2]->Lock);
    EXPECT_EQ(jobs[2]->Url->view(), u"URL3");
}

TEST_F(MainWindow, CopyUrlsPutsTheLastSelectedFirstAndAddsNoJob)
{
    writeList(home, 3);
    Start run(home);
    selectRows(run, { 0, 1, 2 });
    onUiThread([&] { run.dialog->listCommand(300); });
    EXPECT_EQ(run.window().getClipboardText(), u"URL3\r\nURL2\r\nURL1");
    // The window's own clipboard change is no link to take.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(onUiThread([&] { return run.dialog->list().getRowCount(); }), 3);
}

TEST_F(MainWindow, ContextMenuStatesForARunningAndACompletedRow)
{
    writeList(home, 2);
    Start run(home);
    auto jobs = onUiThread([&] { return run.dialog->jobs(); });
    ASSERT_EQ(jobs.size(), 2u);
    // The first stands for a download in progress.
    jobs[0]->Running = true;
    selectRows(run, { 0, 1 });
    onUiThread([&] { run.dialog->prepareContextMenu(); });
    const Dialog::Controls& c = run.c();
    EXPECT_TRUE(c.listMenu->isItemEnabled(450)) << "Cancel";
    EXPECT_FALSE(c.listMenu->isItemEnabled(400)) << "Retry Download";
    EXPECT_FALSE(c.listMenu->isItemEnabled(100)) << "Play needs one row";
    EXPECT_FALSE(c.listMenu->isItemEnabled(200)) << "Locate File needs one row";
    selectRows(run, { 1 });
    onUiThread([&] { run.dialog->prepareContextMenu(); });
    EXPECT_TRUE(c.listMenu->isItemEnabled(100));
    EXPECT_FALSE(c.listMenu->isItemEnabled(450));
    jobs[0]->Running = false;
}

TEST_F(MainWindow, AHeaderClickClearsASelectionOfSeveralRows)
{
    writeList(home, 3);
    Start run(home);
    selectRows(run, { 0, 1, 2 });
    onUiThread([&] { run.dialog->handle(&run.dialog->list(), s::gui::listbox2::ListEvent::HeaderClickedBeforeSort); });
    EXPECT_EQ(onUiThread([&] { return run.dialog->list().getSelectedCount(); }), 0);
}

TEST_F(MainWindow, RemovingTheShownEntryEmptiesTheDetails)
{
    writeList(home, 2);
    Start run(home);
    const Dialog::Controls& c = run.c();
    selectRows(run, { 1 });
    EXPECT_TRUE(waitFor([&] { return run.c().titleLabel->getText() == u"URL2"; }));
    EXPECT_TRUE(c.removeEntry->isEnabled());
    click(c.removeEntry);
    EXPECT_TRUE(waitFor([&] { return onUiThread([&] { return run.dialog->list().getRowCount(); }) == 1; }));
    EXPECT_EQ(run.dialog->detailsJob(), nullptr);
    EXPECT_EQ(c.titleLabel->getText(), u"");
    EXPECT_FALSE(c.removeEntry->isEnabled());
}

TEST_F(MainWindow, ButtonsWithNoRowSelectedDoNothing)
{
    writeList(home, 2);
    Start run(home);
    const Dialog::Controls& c = run.c();
    for (auto* b : { c.removeEntry, c.deleteEntry, c.play })
        onUiThread([&] { run.dialog->handle(b, 1); });
    for (int command : { 100, 200, 300, 400, 450, 500, 550 })
        onUiThread([&] { run.dialog->listCommand(command); });
    EXPECT_EQ(onUiThread([&] { return run.dialog->list().getRowCount(); }), 2);
    EXPECT_TRUE(run.opened.empty());
}
