// A skinned window: skins reaching the components of the window and following a change, the frame
// the window drawer paints, and the skin a window chooses from its settings.

#include "GuiTest.h"

#include "gui/IWindowSettings.h"
#include "gui/drawer/Skinner.h"
#include "gui/drawer/button/Thin.h"
#include "gui/os/Button.h"
#include "gui/os/Counter.h"
#include "gui/os/ScrollBar.h"
#include "gui/os/StatusBar.h"
#include "gui/os/WindowSkin.h"

#include <QImage>
#include <QWidget>

using namespace guitest;
using s::gui::os::Button;
using s::gui::os::Counter;
using s::gui::os::ScrollBar;
using s::gui::os::StatusBar;
using s::gui::os::WindowSkin;
namespace drawer = s::gui::drawer;

namespace {

struct Settings : s::gui::IWindowSettings {
    std::u16string skin;
    bool readValue(Value, int32_t&) override { return false; }
    void writeValue(Value, int32_t) override { }
    std::u16string getSkinName() override { return skin; }
    void setSkinName(std::u16string_view name) override { skin = name; }
};

class SkinnedWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        skinner->setFamily(u"ThinWindow");
        skinner->loadFamily();
    }

    drawer::skin::SkinBase* skin(std::u16string_view name)
    {
        int32_t index = -1;
        EXPECT_TRUE(skinner->findSkin(name, index));
        return skinner->getSkin(static_cast<uint32_t>(index));
    }

    s::thread::Pooled<drawer::Skinner> skinner;
};

QRgb pixel(const IComponent* c, int x, int y)
{
    return onUiThread([&] {
        auto* w = static_cast<QWidget*>(c->getNativeHandle());
        QImage image(w->size(), QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image.pixel(x, y) & 0xFFFFFF;
    });
}

}

TEST_F(SkinnedWindowTest, ComponentsTakeTheSkinsDrawersAndFollowAChange)
{
    window->setSkinner(skinner.get());
    window->chooseSkin(u"Classic LG");
    EXPECT_EQ(skinner->getCurrentSkin(), skin(u"Classic LG"));
    EXPECT_EQ(window->getWindowDrawer(), skin(u"Classic LG")->getWindow());

    Button* button = Button::get();
    button->setText(u"OK");
    window->add(button);
    ScrollBar* bar = ScrollBar::get();
    window->add(bar);
    Counter* graph = Counter::get();
    window->add(graph);
    StatusBar* status = StatusBar::get();
    window->setStatusBar(status);
    EXPECT_EQ(button->getDrawer(), skin(u"Classic LG")->getButton());
    EXPECT_FALSE(button->ownsDrawer());
    EXPECT_EQ(bar->getDrawer(), skin(u"Classic LG")->getScrollBar());
    EXPECT_EQ(graph->getCounterDrawer(), skin(u"Classic LG")->getCounter());
    EXPECT_EQ(status->getDrawer(), skin(u"Classic LG")->getStatusBar());

    // Window and the four components listen.
    EXPECT_EQ(skinner->getListenerCount(), 5u);
    int32_t pink = -1;
    ASSERT_TRUE(skinner->findSkin(u"Pink", pink));
    skinner->selectSkin(pink);
    EXPECT_EQ(window->getWindowDrawer(), skin(u"Pink")->getWindow());
    EXPECT_EQ(button->getDrawer(), skin(u"Pink")->getButton());
    EXPECT_EQ(bar->getDrawer(), skin(u"Pink")->getScrollBar());
    EXPECT_EQ(graph->getCounterDrawer(), skin(u"Pink")->getCounter());
    EXPECT_EQ(status->getDrawer(), skin(u"Pink")->getStatusBar());

    // The button paints with the new drawer: Pink's border FF5DA2 shaded 1.05 at the top.
    window->show();
    const QRgb top = pixel(button, button->getWidth() / 2, 0);
    EXPECT_EQ(qRed(top), 255);
    EXPECT_EQ(qGreen(top), static_cast<int>(0x5D * 1.05));

    // A removed component hears nothing more.
    window->remove(button);
    EXPECT_EQ(skinner->getListenerCount(), 4u);
    skinner->selectSkin(0);
    EXPECT_EQ(bar->getDrawer(), skin(u"White")->getScrollBar());
}

TEST_F(SkinnedWindowTest, ReselectingTheCurrentSkinNotifiesNobodyAndAProgramsDrawerStays)
{
    window->setSkinner(skinner.get());
    window->chooseSkin(u"Classic LG");
    Recorder recorder;
    skinner->addSkinListener(&recorder);
    Button* own = Button::get();
    s::thread::Pooled<drawer::button::Thin> mine;
    own->setDrawer(mine.get(), false);
    window->add(own);
    EXPECT_EQ(own->getDrawer(), mine.get());
    skinner->selectSkin(skinner->getCurrentIndex());
    EXPECT_EQ(recorder.size(), 0u);
    skinner->selectSkin(0);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(own->getDrawer(), mine.get());
    skinner->removeSkinListener(&recorder);
    window->remove(own);
}

TEST_F(SkinnedWindowTest, ComponentsMadeBeforeTheSkinnerFollowIt)
{
    Button* button = Button::get();
    window->add(button);
    EXPECT_EQ(button->getDrawer(), nullptr);
    window->setSkinner(skinner.get());
    window->chooseSkin(u"Black");
    EXPECT_EQ(button->getDrawer(), skin(u"Black")->getButton());
}

TEST_F(SkinnedWindowTest, TheSkinChoiceReadsAndWritesTheSettings)
{
    Settings settings;
    settings.skin = u"Pink";
    window->setSkinner(skinner.get());
    window->chooseSkin(u"Classic LG", &settings);
    EXPECT_EQ(skinner->getCurrentSkin()->getName(), u"Pink");

    Settings unknown;
    unknown.skin = u"Purple";
    s::thread::Pooled<drawer::Skinner> other;
    other->setFamily(u"ThinWindow");
    other->loadFamily();
    s::thread::Pooled<Window> second = Window::make();
    second->setSkinner(other.get());
    second->chooseSkin(u"Classic LG", &unknown);
    EXPECT_EQ(other->getCurrentSkin()->getName(), u"Classic LG");
    EXPECT_EQ(unknown.skin, u"Classic LG");
    other->selectSkin(2);
    EXPECT_EQ(unknown.skin, u"Black");

    // A name not in the family at all: the first skin.
    s::thread::Pooled<drawer::Skinner> third;
    third->setFamily(u"ThinWindow");
    third->loadFamily();
    s::thread::Pooled<Window> w3 = Window::make();
    w3->setSkinner(third.get());
    w3->chooseSkin(u"Nothing");
    EXPECT_EQ(third->getCurrentSkin()->getName(), u"White");
    second->setSkinner(nullptr);
    w3->setSkinner(nullptr);
}

TEST_F(SkinnedWindowTest, TheFramePaintedByTheWindowDrawer)
{
    window->setSkinner(skinner.get());
    window->chooseSkin(u"Classic LG");
    window->setSize(300, 200);
    window->show();
    ASSERT_TRUE(eventually([&] { return window->widget()->width() == 300; }));
    EXPECT_TRUE(onUiThread([&] { return window->widget()->windowFlags().testFlag(Qt::FramelessWindowHint); }));
    EXPECT_FALSE(onUiThread([&] { return window->widget()->mask().isEmpty(); }));
    // Frame 111111 around background 747474.
    EXPECT_EQ(pixel(window.get(), 150, 0), qRgb(0x11, 0x11, 0x11) & 0xFFFFFF);
    EXPECT_EQ(pixel(window.get(), 0, 100), qRgb(0x11, 0x11, 0x11) & 0xFFFFFF);
    EXPECT_EQ(pixel(window.get(), 150, 100), qRgb(0x74, 0x74, 0x74) & 0xFFFFFF);

    // Back to the platform frame without a skinner.
    window->setSkinner(nullptr);
    EXPECT_FALSE(onUiThread([&] { return window->widget()->windowFlags().testFlag(Qt::FramelessWindowHint); }));
}

TEST(WindowSkinEdges, ResizeBorderOnlyWhenResizable)
{
    s::thread::Pooled<Window> w = Window::make();
    s::thread::Pooled<drawer::Skinner> skinner;
    skinner->setFamily(u"ThinWindow");
    skinner->loadFamily();
    w->setSkinner(skinner.get());
    w->chooseSkin(u"White");
    const WindowSkin& skin = w->skin();
    struct Case {
        int x, y;
        Qt::Edges edges;
    };
    const Case cases[] = {
        { 150, 100, {} },
        { 2, 100, Qt::LeftEdge },
        { 297, 100, Qt::RightEdge },
        { 150, 1, Qt::TopEdge },
        { 150, 198, Qt::BottomEdge },
        { 2, 2, Qt::LeftEdge | Qt::TopEdge },
        { 20, 1, Qt::LeftEdge | Qt::TopEdge },
        { 1, 20, Qt::LeftEdge | Qt::TopEdge },
        { 31, 1, Qt::TopEdge },
        { 280, 199, Qt::RightEdge | Qt::BottomEdge },
        { 299, 175, Qt::RightEdge | Qt::BottomEdge },
        { 5, 100, {} },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(skin.edgesAt(c.x, c.y, 300, 200, true), c.edges) << c.x << "," << c.y;
        EXPECT_EQ(skin.edgesAt(c.x, c.y, 300, 200, false), Qt::Edges {}) << c.x << "," << c.y;
    }
    EXPECT_EQ(WindowSkin::cursorFor(Qt::LeftEdge | Qt::TopEdge), Qt::SizeFDiagCursor);
    EXPECT_EQ(WindowSkin::cursorFor(Qt::RightEdge | Qt::TopEdge), Qt::SizeBDiagCursor);
    EXPECT_EQ(WindowSkin::cursorFor(Qt::BottomEdge), Qt::SizeVerCursor);
    w->setSkinner(nullptr);
}
