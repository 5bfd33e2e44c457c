// Settings of the application object, the window holders and the main window, on real registry
// files in a temporary folder.

#include "app/ColumnSettings.h"
#include "app/MainSettings.h"
#include "app/SaveFolder.h"
#include "app/os/AppBase.h"
#include "app/os/AppWindow.h"
#include "formats/lang/LangPack.h"
#include "formats/map/IMappedData.h"
#include "formats/reg/os/Hive.h"
#include "formats/reg/os/RegDir.h"
#include "foundation/str/StrBuffer.h"
#include "tests/common/DecimalCommaLocale.h"
#include "tests/formats/TempFolder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using s::app::ColumnSettings;
using s::app::MainSettings;
using s::app::SaveFolder;
using s::app::os::AppBase;
using s::app::os::AppWindow;
using s::thread::Pooled;

namespace {

constexpr char16_t storePath[] = u"HKEY_CURRENT_USER\\Software\\Pellix\\Fetchwick\\SaveData";

std::string utf8(std::u16string_view text)
{
    Pooled<s::str::strbuffer::StrBuffer> buffer;
    buffer->assign(text);
    return buffer->toStdUtf8();
}

// One start of the program against its own registry file and home folder.
struct Start {
    explicit Start(TempFolder& folder, std::vector<std::string> arguments = {})
        : hive(s::reg::os::Hive::forFile(folder / "registry.reg"))
    {
        AppBase::Setup setup;
        setup.arguments = std::move(arguments);
        setup.hive = &hive;
        app = Pooled<AppBase>::adopt(AppBase::get());
        app->initialize(setup);
        window = AppWindow::create(app.get(), MainSettings::windowName, app->softwareType(), MainSettings::creationWidth,
            MainSettings::creationHeight, MainSettings::creationMiddleClick);
        window->setScreenArea([] { return AppWindow::ScreenArea { 0, 0, 1920, 1080 }; });
    }
    s::map::IMappedData& store() { return *app->store(); }

    s::reg::os::Hive& hive;
    Pooled<AppBase> app { nullptr };
    Pooled<AppWindow> window { nullptr };
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    }
    TempFolder home;
    TempFolder registry;
};

}

TEST_F(Settings, FirstStartOnACleanMachine)
{
    Start start(registry);
    MainSettings main(*start.window);
    AppWindow& window = *start.window;

    EXPECT_TRUE(window.getKeepOnTop());
    EXPECT_TRUE(window.getEasyDrag());
    EXPECT_FALSE(window.getMaximized());
    EXPECT_TRUE(main.autoStart());
    EXPECT_FALSE(main.mp3Only());
    EXPECT_FALSE(main.requireLogin());
    EXPECT_FALSE(main.showDetails());
    EXPECT_FALSE(main.onceDropped());
    EXPECT_FALSE(main.onceDblClicked());
    EXPECT_EQ(main.tab(2), 0);
    EXPECT_EQ(window.getWidth(), 550);
    EXPECT_EQ(window.getHeight(), 450);
    EXPECT_FALSE(window.hasPosition());
    int32_t value = 0;
    EXPECT_FALSE(window.readValue(AppWindow::Width, value));
    EXPECT_EQ(window.getOnMClick(), u"Close");
    EXPECT_EQ(window.getUpdateHour(), 0);
    EXPECT_FALSE(main.columns().stored);

    // Identity keys of the program and of the window are written at every start.
    EXPECT_EQ(start.store().getString(u"SoftwareType", u"", u"").view(), u"Freeware");
    EXPECT_EQ(start.store().getString(u"SoftwareID", u"", u"").view(), u"Fetchwick");
    EXPECT_EQ(start.store().getString(u"MainWindow\\SoftwareType", u"", u"").view(), u"Freeware");
    EXPECT_EQ(start.store().getString(u"MainWindow\\Version", u"", u"").view(), start.app->versionText());

    // The pictures are compiled in: the icon and the two 700 x 230 banners.
    EXPECT_GT(start.app->iconData().size(), 100u);
    EXPECT_GT(start.app->bannerData(0).size(), 1000u);
    EXPECT_GT(start.app->bannerData(1).size(), 1000u);
    struct Picture {
        std::span<const uint8_t> data;
        int width, height;
    };
    for (const Picture& p : { Picture { start.app->iconData(), 128, 128 }, Picture { start.app->bannerData(0), 700, 230 },
             Picture { start.app->bannerData(1), 700, 230 } }) {
        QImage image;
        ASSERT_TRUE(image.loadFromData(p.data.data(), int(p.data.size())));
        EXPECT_EQ(image.width(), p.width);
        EXPECT_EQ(image.height(), p.height);
    }

    // No folder is made by a start.
    EXPECT_EQ(main.saveFolder(), std::u16string(u"") + SaveFolder::videosFolder() + u"/Downloads");
    struct stat info {};
    EXPECT_NE(::stat(utf8(main.saveFolder()).c_str(), &info), 0);
}

TEST_F(Settings, ValuesWrittenByAnotherProcessAreRead)
{
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Start start(registry);
        MainSettings main(*start.window);
        start.window->setBounds(30, 40, 700, 500);
        start.window->setKeepOnTop(false);
        start.window->setOnMClick(u"Iconize");
        main.setMp3Only(true);
        main.setRequireLogin(true);
        main.setShowDetails(true);
        main.setTab(1);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    Start start(registry);
    MainSettings main(*start.window);
    int32_t x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(start.window->readValue(AppWindow::X, x));
    ASSERT_TRUE(start.window->readValue(AppWindow::Y, y));
    ASSERT_TRUE(start.window->readValue(AppWindow::Width, width));
    ASSERT_TRUE(start.window->readValue(AppWindow::Height, height));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(width, 700);
    EXPECT_EQ(height, 500);
    EXPECT_FALSE(start.window->getKeepOnTop());
    EXPECT_TRUE(start.window->isOnMClickIconize());
    EXPECT_TRUE(main.mp3Only());
    EXPECT_TRUE(main.requireLogin());
    EXPECT_TRUE(main.showDetails());
    EXPECT_EQ(main.tab(2), 1);
    EXPECT_EQ(main.tab(1), 0) << "a page that does not exist selects the first";
}

TEST_F(Settings, MiddleClickActionReadsOneOfThree)
{
    struct Case {
        std::u16string stored;
        std::u16string read;
    };
    const Case cases[] = {
        { u"iconize", u"Iconize" },
        { u"ICONIZE", u"Iconize" },
        { u"close", u"Close" },
        { u"DoNothing", u"DoNothing" },
        { u"foo", u"DoNothing" },
        { u"", u"DoNothing" },
    };
    Start start(registry);
    for (const Case& c : cases) {
        start.window->setOnMClick(c.stored);
        EXPECT_EQ(start.window->getOnMClick(), c.read) << utf8(c.stored);
        EXPECT_EQ(start.window->getMiddleClickAction(), utf8(c.read));
    }
}

TEST_F(Settings, SizesAndPositionsOutsideTheScreensAreNotTaken)
{
    struct Case {
        int32_t width, height, x, y;
        int32_t readWidth, readHeight, readX, readY;
    };
    const Case cases[] = {
        { 700, 500, 100, 100, 700, 500, 100, 100 },
        { 9, 500, 0, 0, 550, 500, 0, 0 },
        { 10, 10, 0, 0, 10, 10, 0, 0 },
        { 1921, 1081, 0, 0, 550, 450, 0, 0 },
        { 1920, 1080, -5000, 99999, 1920, 1080, 0, 1030 },
        { -1, 0, 0, 0, 550, 450, 0, 0 },
    };
    Start start(registry);
    for (const Case& c : cases) {
        start.window->setBounds(c.x, c.y, c.width, c.height);
        int32_t width = 0, height = 0, x = 0, y = 0;
        ASSERT_TRUE(start.window->readValue(AppWindow::Width, width));
        ASSERT_TRUE(start.window->readValue(AppWindow::Height, height));
        ASSERT_TRUE(start.window->readValue(AppWindow::X, x));
        ASSERT_TRUE(start.window->readValue(AppWindow::Y, y));
        EXPECT_EQ(width, c.readWidth) << c.width;
        EXPECT_EQ(height, c.readHeight) << c.height;
        EXPECT_EQ(x, c.readX) << c.x;
        EXPECT_EQ(y, c.readY) << c.y;
    }
    start.window->removeBounds();
    int32_t ignored = 0;
    EXPECT_FALSE(start.window->readValue(AppWindow::X, ignored));
    EXPECT_FALSE(start.window->readValue(AppWindow::Width, ignored));
}

TEST_F(Settings, ValuesOfTheWrongSizeReadAsDefaults)
{
    Start start(registry);
    // A text where a number belongs, and a number where a flag's four bytes belong.
    start.store().setString(u"MainWindow\\View", u"Width", u"800");
    start.store().setString(u"MainWindow\\View", u"KeepOnTop", u"0");
    const uint8_t twoBytes[] = { 1, 0 };
    start.store().setBytes(u"MainWindow\\Setting", u"Mp3Only", twoBytes, 2);
    start.store().setBytes(u"MainWindow\\View", u"Tab", twoBytes, 2);
    MainSettings main(*start.window);
    EXPECT_EQ(start.window->getWidth(), 550);
    EXPECT_TRUE(start.window->getKeepOnTop());
    EXPECT_FALSE(main.mp3Only());
    EXPECT_EQ(main.tab(2), 0);
}

TEST_F(Settings, SaveFolderChoices)
{
    Start start(registry);
    MainSettings main(*start.window);
    std::u16string fallback = main.defaultSaveFolder();

    std::string file = home / "a-file";
    std::ofstream(file) << "keep me";
    std::string existing = home / "Existing";
    ASSERT_EQ(::mkdir(existing.c_str(), 0700), 0);
    std::string missing = home / "deep/missing/folder";

    struct Case {
        std::string stored;
        std::string used; // empty: the default folder
        bool made;
    };
    const Case cases[] = {
        { file, "", false },
        { "relative/folder", "", false },
        { "", "", false },
        { existing, existing, false },
        { missing, missing, true },
    };
    for (const Case& c : cases) {
        Pooled<s::str::strbuffer::StrBuffer> stored;
        stored->assignUtf8(c.stored);
        main.setSaveFolder(stored->view());
        std::u16string used = main.saveFolder();
        if (c.used.empty())
            EXPECT_EQ(used, fallback) << c.stored;
        else
            EXPECT_EQ(utf8(used), c.used) << c.stored;
        struct stat info {};
        if (c.made) {
            EXPECT_TRUE(::stat(c.used.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) << c.stored;
        }
    }
    std::ifstream kept(file);
    std::string content;
    std::getline(kept, content);
    EXPECT_EQ(content, "keep me") << "the file named as folder is left alone";
}

TEST_F(Settings, VideosFolderFromTheUserDirs)
{
    struct Case {
        std::string line;
        std::string videos; // relative to HOME; "" for HOME itself
    };
    const Case cases[] = {
        { "XDG_VIDEOS_DIR=\"$HOME/Videos\"", "/Videos" },
        { "XDG_VIDEOS_DIR=\"$HOME/My \\\"Films\\\"\"", "/My \"Films\"" },
        { "XDG_VIDEOS_DIR=\"$HOME/\"", "" },
        { "XDG_VIDEOS_DIR=\"$HOME\"", "" },
        { "XDG_VIDEOS_DIR=\"relative\"", "" },
        { "# XDG_VIDEOS_DIR=\"$HOME/Commented\"", "" },
        { "XDG_MUSIC_DIR=\"$HOME/Music\"", "" },
        { "XDG_VIDEOS_DIR=\"/srv/films\"", "/srv/films" },
    };
    std::string config = home / "config";
    ::mkdir(config.c_str(), 0700);
    for (const Case& c : cases) {
        std::ofstream(config + "/user-dirs.dirs") << "# written by a test\n" << c.line << "\n";
        std::string expected = c.videos.rfind("/srv", 0) == 0 ? c.videos : home.path() + c.videos;
        EXPECT_EQ(utf8(SaveFolder::videosFolder()), expected) << c.line;
    }
    std::ofstream(config + "/user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n";
    EXPECT_EQ(utf8(SaveFolder::defaultFolder(u"Downloads")), home.path() + "/Videos/Downloads");
}

TEST_F(Settings, LanguageAtStart)
{
    struct Case {
        std::u16string stored;
        std::u16string selected;
        std::u16string storedAfter;
    };
    const Case cases[] = {
        { u"German", u"German", u"German" },
        { u"german", u"German", u"german" },
        { u"Klingon", u"English", u"English" },
    };
    for (const Case& c : cases) {
        TempFolder folder;
        {
            Start first(folder);
            first.app->storeLanguage(c.stored);
        }
        Start start(folder);
        EXPECT_EQ(start.app->localizer()->currentLanguage()->englishName(), c.selected) << utf8(c.stored);
        EXPECT_EQ(start.app->languageSetting(), c.storedAfter) << utf8(c.stored);
    }
}

TEST_F(Settings, StartupFlagAndSilentMark)
{
    struct Case {
        std::vector<std::string> arguments;
        bool startup;
    };
    const Case cases[] = {
        { {}, false },
        { { "-startup" }, true },
        { { "-STARTUP" }, true },
        { { "/startup" }, false },
        { { "x", "-StartUp" }, true },
        { { "-startup2" }, false },
    };
    for (const Case& c : cases) {
        Start start(registry, c.arguments);
        EXPECT_EQ(start.app->hasStartupFlag(), c.startup) << (c.arguments.empty() ? "" : c.arguments.back());
    }

    Start start(registry);
    EXPECT_FALSE(start.app->takeSilentMark());
    auto key = s::reg::os::RegDir::make(s::reg::os::RootKey::CurrentUser, u"Software\\Pellix\\Fetchwick");
    key->setHive(&start.hive);
    const char16_t one[] = u"1";
    ASSERT_TRUE(key->setValue(u"Silent", s::reg::os::ValueType::String, one, sizeof one));
    EXPECT_TRUE(start.app->takeSilentMark());
    EXPECT_FALSE(key->hasValue(u"Silent"));
    EXPECT_FALSE(start.app->takeSilentMark()) << "the mark is used once";
}

TEST_F(Settings, ColumnLayoutRoundTripAndDamage)
{
    const std::vector<int32_t> builtIn = { 200, 40, 70, 60, 80, 70, 60, 300 };
    Start start(registry);
    MainSettings main(*start.window);

    ColumnSettings written;
    written.order = { 7, 0, 1, 2, 3, 4, 5, 6 };
    written.widths = { 250, 0, 5, 60, 80, 70, 60, 300 };
    written.ascending = { true, false, true, true, true, true, true, false };
    written.sortPriority = { 1, 0, 2, 3, 4, 5, 6, 7 };
    main.setColumns(written);

    ColumnSettings read = main.columns();
    ASSERT_TRUE(read.stored);
    EXPECT_EQ(read.orderFor(8), written.order);
    EXPECT_EQ(read.widthsFor(builtIn), (std::vector<int32_t> { 250, 40, 10, 60, 80, 70, 60, 300 }));
    EXPECT_TRUE(read.hasSortFor(8));
    EXPECT_EQ(read.ascending, written.ascending);

    struct Damage {
        const char* what;
        std::vector<int32_t> order;
        bool orderTaken;
    };
    const Damage damages[] = {
        { "a column twice", { 0, 0, 1, 2, 3, 4, 5, 6 }, false },
        { "a column out of range", { 8, 0, 1, 2, 3, 4, 5, 6 }, false },
        { "a negative column", { -1, 0, 1, 2, 3, 4, 5, 6 }, false },
        { "five entries only", { 0, 1, 2, 3, 4 }, false },
        { "the identity", { 0, 1, 2, 3, 4, 5, 6, 7 }, true },
    };
    for (const Damage& d : damages) {
        ColumnSettings damaged;
        damaged.order = d.order;
        damaged.widths.assign(d.order.size(), 100);
        damaged.ascending.assign(d.order.size(), true);
        damaged.sortPriority = d.order;
        start.store().deleteKey(u"MainWindow\\ColumnOrder1");
        main.setColumns(damaged);
        ColumnSettings back = main.columns();
        EXPECT_EQ(!back.orderFor(8).empty(), d.orderTaken) << d.what;
        EXPECT_EQ(back.hasSortFor(8), d.orderTaken) << d.what;
        if (d.order.size() < 8) {
            EXPECT_EQ(back.widthsFor(builtIn), builtIn) << "fewer than eight widths: the built-in ones";
        }
    }

    // A damaged length neither reads millions of entries nor goes negative.
    start.store().setS32(u"MainWindow\\ColumnOrder1", u"length", 2000000000);
    EXPECT_EQ(main.columns().order.size(), size_t(ColumnSettings::maxEntries));
    start.store().setS32(u"MainWindow\\ColumnOrder1", u"length", -3);
    EXPECT_FALSE(main.columns().stored);
}

TEST_F(Settings, NumbersUnderADecimalCommaLocale)
{
    fetchwick::test::DecimalCommaLocale german;
    if (!german.active())
        GTEST_SKIP() << "the German locale could not be built here";
    Start start(registry);
    MainSettings main(*start.window);
    start.window->setBounds(-20, 30, 640, 480);
    start.window->setUpdateHour(491234);
    ColumnSettings columns;
    columns.order = { 1, 0 };
    columns.widths = { 120, 80 };
    columns.ascending = { false, true };
    columns.sortPriority = { 0, 1 };
    main.setColumns(columns);

    Start again(registry);
    MainSettings mainAgain(*again.window);
    EXPECT_EQ(again.window->getX(), -20);
    EXPECT_EQ(again.window->getWidth(), 640);
    EXPECT_EQ(again.window->getUpdateHour(), 491234);
    EXPECT_EQ(mainAgain.columns().orderFor(2), columns.order);
    EXPECT_EQ(mainAgain.columns().widths, columns.widths);
}
