// A window built from the toolkit's parts: boxes in rows and columns, labels, buttons, check
// boxes bound to the fields they enable, text fields, a tab box and a status bar; beside it a
// skinned window ("ThinWindow" family, skin "Classic LG") whose buttons, scroll bar, speed graph
// and status bar take their drawers from the skin.
//
//   fetchwick-gui-demo                    shows the window until it is closed
//   fetchwick-gui-demo --screenshot F.png saves a picture of the window and ends
//   fetchwick-gui-demo --tour             switches the tabs back and forth and resizes the window,
//                                         one step a second; prints "step N: ..." when a step
//                                         shows, so a screenshot can be taken, then ends

#include "gui/drawer/Skinner.h"
#include "gui/os/Box.h"
#include "gui/os/Button.h"
#include "gui/os/CheckBox.h"
#include "gui/os/Counter.h"
#include "gui/os/Label.h"
#include "gui/os/ScrollBar.h"
#include "gui/os/StatusBar.h"
#include "gui/os/TabBox.h"
#include "gui/os/TextEdit.h"
#include "gui/os/TextField.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

using namespace s::gui::os;

namespace {

Label* label(std::u16string_view text, bool bold = false)
{
    Label* l = Label::get();
    l->setText(text);
    if (bold)
        l->setBold(true);
    return l;
}

Box* row(int32_t gap = 8)
{
    Box* b = Box::get();
    b->layoutHorizontal();
    b->alignMiddle();
    b->setHorizontalGap(gap);
    b->setWidthPercent(100, false);
    return b;
}

Box* column(int32_t gap = 6)
{
    Box* b = Box::get();
    b->setVerticalGap(gap);
    b->setInset(10);
    b->fill();
    return b;
}

// Shows what was typed in the status bar when Download is pressed.
struct DownloadAction : s::gui::events::IEventListener {
    TextField* link = nullptr;
    Label* status = nullptr;
    void handle(s::base::IObject*, int32_t) override
    {
        std::u16string text = u"Queued: ";
        text += link->getText();
        status->setTextFor(text, 3000);
    }
};

// The skinned window: what a small "about" window of the program looks like in the skin it asks for.
s::thread::Pooled<Window> makeSkinnedWindow(s::gui::drawer::Skinner* skinner, Counter*& graph)
{
    s::thread::Pooled<Window> window = Window::make();
    window->setTitle(u"Skinned window");
    window->setSkinner(skinner);
    window->chooseSkin(u"Classic LG");
    window->setResizable(true);
    window->setEasyDrag(true);
    window->setInset(12);
    window->setVerticalGap(8);
    window->setBounds(690, 100, 360, 420);

    Label* title = label(u"Fetchwick", true);
    window->add(title);
    window->add(label(u"Skin “Classic LG” of the “ThinWindow” family"));

    Box* buttons = row(6);
    Button* ok = Button::get();
    ok->setText(u"OK");
    buttons->add(ok);
    Button* toggle = Button::get();
    toggle->setText(u"Keep on top");
    toggle->setToggle(true);
    toggle->setToggled(true);
    buttons->add(toggle);
    Button* off = Button::get();
    off->setText(u"Disabled");
    off->setEnabled(false);
    buttons->add(off);
    window->add(buttons);

    Box* glyphs = row(4);
    for (std::u16string_view name : { u"#Play", u"#Pause", u"#Stop", u"#Left", u"#Right", u"#Up", u"#Down", u"#Minus", u"#Plus",
             u"#Check", u"#Color-0000A5FF" }) {
        Button* b = Button::get();
        b->setText(name);
        b->setAutoSize(false);
        b->setNaturalSize(22, 22);
        glyphs->add(b);
    }
    window->add(glyphs);

    Box* middle = row(8);
    middle->setHeightPercent(100, false);
    graph = Counter::get();
    graph->setHeightPercent(100, false);
    graph->setWidthPercent(85, false);
    graph->setBackgroundColour(0x31, 0x31, 0x31);
    graph->getMainSeries()->setScale(0, 100);
    graph->getMainSeries()->setAutoScale(true);
    graph->getMainSeries()->setScaleFloor(1024);
    graph->getMainSeries()->setPointCount(400);
    middle->add(graph);
    ScrollBar* scroll = ScrollBar::get();
    scroll->setRange(0, 100, 20);
    scroll->setValue(30);
    middle->add(scroll);
    window->add(middle);

    auto* bar = StatusBar::get();
    bar->add(label(u"2.1 MB/s"));
    window->setStatusBar(bar);
    return window;
}

}

int runDemo(int argc, char** argv)
{
    const char* screenshot = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshot = argv[i + 1];
    }

    bool tour = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tour") == 0)
            tour = true;
    }

    s::thread::Pooled<Window> window = Window::make();
    window->setTitle(u"Fetchwick \u2013 toolkit demo");
    // The window stacks its children in the shared column; the content has gaps of its own.
    Box* content = column(8);
    window->setBounds(100, 100, 560, 420);
    window->setMinimumWidth(420);
    window->setMinimumHeight(300);
    window->enforceMinimumSize(true);

    // The link row: a label, a field that takes the free width, a button.
    Box* linkRow = row();
    linkRow->add(label(u"Link:", true));
    TextField* link = TextField::get();
    link->setText(u"https://www.example.org/watch?v=demo");
    linkRow->add(link);
    Button* download = Button::get();
    download->setText(u"Download");
    linkRow->add(download);
    content->add(linkRow);

    // Options in a flowing row.
    Box* options = Box::get();
    options->layoutFlow();
    options->setHorizontalGap(16);
    options->setVerticalGap(4);
    options->setWidthPercent(100, false);
    CheckBox* audio = CheckBox::get();
    audio->setText(u"Audio only (MP3)");
    audio->setChecked(true);
    CheckBox* clipboard = CheckBox::get();
    clipboard->setText(u"Watch the clipboard");
    CheckBox* onTop = CheckBox::get();
    onTop->setText(u"Keep on top");
    options->add(audio);
    options->add(clipboard);
    options->add(onTop);
    content->add(options);

    // A tab box with three pages.
    auto* tabs = TabBox::get();
    tabs->fill();

    Box* downloads = column();
    Box* header = row(20);
    header->add(label(u"Title", true));
    header->add(label(u"Size", true));
    header->add(label(u"Progress", true));
    header->add(label(u"State", true));
    downloads->add(header);
    Box* entry = row(20);
    entry->add(label(u"Big Buck Bunny (1080p)"));
    entry->add(label(u"263.4 MB"));
    entry->add(label(u"42.0 %"));
    entry->add(label(u"Downloading"));
    downloads->add(entry);
    TextEdit* log = TextEdit::get();
    log->setText(u"[download] Destination: Big Buck Bunny.mp4\n[download]  42.0% of 263.40MiB at 2.10MiB/s ETA 01:13");
    downloads->add(log);
    tabs->addPage(downloads, u"Downloads");

    Box* login = column();
    CheckBox* useLogin = CheckBox::get();
    useLogin->setText(u"This site needs a login");
    login->add(useLogin);
    Box* nameRow = row();
    nameRow->add(label(u"User name:"));
    TextField* name = TextField::get();
    name->setText(u"viewer");
    nameRow->add(name);
    login->add(nameRow);
    Box* passwordRow = row();
    passwordRow->add(label(u"Password: "));
    TextField* password = TextField::get();
    password->setPassword(true);
    password->setText(u"secret");
    passwordRow->add(password);
    login->add(passwordRow);
    useLogin->bindEnabled(name);
    useLogin->bindEnabled(password);
    name->setEnabled(false);
    password->setEnabled(false);
    tabs->addPage(login, u"Login");

    Box* about = column();
    about->add(label(u"Fetchwick", true));
    Label* home = label(u"Project home page");
    home->setLink(true);
    home->setLinkTarget(u"https://www.example.org/");
    about->add(home);
    tabs->addPage(about, u"About");
    content->add(tabs);
    window->add(content);

    // The status bar.
    auto* bar = StatusBar::get();
    Label* status = label(u"Ready");
    bar->add(status);
    bar->add(label(u"0 downloads running"));
    window->setStatusBar(bar);

    DownloadAction action;
    action.link = link;
    action.status = status;
    download->addClickListener(&action);

    window->show();

    s::thread::Pooled<s::gui::drawer::Skinner> skinner;
    skinner->setFamily(u"ThinWindow");
    skinner->loadFamily();
    Counter* graph = nullptr;
    s::thread::Pooled<Window> skinned = makeSkinnedWindow(skinner.get(), graph);
    skinned->show();

    // A speed graph wants samples: a made-up download rate from a thread of its own.
    std::atomic<bool> running { true };
    std::thread feeder([&] {
        for (int t = 0; running.load(); ++t) {
            const double wave = 1.0 + std::sin(t / 9.0) * 0.6 + std::sin(t / 2.3) * 0.2;
            graph->getMainSeries()->addSample(static_cast<int64_t>(1500 * wave));
            std::this_thread::sleep_for(std::chrono::milliseconds(screenshot ? 1 : 40));
        }
    });
    auto stopFeeder = [&] {
        running = false;
        feeder.join();
    };

    if (tour) {
        struct Step {
            uint32_t page;
            int32_t w, h;
        } steps[] = { { 0, 560, 420 }, { 1, 560, 420 }, { 2, 560, 420 }, { 0, 560, 420 }, { 1, 720, 520 }, { 2, 640, 460 },
            { 0, 640, 460 }, { 1, 480, 360 }, { 0, 480, 360 } };
        int n = 0;
        for (const Step& step : steps) {
            tabs->selectPage(step.page);
            window->setSize(step.w, step.h);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            std::printf("step %d: page %u at %dx%d\n", ++n, step.page, step.w, step.h);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        }
        stopFeeder();
        skinned->close();
        window->close();
        return 0;
    }

    if (screenshot) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        bool saved = onUiThread([&] {
            UIThread::processEvents();
            return window->widget()->grab().save(QString::fromLocal8Bit(screenshot));
        });
        std::printf("%s %s\n", saved ? "saved" : "could not save", screenshot);
        stopFeeder();
        skinned->close();
        window->close();
        return saved ? 0 : 1;
    }
    window->waitUntilClosed();
    stopFeeder();
    skinned->close();
    return 0;
}

// As the program does: the Qt application on the main thread, which is the GUI thread, and the
// demo's own steps on a thread of their own; the loop ends when they are done. Qt's objects are
// then taken down on the thread they live on.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    UIThread::instance();
    int status = 0;
    std::thread steps([&] {
        status = runDemo(argc, argv);
        UIThread::instance().post([] { QCoreApplication::quit(); });
    });
    QApplication::exec();
    steps.join();
    return status;
}
