#include "app/Dialog.h"

#include "app/DlListFile.h"
#include "app/IAppBase.h"
#include "app/MainSettings.h"
#include "app/UpdateCheck.h"
#include "app/os/AppWindow.h"
#include "engine/WorkerEvents.h"
#include "engine/intake/LinkIntake.h"
#include "engine/rows/JobRow.h"
#include "engine/workers/JobCommands.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/ListEvent.h"
#include "gui/KeyCodes.h"
#include "engine/rows/RowFormat.h"
#include "engine/rows/RowTexts.h"
#include "formats/lang/LangPack.h"
#include "formats/lang/Localizer.h"
#include "foundation/str/StrBuffer.h"
#include "gui/FontSetting.h"
#include "gui/menu/MenuItem.h"
#include "gui/os/Box.h"
#include "gui/os/Button.h"
#include "gui/os/CheckBox.h"
#include "gui/os/Image.h"
#include "gui/os/Label.h"
#include "gui/os/ListBox2.h"
#include "gui/os/ListBoxEx.h"
#include "app/ColumnSettings.h"
#include "gui/os/MenuEx.h"
#include "gui/os/PopupMenu.h"
#include "gui/os/Spacer.h"
#include "gui/os/StatusBar.h"
#include "gui/os/TabBox.h"
#include "gui/os/TextEdit.h"
#include "gui/os/TextField.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>

namespace s::video::gui::dialogs::videodl {

using namespace s::gui::os;
using s::gui::menuitem::makeMenuItem;
using s::gui::menuitem::makeSeparator;

namespace {

// Language texts of the window.
enum TextId : int32_t {
    TitleText = 500000,
    MakerPage = 101000,
    TranslatePage = 108500,
    SupportedSitesPage = 1030101,
    ViewMenu = 609000,
    KeepOnTopText = 609100,
    EasyDragText = 609300,
    MiddleClickText = 609350,
    ReadyText = 609450,
    FolderPickerTitle = 608255,
    LanguageMenu = 700000,
    TranslateText = 700001,
    ToolsMenu = 1040000,
    AboutMenu = 701000,
    VersionInfoText = 701100,
    SoftwarePageText = 701200,
    TellDevelopersText = 701300,
    OtherSoftwareText = 107000,
    WorkplaceText = 108100,
    SupportedSitesText = 1030100,
    ChangeText = 3006000,
    AutoStartText = 1031200,
    Mp3OnlyText = 1031300,
    UrlText = 1031000,
    DownloadText = 1031100,
    RequireLoginText = 1032000,
    IdText = 1032010,
    PasswordText = 1032020,
    ShowDetailsText = 2000100,
    HideDetailsText = 2000200,
    RetryErrorsText = 2001100,
    ClearCompletedText = 2001200,
    InformationPage = 2100000,
    LogPage = 2200000,
    PlayText = 2100100,
    RemoveEntryText = 2100110,
    DeleteEntryText = 2100120,
    TitleCaption = 2102100,
    UrlCaption = 2102200,
    PathCaption = 2102300,
    DownloadingText = 2500010,
    EtaText = 2501000,
    DropHint = 2600010,
    DoubleClickHint = 2600020,
    RetryDownloadText = 1501000,
    ListPlayText = 1502100,
    LocateText = 1502200,
    CopyUrlsText = 1502300,
    CancelText = 1503000,
    RemoveFromListText = 1504000,
    RemoveAndText = 1505000,
    DeleteFileText = 1505500,
};

// Menu bar items that open a page of the language pack.
struct PageCommand {
    int32_t command;
    int32_t labelId;
    int32_t pageId;
};
constexpr PageCommand toolPages[] = {
    { 4100, 1040100, 1040101 },
    { 4200, 1040200, 1040201 },
    { 4300, 1040300, 1040301 },
    { 4400, 1040400, 1040401 },
    { 4500, 1040500, 1040501 },
};

// Pages of the application object (its web page plus a fixed path).
struct AppPage {
    int32_t command;
    const char16_t* path;
};
constexpr AppPage appPages[] = {
    { Dialog::SoftwarePage, u"" },
    { Dialog::FeedbackPage, u"feedback/" },
    { Dialog::OtherSoftwarePage, u"software/" },
    { Dialog::WorkplacePage, u"workplace/" },
};

int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

Spacer* gap(int32_t pixels, bool vertical)
{
    Spacer* s = Spacer::get();
    s->setAxis(vertical ? 1 : 0);
    if (vertical)
        s->setFixedHeight(pixels);
    else
        s->setFixedWidth(pixels);
    return s;
}
Spacer* vgap(int32_t pixels) { return gap(pixels, true); }
Spacer* hgap(int32_t pixels) { return gap(pixels, false); }

// Takes what width is left in a row, down to none.
Box* stretch()
{
    Box* b = Box::get();
    b->setWidthPercent(100, false);
    b->setBackgroundTransparent(false);
    return b;
}

Box* row()
{
    Box* b = Box::get();
    b->layoutHorizontal();
    b->alignMiddle();
    b->setBackgroundTransparent(false);
    return b;
}

Box* column()
{
    Box* b = Box::get();
    b->layoutVertical();
    b->setBackgroundTransparent(false);
    return b;
}

Label* label(int32_t textId)
{
    Label* l = Label::get();
    l->setTextId(textId);
    return l;
}

Button* button(int32_t textId, Dialog* listener, int32_t height = -1)
{
    Button* b = Button::get();
    b->setTextId(textId);
    if (height > 0) {
        b->setAutoSize(true);
        b->setMinSize(0, height);
    }
    b->addClickListener(listener);
    return b;
}

CheckBox* check(int32_t textId, bool ticked)
{
    CheckBox* c = CheckBox::get();
    c->setTextId(textId);
    c->setChecked(ticked);
    return c;
}

bool isWebLink(std::u16string_view text)
{
    auto startsWith = [&](std::u16string_view prefix) {
        if (text.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            char16_t c = text[i];
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
            if (c != prefix[i])
                return false;
        }
        return true;
    };
    return startsWith(u"http://") || startsWith(u"https://");
}

QString toQ(std::u16string_view text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

std::u16string fromQ(const QString& text) { return text.toStdU16String(); }

// Lays every box out from the innermost outwards, so the extents each one measured of its
// children match what is shown after visibility changes deep down.
void relayoutTree(s::gui::IComponent* c)
{
    if (!c->isContainer())
        return;
    for (uint32_t i = 0; i < c->getChildCount(); ++i)
        relayoutTree(c->getChild(i));
    c->relayout();
}

std::u16string decimal(int64_t value)
{
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}

Dialog::Dialog()
    : Dialog(Hooks {})
{
}

Dialog::Dialog(Hooks hooks)
    : m_hooks(std::move(hooks))
{
    if (!m_hooks.openUrl)
        m_hooks.openUrl = [](const std::u16string& url) {
            onUiThread([&] { QDesktopServices::openUrl(QUrl(toQ(url))); });
        };
    if (!m_hooks.openPath)
        m_hooks.openPath = [](const std::u16string& path) {
            // A file URL: the path is never handed to a shell.
            onUiThread([&] { QDesktopServices::openUrl(QUrl::fromLocalFile(toQ(path))); });
        };
    if (!m_hooks.pickFolder)
        m_hooks.pickFolder = [](const std::u16string& start, const std::u16string& title) {
            return onUiThread([&] {
                return fromQ(QFileDialog::getExistingDirectory(nullptr, toQ(title), toQ(start)));
            });
        };
}

Dialog::~Dialog()
{
    // The bar and the list release the menus' items; the menus themselves are ours.
    m_window = nullptr;
    if (m_font)
        m_font->release();
    for (PopupMenu* menu : { m_c.viewMenu, m_c.languageMenu, m_c.toolsMenu, m_c.aboutMenu, m_c.listMenu }) {
        if (menu)
            menu->release();
    }
}

std::u16string Dialog::text(int32_t id) const
{
    return m_app ? m_app->text(id) : std::u16string();
}

void Dialog::run(app::IAppBase& app, app::os::AppWindow& holder, bool startup)
{
    m_app = &app;
    m_holder = &holder;
    m_settings = std::make_unique<app::MainSettings>(holder);
    lang::Localizer* localizer = app.localizer();

    // Step 1: the top-level window bound to its settings.
    m_window = Window::make();
    Window* w = m_window.get();
    m_c.window = w;
    w->setLocalizer(localizer);
    w->setMaximizeBox(true);
    w->setResizable(true);
    w->setShowInTaskbar(true);
    w->setBackgroundDefault(false);
    // The dialog font of the desktop's small size, so the rows fit the window's first size.
    m_font = s::gui::FontSetting::get();
    m_font->setFontCode(dialogFontCode);
    w->setFontSetting(m_font);
    w->setIconData(app.iconData());
    w->setSize(holder.getWidth(), holder.getHeight());
    w->bindSettings(&holder, false);
    w->setTitleId(TitleText);

    // Step 2: the row texts of the current language.
    if (localizer)
        RowTexts::fill(*localizer);

    // Step 3: menus.
    buildMenus();

    // Step 4: the save folder.
    m_saveFolder = m_settings->saveFolder();

    // Steps 5 to 7: the main area with its rows, the status bar.
    Box* main = column();
    m_c.mainArea = main;
    main->setInset(8);
    main->fill();
    main->setUrlDropEnabled(true);
    main->addUrlDropListener(this);

    m_c.keepOnTop = check(KeepOnTopText, holder.getKeepOnTop());
    m_c.autoStartA = check(AutoStartText, m_settings->autoStart());
    m_c.autoStartB = check(AutoStartText, m_settings->autoStart());
    m_c.mp3OnlyA = check(Mp3OnlyText, m_settings->mp3Only());
    m_c.mp3OnlyB = check(Mp3OnlyText, m_settings->mp3Only());

    main->add(vgap(13));
    buildFolderRow();
    main->add(vgap(11));
    buildLinkRow();
    main->add(vgap(13));
    m_c.listBox = ListBoxEx::get();
    m_c.list = m_c.listBox->list();
    main->add(m_c.listBox);
    main->add(vgap(3));
    buildDetails();
    main->add(vgap(1));

    buildStatusBar();
    w->add(m_c.menuBar);
    w->add(main);
    w->setStatusBar(m_c.statusBar);

    // Step 9: close listener and the hint.
    w->addCloseListener(this);
    m_onceDropped = m_settings->onceDropped();
    m_onceDblClicked = m_settings->onceDblClicked();
    if (!m_onceDropped)
        m_c.statusText->setTextId(DropHint);
    else if (!m_onceDblClicked)
        m_c.statusText->setTextId(DoubleClickHint);
    else
        m_hintPending = false;

    // Step 10: the login group follows "require login?".
    m_c.requireLogin->setChecked(m_settings->requireLogin());
    for (s::gui::IComponent* c : std::initializer_list<s::gui::IComponent*> { m_c.idLabel, m_c.idField, m_c.passwordLabel, m_c.passwordField }) {
        m_c.requireLogin->bindEnabled(c);
        c->setEnabled(m_c.requireLogin->isChecked());
    }
    arrangeOptions();

    // Step 11: the list's model with its eight columns; the commands and intake over it.
    m_list = &m_c.list->model();
    m_c.list->setMultiSelect(true);
    m_c.list->setFullRowSelect(true);
    m_c.list->setAutoSortAfterAppend(true);
    {
        std::vector<int32_t> builtIn;
        for (const JobRow::Column& column : JobRow::Columns())
            builtIn.push_back(column.Width);
        app::ColumnSettings stored = m_settings->columns();
        std::vector<int32_t> widths = stored.widthsFor(builtIn);
        JobRow::AddColumns(*m_list, localizer, widths);
    }
    m_c.list->setContextMenu([this](int32_t x, int32_t y) {
        prepareContextMenu();
        m_c.listMenu->showAt(x, y, m_c.list);
    });
    m_commands = std::make_unique<JobCommands>(*m_list, *this, *this);
    m_intake = std::make_unique<LinkIntake>(*m_list, *this, *this, *m_commands, w);
    namespace le = s::gui::listbox2::ListEvent;
    for (int32_t code : { le::ContextMenu, le::SelectionStarted, le::RowDeselected, le::SelectionEmptied, le::RowDoubleClicked,
             le::KeyPressed, le::HeaderClickedBeforeSort })
        m_list->addListener(code, this);

    // Step 14: the download list file.
    readList();

    // Step 15: the details area.
    m_c.tabs->selectPage(1);
    setDetailsOpen(m_settings->showDetails());

    // Step 16: listeners.
    for (CheckBox* c : { m_c.keepOnTop, m_c.autoStartA, m_c.autoStartB, m_c.mp3OnlyA, m_c.mp3OnlyB, m_c.requireLogin }) {
        c->addCheckedListener(this);
        c->addUncheckedListener(this);
    }
    m_c.menuBar->addCommandListener(this);
    w->addRequestListener(this);

    // Step 17: show (the start from the session's autostart stays in the tray without focus).
    if (startup) {
        w->show(true, false);
        w->sendToTray();
    } else {
        w->show(true, true);
    }
    relayoutWindow();
    m_c.tabs->selectPage(static_cast<uint32_t>(m_settings->tab(2)));

    // Step 18: the second timer and the clipboard.
    w->addTimerListener(this);
    w->startTimer(onceASecondTimer, 1000);
    m_clipboardQuietUntil = nowMs() + clipboardQuietMs;
    onUiThread([this] { m_intake->BeginClipboardWatch(steadyMs()); });
    w->addClipboardListener(this);
    w->watchClipboard(true);

    if (m_hooks.shown)
        m_hooks.shown(*this);

    // Step 19: the update check.
    if (m_hooks.updateCheck && localizer) {
        app::UpdateCheck::Hooks hooks;
        hooks.ask = [w](const std::u16string& title, const std::u16string& message) {
            std::u16string question = title.empty() ? message : title + u"\n\n" + message;
            return w->ask(question);
        };
        hooks.openUrl = m_hooks.openUrl;
        app::UpdateCheck::run(holder, *localizer, hooks);
    }

    // Step 20.
    w->waitUntilClosed();

    // Shutdown: stop every download, write the list, give the jobs back.
    shutdownJobs();
    writeList();
    onUiThread([this] {
        m_commands->ReleaseAll();
        m_intake.reset();
        m_commands.reset();
    });
}

void Dialog::buildMenus()
{
    lang::Localizer* localizer = m_app->localizer();
    app::os::AppWindow& holder = *m_holder;

    m_c.languageMenu = PopupMenu::get();
    m_c.languageMenu->setLocalizer(localizer);
    m_c.languageMenu->setTitleId(LanguageMenu);
    m_c.languageMenu->addItem(makeMenuItem(TranslateText, localizer, Translate));
    m_c.languageMenu->addItem(makeSeparator());
    int32_t current = -1;
    if (localizer) {
        lang::LangPack* chosen = localizer->currentLanguage();
        uint32_t count = std::min<uint32_t>(localizer->languageCount(), LastLanguage - FirstLanguage + 1);
        for (uint32_t i = 0; i < count; ++i) {
            lang::LangPack* pack = localizer->languageAt(i);
            m_c.languageMenu->addItem(makeMenuItem(pack->ownName(), FirstLanguage + static_cast<int32_t>(i)));
            if (pack == chosen)
                current = static_cast<int32_t>(i);
        }
    }
    m_c.languageMenu->setRadioMarkById(current >= 0 ? FirstLanguage + current : FirstLanguage - 1);

    m_c.statusText = Label::get();
    m_c.statusText->setTextId(ReadyText);

    m_c.viewMenu = PopupMenu::get();
    m_c.viewMenu->setLocalizer(localizer);
    m_c.viewMenu->setTitleId(ViewMenu);
    m_c.viewMenu->addItem(makeMenuItem(KeepOnTopText, localizer, KeepOnTop, holder.getKeepOnTop()));
    m_c.viewMenu->addItem(makeMenuItem(EasyDragText, localizer, EasyDrag, holder.getEasyDrag()));
    m_c.viewMenu->addItem(makeMenuItem(MiddleClickText, localizer, MiddleClickCloses, holder.isOnMClickClose()));
    for (int32_t command : { KeepOnTop, EasyDrag, MiddleClickCloses }) {
        if (auto* item = m_c.viewMenu->findItem(command))
            item->setCheckable(true);
    }

    m_c.toolsMenu = PopupMenu::get();
    m_c.toolsMenu->setLocalizer(localizer);
    m_c.toolsMenu->setTitleId(ToolsMenu);
    for (const PageCommand& page : toolPages)
        m_c.toolsMenu->addItem(makeMenuItem(page.labelId, localizer, page.command));

    m_c.aboutMenu = PopupMenu::get();
    m_c.aboutMenu->setLocalizer(localizer);
    m_c.aboutMenu->setTitleId(AboutMenu);
    m_c.aboutMenu->addItem(makeMenuItem(VersionInfoText, localizer, About));
    m_c.aboutMenu->addItem(makeSeparator());
    m_c.aboutMenu->addItem(makeMenuItem(SoftwarePageText, localizer, SoftwarePage));
    m_c.aboutMenu->addItem(makeMenuItem(TellDevelopersText, localizer, FeedbackPage));
    m_c.aboutMenu->addItem(makeSeparator());
    m_c.aboutMenu->addItem(makeMenuItem(OtherSoftwareText, localizer, OtherSoftwarePage));
    m_c.aboutMenu->addItem(makeSeparator());
    m_c.aboutMenu->addItem(makeMenuItem(WorkplaceText, localizer, WorkplacePage));

    m_c.menuBar = MenuEx::get();
    m_c.menuBar->setWidthPercent(100);
    m_c.menuBar->addMenuEntry(m_c.viewMenu);
    m_c.menuBar->addMenuEntry(m_c.languageMenu);
    m_c.menuBar->addMenuEntry(m_c.toolsMenu);
    m_c.menuBar->addMenuEntry(m_c.aboutMenu);
    m_c.menuBar->addCommandEntry(makeMenuItem(SupportedSitesText, localizer, SupportedSites));
    m_c.menuBar->setLastRightAligned(true);

    // The list's context menu, attached once the list view is there.
    m_c.listMenu = PopupMenu::get();
    m_c.listMenu->setLocalizer(localizer);
    m_c.listMenu->setTitle(u"Listbox Popup Menu");
    m_c.listMenu->addItem(makeMenuItem(RetryDownloadText, localizer, 400));
    m_c.listMenu->addItem(makeSeparator());
    m_c.listMenu->addItem(makeMenuItem(ListPlayText, localizer, 100));
    m_c.listMenu->addItem(makeMenuItem(LocateText, localizer, 200));
    m_c.listMenu->addItem(makeMenuItem(CopyUrlsText, localizer, 300));
    m_c.listMenu->addItem(makeSeparator());
    m_c.listMenu->addItem(makeMenuItem(CancelText, localizer, 450));
    m_c.listMenu->addItem(makeSeparator());
    m_c.listMenu->addItem(makeMenuItem(RemoveFromListText, localizer, 500));
    m_c.removeMenu = PopupMenu::get();
    m_c.removeMenu->setLocalizer(localizer);
    m_c.removeMenu->setTitleId(RemoveAndText);
    m_c.removeMenu->addItem(makeMenuItem(DeleteFileText, localizer, 550));
    m_c.listMenu->addSubMenu(m_c.removeMenu);
    m_c.listMenu->addCommandListener(this);
}

void Dialog::buildFolderRow()
{
    Box* folderRow = row();
    folderRow->setWidthPercent(100, false);
    folderRow->alignTop();

    Box* left = row();
    m_c.folderIcon = Image::get();
    QByteArray png = onUiThread([] {
        QByteArray bytes;
        QImage icon = QIcon::fromTheme(QStringLiteral("folder")).pixmap(16, 16).toImage();
        if (icon.isNull()) {
            icon = QImage(16, 16, QImage::Format_ARGB32);
            icon.fill(Qt::transparent);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        icon.save(&buffer, "PNG");
        return bytes;
    });
    m_c.folderIcon->loadData(std::span(reinterpret_cast<const uint8_t*>(png.constData()), static_cast<size_t>(png.size())));
    left->add(hgap(5));
    left->add(m_c.folderIcon);
    left->add(hgap(5));
    m_c.folderLabel = Label::get();
    m_c.folderLabel->setText(m_saveFolder);
    m_c.folderLabel->setLink(true);
    m_c.folderLabel->setOpensLinks(false);
    m_c.folderLabel->addClickListener(this);
    left->add(m_c.folderLabel);
    left->add(hgap(6));
    m_c.changeButton = button(ChangeText, this, 18);
    left->add(m_c.changeButton);
    folderRow->add(left);
    folderRow->add(stretch());
    folderRow->add(hgap(13));

    Box* right = column();
    right->add(m_c.keepOnTop);
    m_c.optionsA = column();
    m_c.optionsA->add(vgap(8));
    m_c.optionsA->add(m_c.autoStartA);
    m_c.optionsA->add(vgap(8));
    m_c.optionsA->add(m_c.mp3OnlyA);
    right->add(m_c.optionsA);
    folderRow->add(right);
    m_c.mainArea->add(folderRow);
}

void Dialog::buildLinkRow()
{
    Box* linkRow = row();
    linkRow->setWidthPercent(100, false);

    Box* stack = column();
    stack->setWidthPercent(100, false);
    stack->add(vgap(1));
    Box* urlLine = row();
    urlLine->setWidthPercent(100, false);
    urlLine->setHorizontalGap(4);
    urlLine->add(label(UrlText));
    m_c.linkField = TextField::get();
    m_c.linkField->addEnterListener(this);
    urlLine->add(m_c.linkField);
    stack->add(urlLine);
    stack->add(vgap(9));

    Box* options = row();
    m_c.optionLine = options;
    options->setWidthPercent(100, false);
    options->alignRight();
    m_c.optionsB = row();
    m_c.optionsB->add(m_c.mp3OnlyB);
    m_c.optionsB->add(hgap(21));
    m_c.optionsB->add(m_c.autoStartB);
    m_c.optionsB->add(hgap(21));
    options->add(m_c.optionsB);
    m_c.requireLogin = check(RequireLoginText, false);
    options->add(m_c.requireLogin);

    Box* login = row();
    m_c.loginGroup = login;
    login->add(hgap(15));
    m_c.idLabel = label(IdText);
    login->add(m_c.idLabel);
    login->add(hgap(4));
    m_c.idField = TextField::get();
    m_c.idField->setMinSize(70, 0);
    login->add(m_c.idField);
    login->add(hgap(10));
    m_c.passwordLabel = label(PasswordText);
    login->add(m_c.passwordLabel);
    login->add(hgap(4));
    m_c.passwordField = TextField::get();
    m_c.passwordField->setPassword(true);
    m_c.passwordField->setMinSize(70, 0);
    login->add(m_c.passwordField);
    options->add(login);
    stack->add(options);
    stack->add(vgap(1));

    linkRow->add(stack);
    linkRow->add(hgap(16));
    m_c.downloadButton = button(DownloadText, this);
    linkRow->add(m_c.downloadButton);
    m_c.mainArea->add(linkRow);
}

void Dialog::buildDetails()
{
    Box* bar = row();
    m_c.detailsBar = bar;
    bar->setWidthPercent(100, false);
    m_c.showDetails = button(ShowDetailsText, this, 18);
    bar->add(m_c.showDetails);
    bar->add(stretch());
    m_c.retryErrorsA = button(RetryErrorsText, this, 18);
    bar->add(m_c.retryErrorsA);
    bar->add(hgap(8));
    m_c.clearCompletedA = button(ClearCompletedText, this, 18);
    bar->add(m_c.clearCompletedA);
    m_c.mainArea->add(bar);

    // The details area: a header line with its buttons over the tab box.
    m_c.tabs = TabBox::get();
    m_c.tabs->setWidthPercent(100, false);

    Box* info = column();
    info->setInset(6);
    info->add(vgap(10));
    Box* buttons = row();
    buttons->setWidthPercent(100, false);
    m_c.play = button(PlayText, this);
    buttons->add(m_c.play);
    buttons->add(stretch());
    buttons->add(hgap(15));
    m_c.removeEntry = button(RemoveEntryText, this);
    buttons->add(m_c.removeEntry);
    buttons->add(hgap(10));
    m_c.deleteEntry = button(DeleteEntryText, this);
    m_c.deleteEntry->setTextColour(223, 0, 0);
    buttons->add(m_c.deleteEntry);
    for (Button* b : { m_c.play, m_c.removeEntry, m_c.deleteEntry })
        b->setEnabled(false);
    info->add(buttons);

    auto line = [&](int32_t captionId, Label*& value, int32_t gapAbove) {
        info->add(vgap(gapAbove));
        Box* l = row();
        l->setHorizontalGap(6);
        Label* caption = label(captionId);
        caption->setMinSize(70, 0);
        l->add(caption);
        value = Label::get();
        l->add(value);
        info->add(l);
    };
    line(TitleCaption, m_c.titleLabel, 10);
    line(UrlCaption, m_c.urlLabel, 5);
    line(PathCaption, m_c.pathLabel, 5);
    m_c.urlLabel->setLink(true);
    m_c.urlLabel->setOpensLinks(false);
    m_c.urlLabel->setTextColour(0, 0, 255);
    m_c.urlLabel->addClickListener(this);
    m_c.pathLabel->setLink(true);
    m_c.pathLabel->setOpensLinks(false);
    m_c.pathLabel->setTextColour(51, 51, 51);
    m_c.pathLabel->setEnabled(false);
    m_c.pathLabel->addClickListener(this);
    m_c.tabs->addPageId(info, InformationPage);

    Box* logPage = column();
    logPage->setInset(5);
    m_c.logArea = TextEdit::get();
    m_c.logArea->setEditable(false);
    logPage->add(m_c.logArea);
    m_c.tabs->addPageId(logPage, LogPage);

    Box* head = row();
    head->setWidthPercent(100, false);
    m_c.hideDetails = button(HideDetailsText, this, 18);
    head->add(m_c.hideDetails);
    head->add(stretch());
    m_c.retryErrorsB = button(RetryErrorsText, this, 18);
    head->add(m_c.retryErrorsB);
    head->add(hgap(8));
    m_c.clearCompletedB = button(ClearCompletedText, this, 18);
    head->add(m_c.clearCompletedB);

    Box* details = column();
    details->setWidthPercent(100, false);
    details->add(head);
    details->add(m_c.tabs);
    m_c.detailsArea = details;
    m_c.mainArea->add(details);
}

void Dialog::buildStatusBar()
{
    m_c.statusBar = StatusBar::get();
    m_c.statusBar->layoutHorizontal();
    m_c.statusBar->alignMiddle();
    m_c.statusBar->setInsetHorizontal(4);
    m_c.statusBar->add(m_c.statusText);
    m_c.statusBar->add(stretch());

    Box* transfer = row();
    m_c.transferGroup = transfer;
    transfer->add(hgap(10));
    Box* speedBox = row();
    speedBox->setFixedWidth(75, false);
    m_c.speedLabel = Label::get();
    m_c.speedLabel->setText(u"---");
    speedBox->add(m_c.speedLabel);
    transfer->add(speedBox);
    transfer->add(hgap(20));
    transfer->add(label(EtaText));
    transfer->add(hgap(4));
    Box* etaBox = row();
    etaBox->setFixedWidth(60, false);
    m_c.etaLabel = Label::get();
    m_c.etaLabel->setText(u"---");
    etaBox->add(m_c.etaLabel);
    transfer->add(etaBox);
    transfer->setCollapseWidth(true);
    transfer->setVisible(false);
    m_c.statusBar->add(transfer);

    m_c.makerLink = Label::get();
    std::u16string maker = u"pellix";
    m_c.makerLink->setText(maker);
    m_c.makerLink->setLink(true);
    m_c.makerLink->setOpensLinks(false);
    m_c.makerLink->setTextColour(51, 51, 51);
    m_c.makerLink->addClickListener(this);
    m_c.statusBar->add(m_c.makerLink);
    m_c.statusBar->add(hgap(14));
}

void Dialog::readList()
{
    m_listPath = m_hooks.listPath.empty() ? DlListFile::defaultPath() : m_hooks.listPath;
    DlListFile::Contents contents;
    if (!DlListFile::read(m_listPath, contents))
        return;
    if (contents.hasViewId)
        m_c.idField->setText(contents.viewId);
    if (contents.hasViewPassword)
        m_c.passwordField->setText(contents.viewPassword);
    m_nextIndex = std::max(m_nextIndex, contents.nextIndex);
    for (auto& job : contents.jobs) {
        job->Owner = m_window.get();
        s::gui::listbox2::Record* row = JobRow::MakeRow(*job);
        JobRow::Bind(*job, m_list, row);
        if (!m_list->appendRow(row)) {
            JobRow::Bind(*job, nullptr, nullptr);
            row->release();
            continue;
        }
        // The list holds the job from here on, through its row.
        [[maybe_unused]] DlThread* handedOver = job.take();
    }
}

std::vector<DlThread*> Dialog::jobs() const
{
    std::vector<DlThread*> out;
    if (!m_list)
        return out;
    for (int32_t i = 0; i < m_list->getRowCount(); ++i) {
        if (DlThread* job = JobCommands::JobAt(*m_list, i))
            out.push_back(job);
    }
    return out;
}

void Dialog::writeList()
{
    DlListFile::Generator generator;
    generator.application = m_app->displayName();
    generator.version = m_app->versionText();
    generator.url = m_app->webPage();
    DlListFile::Logins logins;
    logins.id = std::u16string(m_c.idField->getText());
    logins.password = std::u16string(m_c.passwordField->getText());
    std::vector<DlThread*> rows = onUiThread([this] { return jobs(); });
    DlListFile::write(m_listPath, generator, logins, rows);
}

void Dialog::shutdownJobs()
{
    onUiThread([this] { m_commands->StopAllAndWait(); });
}

void Dialog::requestClose()
{
    if (m_window)
        m_window->close();
}

void Dialog::bringForward()
{
    if (!m_window)
        return;
    m_window->showNormal();
    m_window->activate(true);
}

void Dialog::handle(base::IObject* sender, int32_t code)
{
    Window* w = m_window.get();
    if (!w)
        return;
    if (sender == w) {
        switch (code) {
        case Window::CloseRequested:
            close();
            return;
        case Window::Timer:
            if (w->getTimerId() == onceASecondTimer)
                onceASecond();
            return;
        case Window::ClipboardChanged:
            m_intake->ClipboardChanged(w->isOwnClipboardChange(), steadyMs(), w->getClipboardText());
            return;
        case Window::Request:
            workerRequest();
            return;
        default:
            return;
        }
    }
    if (m_list && (sender == m_c.list || sender == m_list)) {
        listEvent(code);
        return;
    }
    if (sender == m_c.listMenu || sender == m_c.removeMenu) {
        listCommand(m_c.listMenu->getLastCommand());
        return;
    }
    if (sender == m_c.play) {
        play();
        return;
    }
    if (sender == m_c.pathLabel) {
        if (!m_shownPath.empty() && QFileInfo(toQ(m_shownPath)).isFile())
            locate();
        return;
    }
    if (sender == m_c.keepOnTop) {
        setKeepOnTop(m_c.keepOnTop->isChecked());
        return;
    }
    if (sender == m_c.autoStartA || sender == m_c.autoStartB || sender == m_c.mp3OnlyA || sender == m_c.mp3OnlyB) {
        optionCopyChanged(sender == m_c.autoStartA ? m_c.autoStartA
                : sender == m_c.autoStartB         ? m_c.autoStartB
                : sender == m_c.mp3OnlyA           ? m_c.mp3OnlyA
                                                   : m_c.mp3OnlyB);
        return;
    }
    if (sender == m_c.requireLogin) {
        m_settings->setRequireLogin(m_c.requireLogin->isChecked());
        arrangeOptions();
        return;
    }
    if (sender == m_c.folderLabel) {
        openFolder();
        return;
    }
    if (sender == m_c.changeButton) {
        changeFolder();
        return;
    }
    if (sender == m_c.showDetails) {
        setDetailsOpen(true);
        return;
    }
    if (sender == m_c.hideDetails) {
        setDetailsOpen(false);
        return;
    }
    if (sender == m_c.urlLabel) {
        std::u16string url(m_c.urlLabel->getText());
        if (isWebLink(url))
            open(url);
        return;
    }
    if (sender == m_c.makerLink) {
        open(text(MakerPage));
        return;
    }
    if (sender == m_c.menuBar) {
        menuCommand(m_c.menuBar->getLastCommand());
        return;
    }
    if (sender == m_c.mainArea && code == s::gui::IContainer::LinkDropped) {
        if (!m_onceDropped) {
            m_onceDropped = true;
            m_settings->setOnceDropped(true);
            endHint(true);
        }
        m_intake->TakeDropped(m_c.mainArea->getDroppedText());
        return;
    }
    if (sender == m_c.downloadButton || sender == m_c.linkField) {
        m_intake->TakeLink(true, false);
        return;
    }
    if (sender == m_c.retryErrorsA || sender == m_c.retryErrorsB) {
        m_commands->RetryErrors();
        return;
    }
    if (sender == m_c.clearCompletedA || sender == m_c.clearCompletedB) {
        m_commands->ClearCompleted();
        return;
    }
    if (sender == m_c.removeEntry || sender == m_c.deleteEntry) {
        // The details area lets go of a job before its row can go.
        if (DlThread* first = firstSelected(); first && first == m_detailsJob)
            clearDetails();
        m_commands->SweepStopping();
        m_commands->Remove(JobCommands::Scope::FirstSelected, sender == m_c.deleteEntry);
        return;
    }
}

DlThread* Dialog::firstSelected() const
{
    if (!m_list || m_list->getSelectedCount() < 1)
        return nullptr;
    s::gui::listbox2::Record* row = nullptr;
    s::gui::listbox2::RowId id {};
    if (!m_list->getSelected(0, row, id))
        return nullptr;
    return JobRow::JobOf(row);
}

void Dialog::listEvent(int32_t code)
{
    namespace le = s::gui::listbox2::ListEvent;
    switch (code) {
    case le::ContextMenu:
        prepareContextMenu();
        return;
    case le::SelectionStarted:
        refreshDetails();
        return;
    case le::RowDeselected:
    case le::SelectionEmptied:
        if (m_detailsJob && m_detailsJob != firstSelected()) {
            clearDetails();
            refreshDetails();
        }
        return;
    case le::RowDoubleClicked:
        play();
        if (!m_onceDblClicked) {
            m_onceDblClicked = true;
            m_settings->setOnceDblClicked(true);
            endHint(false);
        }
        return;
    case le::KeyPressed:
        if (m_c.window->getKeyCode() == static_cast<int32_t>(s::gui::keys::Delete)) {
            bool deleteFiles = m_c.window->ask(text(2710010));
            listCommand(deleteFiles ? 550 : 500);
        }
        return;
    case le::HeaderClickedBeforeSort:
        if (m_list->getSelectedCount() > 1)
            m_list->deselectAll();
        return;
    default:
        return;
    }
}

void Dialog::prepareContextMenu()
{
    int32_t selected = m_list->getSelectedCount();
    bool retry = false;
    bool cancel = false;
    bool removeAnd = false;
    for (int32_t i = 0; i < selected && !(retry && cancel && removeAnd); ++i) {
        s::gui::listbox2::Record* row = nullptr;
        s::gui::listbox2::RowId id {};
        if (!m_list->getSelected(i, row, id))
            continue;
        DlThread* job = JobRow::JobOf(row);
        if (!job)
            continue;
        bool running = job->Running.load();
        bool completed = job->State.load() == JobState::Completed;
        retry = retry || (!running && !completed);
        cancel = cancel || running;
        removeAnd = removeAnd || (!running && completed);
    }
    m_c.listMenu->setItemEnabled(100, selected == 1);
    m_c.listMenu->setItemEnabled(200, selected == 1);
    m_c.listMenu->setItemEnabled(400, retry);
    m_c.listMenu->setItemEnabled(450, cancel);
    m_c.listMenu->updateSubMenu(m_c.removeMenu, removeAnd);
}

void Dialog::listCommand(int32_t command)
{
    switch (command) {
    case 100:
        play();
        return;
    case 200:
        locate();
        return;
    case 300:
        copyUrls();
        return;
    case 400:
        if (m_detailsJob && m_detailsJob == firstSelected())
            m_c.logArea->setText(u"");
        m_commands->Retry();
        return;
    case 450:
        m_commands->Cancel();
        return;
    case 500:
    case 550:
        if (m_detailsJob) {
            for (int32_t i = 0; i < m_list->getSelectedCount(); ++i) {
                s::gui::listbox2::Record* row = nullptr;
                s::gui::listbox2::RowId id {};
                if (m_list->getSelected(i, row, id) && JobRow::JobOf(row) == m_detailsJob) {
                    clearDetails();
                    break;
                }
            }
        }
        m_commands->SweepStopping();
        m_commands->Remove(JobCommands::Scope::AllSelected, command == 550);
        return;
    default:
        return;
    }
}

void Dialog::copyUrls()
{
    std::u16string joined;
    for (int32_t i = m_list->getSelectedCount() - 1; i >= 0; --i) {
        s::gui::listbox2::Record* row = nullptr;
        s::gui::listbox2::RowId id {};
        if (!m_list->getSelected(i, row, id))
            continue;
        DlThread* job = JobRow::JobOf(row);
        if (!job)
            continue;
        std::u16string url;
        {
            std::scoped_lock guard(job->Lock);
            url.assign(job->Url->view());
        }
        if (url.empty())
            continue;
        if (!joined.empty())
            joined += u"\r\n";
        joined += url;
    }
    if (!joined.empty())
        m_c.window->setClipboardText(joined);
}

void Dialog::play()
{
    DlThread* job = firstSelected();
    if (!job)
        return;
    thread::Pooled<str::strbuffer::StrBuffer> path = job->CopyFilePath();
    std::u16string file(path->view());
    if (!file.empty() && QFileInfo(toQ(file)).isFile())
        openLocal(file);
}

void Dialog::locate()
{
    std::u16string file;
    if (DlThread* job = firstSelected()) {
        thread::Pooled<str::strbuffer::StrBuffer> path = job->CopyFilePath();
        file.assign(path->view());
    } else {
        file = m_shownPath;
    }
    QFileInfo info(toQ(file));
    if (file.empty() || !info.exists())
        return;
    // The file manager selects the file in a window of its own; without one, the folder opens.
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(info.absoluteFilePath()).toString() } << QString();
    QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (answer.type() != QDBusMessage::ReplyMessage)
        openLocal(fromQ(info.absolutePath()));
}

void Dialog::clearDetails()
{
    if (m_detailsJob)
        m_detailsJob->setLogListener(nullptr);
    m_detailsJob = nullptr;
    m_c.logArea->setText(u"");
    m_c.titleLabel->setText(u"");
    m_c.urlLabel->setText(u"");
    setPathShown(u"");
    for (Button* b : { m_c.removeEntry, m_c.deleteEntry })
        b->setEnabled(false);
}

void Dialog::setPathShown(const std::u16string& path)
{
    bool exists = !path.empty() && QFileInfo(toQ(path)).isFile();
    bool changed = path != m_shownPath;
    m_shownPath = path;
    m_c.pathLabel->setText(path);
    m_c.pathLabel->setEnabled(exists);
    m_c.play->setEnabled(exists);
    if (changed)
        relayoutTree(m_c.tabs);
}

void Dialog::showDetailsOf(DlThread& job, bool withLog)
{
    if (m_detailsJob != &job) {
        if (m_detailsJob)
            m_detailsJob->setLogListener(nullptr);
        m_detailsJob = &job;
    }
    job.setLogListener(m_c.window);
    std::u16string log;
    std::u16string title;
    std::u16string url;
    std::u16string path;
    {
        std::scoped_lock guard(job.Lock);
        if (withLog)
            log.assign(job.Log->view());
        title.assign(job.FileName->view().empty() ? job.Url->view() : job.FileName->view());
        url.assign(job.Url->view());
        path.assign(job.FilePath->view());
    }
    if (withLog) {
        if (log.empty() && job.IsCompletedIdle())
            log = text(2201000);
        m_c.logArea->setText(log);
    }
    m_c.titleLabel->setText(title);
    if (withLog)
        m_c.urlLabel->setText(url);
    setPathShown(path);
    for (Button* b : { m_c.removeEntry, m_c.deleteEntry })
        b->setEnabled(true);
}

void Dialog::refreshDetails()
{
    DlThread* job = firstSelected();
    if (!job) {
        clearDetails();
        return;
    }
    showDetailsOf(*job, true);
}

void Dialog::logAdded(const str::strbuffer::StrBuffer& added)
{
    if (m_closing)
        return;
    // Lines of another job than the one shown never land under its title.
    DlThread* job = firstSelected();
    if (!job) {
        clearDetails();
        return;
    }
    if (job != m_detailsJob) {
        showDetailsOf(*job, true);
        return;
    }
    // The request names no job: a line counts as the shown job's only when its log ends with it
    // (a line sent just before the shown job changed belongs to the one shown before).
    bool ours = false;
    {
        std::scoped_lock guard(job->Lock);
        ours = job->Log->view().ends_with(added.view());
    }
    if (!ours)
        return;
    m_c.logArea->appendText(added.view());
    showDetailsOf(*job, false);
}

std::u16string Dialog::linkText() { return std::u16string(m_c.linkField->getText()); }
void Dialog::setLinkText(std::u16string_view text) { m_c.linkField->setText(text); }
void Dialog::focusLinkText()
{
    TextField* field = m_c.linkField;
    onUiThread([field] {
        if (auto* w = static_cast<QWidget*>(field->getNativeHandle()))
            w->setFocus();
    });
}
bool Dialog::onlyMp3() { return m_c.mp3OnlyA->isChecked(); }
bool Dialog::requireLogin() { return m_c.requireLogin->isChecked(); }
std::u16string Dialog::loginId() { return std::u16string(m_c.idField->getText()); }
std::u16string Dialog::loginPassword() { return std::u16string(m_c.passwordField->getText()); }
bool Dialog::autoStartFromClipboard() { return m_c.autoStartA->isChecked(); }
std::u16string Dialog::downloadFolder() { return m_saveFolder; }
int32_t Dialog::takeNextIndex() { return m_nextIndex++; }

void Dialog::showInformation(int32_t textId)
{
    bool onTop = m_c.window->isTopmost();
    if (onTop)
        m_c.window->setTopmost(false);
    m_c.window->showInfo(text(textId));
    if (onTop)
        m_c.window->setTopmost(true);
}

bool Dialog::isGuiThread() const { return UIThread::instance().isCurrent(); }

void Dialog::waitServing(const std::function<bool()>& done)
{
    while (!done()) {
        if (isGuiThread())
            UIThread::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void Dialog::optionCopyChanged(CheckBox* box)
{
    bool on = box->isChecked();
    bool autoStart = box == m_c.autoStartA || box == m_c.autoStartB;
    CheckBox* other = box == m_c.autoStartA ? m_c.autoStartB
        : box == m_c.autoStartB             ? m_c.autoStartA
        : box == m_c.mp3OnlyA               ? m_c.mp3OnlyB
                                            : m_c.mp3OnlyA;
    if (autoStart)
        m_settings->setAutoStart(on);
    else
        m_settings->setMp3Only(on);
    other->setChecked(on);
}

void Dialog::arrangeOptions()
{
    bool login = m_c.requireLogin->isChecked();
    // A hidden group takes no room at all.
    auto showGroup = [](Box* group, bool show) {
        group->setCollapseWidth(!show);
        group->setCollapseHeight(!show);
        group->setVisible(show);
    };
    showGroup(m_c.loginGroup, login);
    showGroup(m_c.optionsA, login);
    showGroup(m_c.optionsB, !login);
    relayoutWindow();
}

void Dialog::setDetailsOpen(bool open)
{
    if (open) {
        m_c.detailsBar->setCollapseWidth(true);
        m_c.detailsBar->setCollapseHeight(true);
        m_c.detailsBar->setVisible(false);
        m_c.detailsArea->setCollapseWidth(false);
        m_c.detailsArea->setCollapseHeight(false);
        m_c.detailsArea->setVisible(true);
        m_c.tabs->setFixedHeight(detailsHeight);
    } else {
        m_c.tabs->setFixedHeight(0);
        m_c.detailsArea->setCollapseWidth(true);
        m_c.detailsArea->setCollapseHeight(true);
        m_c.detailsArea->setVisible(false);
        m_c.detailsBar->setCollapseWidth(false);
        m_c.detailsBar->setCollapseHeight(false);
        m_c.detailsBar->setVisible(true);
    }
    relayoutWindow();
    m_c.window->repaint();
    m_settings->setShowDetails(open);
}

void Dialog::relayoutWindow()
{
    Window* w = m_c.window;
    onUiThread([w] {
        relayoutTree(w);
        w->relayout();
    });
}

void Dialog::setKeepOnTop(bool on)
{
    m_c.window->setTopmost(on);
    m_holder->setKeepOnTop(on);
    m_c.keepOnTop->setChecked(on);
    m_c.menuBar->setItemChecked(KeepOnTop, on);
}

void Dialog::changeFolder()
{
    std::lock_guard lock(m_lock);
    bool onTop = m_c.keepOnTop->isChecked();
    if (onTop)
        m_c.window->setTopmost(false);
    std::u16string picked = m_hooks.pickFolder(m_saveFolder, text(FolderPickerTitle));
    if (onTop)
        m_c.window->setTopmost(true);
    m_c.window->activate(true);
    if (picked.empty())
        return;
    m_saveFolder = picked;
    m_settings->setSaveFolder(picked);
    m_c.folderLabel->setText(picked);
    relayoutWindow();
}

void Dialog::openFolder()
{
    QFileInfo info(toQ(m_saveFolder));
    if (!info.exists())
        return;
    openLocal(info.isDir() ? m_saveFolder : fromQ(info.absolutePath()));
}

void Dialog::menuCommand(int32_t command)
{
    if (command == Translate) {
        open(text(TranslatePage));
    } else if (command >= FirstLanguage && command <= LastLanguage) {
        selectLanguage(command - FirstLanguage);
    } else if (command == KeepOnTop) {
        setKeepOnTop(!m_c.menuBar->isItemChecked(KeepOnTop));
    } else if (command == EasyDrag) {
        bool on = !m_c.menuBar->isItemChecked(EasyDrag);
        m_c.window->setEasyDrag(on);
        m_holder->setEasyDrag(on);
        m_c.menuBar->setItemChecked(EasyDrag, on);
    } else if (command == MiddleClickCloses) {
        bool on = !m_c.menuBar->isItemChecked(MiddleClickCloses);
        m_c.window->setMiddleClickAction(on ? "Close" : "DoNothing");
        m_holder->setOnMClick(on ? app::os::AppWindow::actionClose : app::os::AppWindow::actionDoNothing);
        m_c.menuBar->setItemChecked(MiddleClickCloses, on);
    } else if (command == About) {
        if (m_hooks.showAbout)
            m_hooks.showAbout();
        else
            m_c.window->showInfo(text(TitleText) + u" " + text(app::IAppBase::languageBaseId + app::IAppBase::versionOffset));
    } else if (command == SupportedSites) {
        open(text(SupportedSitesPage));
    } else {
        for (const PageCommand& page : toolPages) {
            if (page.command == command)
                open(text(page.pageId));
        }
        for (const AppPage& page : appPages) {
            if (page.command == command)
                open(m_app->webPage() + page.path);
        }
    }
}

void Dialog::selectLanguage(int32_t index)
{
    lang::Localizer* localizer = m_app->localizer();
    if (!localizer || index < 0 || static_cast<uint32_t>(index) >= localizer->languageCount())
        return;
    localizer->selectLanguageAt(static_cast<uint32_t>(index));
    m_app->storeLanguage(localizer->languageAt(static_cast<uint32_t>(index))->englishName());
    RowTexts::fill(*localizer);
    m_c.languageMenu->setRadioMarkById(FirstLanguage + index);
    m_c.window->languageChanged(*localizer);
    m_c.menuBar->relabel();
    downloadingCountChanged(INT32_MIN);
    relayoutWindow();
}

void Dialog::endHint(bool)
{
    if (!m_hintPending)
        return;
    m_hintPending = false;
    m_c.statusText->setTextId(ReadyText);
}

void Dialog::workerRequest()
{
    Window* w = m_c.window;
    const char* name = w->getRequestName();
    if (name == ProcessUpdateDownloadedNum)
        downloadingCountChanged(static_cast<int32_t>(w->getRequestArg1()));
    else if (name == ProcessUpdateLog)
        logAdded(*reinterpret_cast<const str::strbuffer::StrBuffer*>(w->getRequestArg1()));
    else if (name == ProcessUpdateSpeedAndEta)
        rateReport(*reinterpret_cast<const int64_t*>(w->getRequestArg1()), *reinterpret_cast<const int64_t*>(w->getRequestArg2()));
}

void Dialog::downloadingCountChanged(int32_t value)
{
    if (m_closing)
        return;
    // INT32_MIN only words the texts again (after a language switch).
    int32_t before = m_downloading.load();
    int32_t count = before;
    if (value != INT32_MIN) {
        count = value >= 1 ? before + value : std::max(0, before - 1);
        m_downloading.store(count);
    }
    std::u16string title = text(TitleText);
    if (count > 0) {
        std::u16string counted = decimal(count) + text(DownloadingText);
        m_c.window->setTitle(title + u"  (" + counted + u")");
        if (!m_hintPending) {
            m_c.statusText->setTextId(-1);
            m_c.statusText->setText(u"    " + counted);
        }
        if (before == 0) {
            m_c.transferGroup->setCollapseWidth(false);
            m_c.transferGroup->setVisible(true);
            m_c.makerLink->setVisible(false);
        }
    } else {
        m_c.window->setTitle(title);
        if (!m_hintPending) {
            m_c.statusText->setTextId(-1);
            m_c.statusText->setTextId(ReadyText);
        }
        m_c.transferGroup->setCollapseWidth(true);
        m_c.transferGroup->setVisible(false);
        m_c.makerLink->setVisible(true);
    }
    relayoutTree(m_c.statusBar);
}

void Dialog::rateReport(int64_t speed, int64_t timeLeft)
{
    if (m_closing)
        return;
    // A speed not known yet (-1) adds nothing.
    m_speedSamples[sampleCount - 1] += std::max<int64_t>(0, speed);
    m_etaSamples[sampleCount - 1] = std::max(m_etaSamples[sampleCount - 1], timeLeft);
}

Dialog::Overall Dialog::advanceSamples(std::array<int64_t, sampleCount>& speeds, std::array<int64_t, sampleCount>& timesLeft,
    int32_t downloading)
{
    Overall overall;
    // Step 1: the mean speed of the ten seconds, then the ring moves on.
    int64_t sum = 0;
    for (int64_t s : speeds)
        sum += s;
    overall.speed = sum / static_cast<int64_t>(sampleCount);
    std::copy(speeds.begin() + 1, speeds.end(), speeds.begin());
    speeds.back() = 0;
    // Step 2: the largest time left, each older one a second nearer.
    overall.timeLeft = *std::max_element(timesLeft.begin(), timesLeft.end());
    for (size_t i = 0; i + 1 < sampleCount; ++i)
        timesLeft[i] = timesLeft[i + 1] - 1;
    timesLeft.back() = 0;
    // Step 3: nothing runs, nothing is carried over.
    if (downloading == 0) {
        speeds.fill(0);
        timesLeft.fill(0);
        overall = {};
    }
    return overall;
}

void Dialog::onceASecond()
{
    int32_t downloading = m_downloading.load();
    Overall overall = advanceSamples(m_speedSamples, m_etaSamples, downloading);
    thread::Pooled<str::strbuffer::StrBuffer> speed;
    RowFormat::FormatSpeed(overall.speed, *speed);
    m_c.speedLabel->setText(speed->view());
    if (downloading > 0 && overall.timeLeft == 0) {
        m_c.etaLabel->setText(u"---");
    } else {
        thread::Pooled<str::strbuffer::StrBuffer> eta;
        RowFormat::FormatDuration(overall.timeLeft, *eta);
        m_c.etaLabel->setText(eta->view());
    }
    m_c.statusBar->repaint();
}

void Dialog::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_c.window->stopTimer(onceASecondTimer);
    m_commands->BeginShutdown();
    app::ColumnSettings columns = m_settings->columns();
    uint32_t count = m_list->getColumnCount();
    columns.widths.assign(count, 0);
    for (uint32_t i = 0; i < count; ++i)
        columns.widths[i] = m_list->getColumn(static_cast<int32_t>(i))->width();
    if (columns.order.size() != count) {
        columns.order.clear();
        for (uint32_t i = 0; i < count; ++i)
            columns.order.push_back(static_cast<int32_t>(i));
    }
    columns.ascending.resize(count, true);
    columns.sortPriority.resize(count, 0);
    m_settings->setColumns(columns);
    int32_t page = m_c.tabs->getSelectedPage();
    if (page >= 0)
        m_settings->setTab(page);
}

void Dialog::open(const std::u16string& url)
{
    if (!url.empty())
        m_hooks.openUrl(url);
}

void Dialog::openLocal(const std::u16string& path)
{
    if (!path.empty())
        m_hooks.openPath(path);
}

}
