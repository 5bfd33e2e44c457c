// Components painted by drawers, with real events on the offscreen platform: buttons, scroll bars,
// the status bar's grip and the counter graph; drawers set by the program and the ownership rule.

#include "GuiTest.h"

#include "gui/drawer/button/Thin.h"
#include "gui/drawer/counter/Basic.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/statusbar/Basic.h"
#include "gui/drawer/statusbar/BasicResizer.h"
#include "gui/os/Button.h"
#include "gui/os/Counter.h"
#include "gui/os/ScrollBar.h"
#include "gui/os/StatusBar.h"

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <thread>

using namespace guitest;
using s::gui::os::Button;
using s::gui::os::Counter;
using s::gui::os::ScrollBar;
using s::gui::os::StatusBar;
namespace drawer = s::gui::drawer;

namespace {

QWidget* widgetOf(const IComponent* c)
{
    return static_cast<QWidget*>(c->getNativeHandle());
}

// What the component's widget shows, rendered at device pixel ratio 1.
QImage shot(const IComponent* c)
{
    return onUiThread([&] {
        QWidget* w = widgetOf(c);
        QImage image(w->size(), QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        image.fill(QColor(255, 0, 255));
        w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    });
}

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

int countColour(const QImage& image, QRect r, QRgb colour)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            n += rgbAt(image, x, y) == colour ? 1 : 0;
    }
    return n;
}

template<class T>
uint32_t freeOf()
{
    return s::thread::poolOf<T>().freeCount();
}

}

TEST_F(WindowTest, ButtonPaintedByItsDrawerStillClicksAndToggles)
{
    Button* button = Button::get();
    button->setText(u"Go");
    auto* look = drawer::button::Thin::get();
    look->setCornerKind(0);
    button->setDrawer(look, true);
    button->setAutoSize(false);
    button->setNaturalSize(60, 24);
    Recorder recorder;
    button->addClickListener(&recorder);
    button->addToggleListener(&recorder);
    window->add(button);
    window->show();

    QImage image = shot(button);
    // Raised border of (120, 120, 120): top 126, left 120, right 108, bottom 102.
    EXPECT_EQ(rgbAt(image, 30, 0), qRgb(126, 126, 126) & 0xFFFFFF);
    EXPECT_EQ(rgbAt(image, 0, 12), qRgb(120, 120, 120) & 0xFFFFFF);
    EXPECT_EQ(rgbAt(image, 59, 12), qRgb(108, 108, 108) & 0xFFFFFF);
    EXPECT_EQ(rgbAt(image, 30, 23), qRgb(102, 102, 102) & 0xFFFFFF);

    onUiThread([&] { QTest::mouseClick(widgetOf(button), Qt::LeftButton, {}, QPoint(30, 12)); });
    EXPECT_EQ(recorder.count(1), 1);
    button->setToggle(true);
    onUiThread([&] { QTest::mouseClick(widgetOf(button), Qt::LeftButton, {}, QPoint(30, 12)); });
    EXPECT_TRUE(button->isToggled());
    EXPECT_EQ(recorder.count(2), 1);
    // Checked: the inside is the checked fill.
    EXPECT_EQ(rgbAt(shot(button), 30, 5), qRgb(120, 120, 120) & 0xFFFFFF);
    // A button that cannot be untoggled stays checked and reports no toggle.
    button->setUntoggleAllowed(false);
    onUiThread([&] { QTest::mouseClick(widgetOf(button), Qt::LeftButton, {}, QPoint(30, 12)); });
    EXPECT_TRUE(button->isToggled());
    EXPECT_EQ(recorder.count(1), 3);
    EXPECT_EQ(recorder.count(2), 1);
    // Drawn inverted: the checked look goes.
    button->setDrawnInverted(true);
    EXPECT_NE(rgbAt(shot(button), 30, 5), qRgb(120, 120, 120) & 0xFFFFFF);
}

TEST_F(WindowTest, ButtonStatesReachTheDrawer)
{
    Button* button = Button::get();
    button->setText(u"#Stop");
    auto* look = drawer::button::Thin::get();
    look->setCornerKind(0);
    look->setContentShift(true);
    button->setDrawer(look, true);
    window->add(button);
    // Hot: style 0 top (138); pressed: style 2 top (102), content shifted.
    struct Case {
        int state;
        int top;
    };
    for (Case c : { Case { 0, 126 }, Case { 1, 138 }, Case { 2, 102 } }) {
        QImage image = onUiThread([&] {
            QImage img(30, 30, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter painter(&img);
            button->paintWith(painter, 30, 30, c.state);
            return img;
        });
        EXPECT_EQ(rgbAt(image, 15, 0), qRgb(c.top, c.top, c.top) & 0xFFFFFF) << c.state;
    }
    // A checked button that a click cannot uncheck draws the normal look while hot.
    button->setToggle(true);
    button->setToggled(true);
    button->setUntoggleAllowed(false);
    QImage hot = onUiThread([&] {
        QImage img(30, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        button->paintWith(painter, 30, 30, 1);
        return img;
    });
    EXPECT_EQ(rgbAt(hot, 15, 0), qRgb(126, 126, 126) & 0xFFFFFF);
}

TEST_F(WindowTest, ButtonAutoRepeatWithADrawer)
{
    Button* button = Button::get();
    button->setText(u"#Up");
    button->setDrawer(drawer::button::Thin::get(), true);
    button->setAutoRepeat(true);
    Recorder recorder;
    button->addRepeatListener(&recorder);
    window->add(button);
    window->show();
    onUiThread([&] { QTest::mousePress(widgetOf(button), Qt::LeftButton, {}, QPoint(5, 5)); });
    EXPECT_TRUE(eventually([&] { return recorder.count(3) >= 2; }));
    onUiThread([&] { QTest::mouseRelease(widgetOf(button), Qt::LeftButton, {}, QPoint(5, 5)); });
}

TEST_F(WindowTest, SettingADrawerFollowsTheOwnershipRuleAndCopiesStyles)
{
    Button* button = Button::get();
    window->add(button);
    auto* first = drawer::button::Thin::get();
    first->textDrawer().style(1).textColour = s::gui::draw::rgb(200, 0, 0);
    first->checkedTextDrawer().style(1).textColour = s::gui::draw::rgb(0, 200, 0);
    first->textDrawer().style(2).textColour = s::gui::draw::rgb(0, 0, 200);
    button->setDrawer(first, true);
    EXPECT_EQ(button->normalFont().textColour, s::gui::draw::rgb(200, 0, 0));
    EXPECT_EQ(button->checkedFont().textColour, s::gui::draw::rgb(0, 200, 0));
    EXPECT_EQ(button->disabledFont().textColour, s::gui::draw::rgb(0, 0, 200));
    // Copies: changing the drawer later does not reach the button's fonts.
    first->textDrawer().style(1).textColour = s::gui::draw::rgb(1, 1, 1);
    EXPECT_EQ(button->normalFont().textColour, s::gui::draw::rgb(200, 0, 0));

    // Replacing an owned drawer releases it; an unowned one is left to its owner.
    s::thread::Pooled<drawer::button::Thin> shared;
    const uint32_t before = freeOf<drawer::button::Thin>();
    button->setDrawer(shared.get(), false);
    EXPECT_EQ(freeOf<drawer::button::Thin>(), before + 1);
    EXPECT_EQ(button->getDrawer(), shared.get());
    EXPECT_FALSE(button->ownsDrawer());
    button->setDrawer(nullptr, false);
    EXPECT_EQ(freeOf<drawer::button::Thin>(), before + 1);
    EXPECT_EQ(button->getDrawer(), nullptr);

    auto* owned = drawer::button::Thin::get();
    button->setDrawer(owned, true);
    const uint32_t held = freeOf<drawer::button::Thin>();
    window->remove(button);
    EXPECT_EQ(freeOf<drawer::button::Thin>(), held + 1);
}

TEST_F(WindowTest, AResizerButtonWithoutDrawerShowsTheGripAndDoesNotClick)
{
    Button* grip = Button::get();
    grip->setText(u"#Resizer");
    grip->setAutoSize(false);
    grip->setNaturalSize(12, 12);
    Recorder recorder;
    grip->addClickListener(&recorder);
    window->add(grip);
    window->show();
    QImage image = shot(grip);
    const QRgb dark = qRgb(184, 181, 161) & 0xFFFFFF;
    EXPECT_EQ(countColour(image, QRect(0, 0, 12, 12), dark), 24);
    EXPECT_EQ(rgbAt(image, 8, 0), dark);
    EXPECT_EQ(rgbAt(image, 0, 8), dark);
    onUiThread([&] { QTest::mouseClick(widgetOf(grip), Qt::LeftButton, {}, QPoint(10, 10)); });
    EXPECT_EQ(recorder.count(1), 0);
}

TEST_F(WindowTest, ScrollBarArrowsTrackAndThumbWithRealPresses)
{
    ScrollBar* bar = ScrollBar::get();
    Recorder recorder;
    bar->addScrollListener(&recorder);
    bar->setRange(0, 100, 10);
    bar->setLineStep(2);
    window->add(bar);
    window->show();
    ASSERT_EQ(bar->getWidth(), 15);
    const int h = bar->getHeight();
    ASSERT_GT(h, 100);
    QWidget* w = widgetOf(bar);

    // The second arrow steps down by the line step.
    onUiThread([&] {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, h - 5));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, h - 5));
    });
    EXPECT_EQ(bar->getValue(), 2);
    EXPECT_EQ(recorder.count(1), 1);
    // The track after the thumb pages.
    onUiThread([&] {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, h - 30));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, h - 30));
    });
    EXPECT_EQ(bar->getValue(), 12);
    // The first arrow at the top goes back, and stops at the minimum.
    for (int i = 0; i < 10; ++i) {
        onUiThread([&] {
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, 5));
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, 5));
        });
    }
    EXPECT_EQ(bar->getValue(), 0);
    const int moves = recorder.count(1);
    EXPECT_EQ(moves, 2 + 6);

    // Dragging the thumb to the end of the track gives the maximum.
    onUiThread([&] {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(7, h + 50), w->mapToGlobal(QPointF(7, h + 50)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, h + 50));
    });
    EXPECT_EQ(bar->getValue(), 100);
    EXPECT_EQ(recorder.count(1), moves + 1);

    // Held, an arrow repeats.
    onUiThread([&] { QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, 5)); });
    EXPECT_TRUE(eventually([&] { return bar->getValue() <= 90; }));
    onUiThread([&] { QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, 5)); });
}

TEST_F(WindowTest, AScrollBarShorterThanItsArrowsHasNoThumbToDrag)
{
    ScrollBar* bar = ScrollBar::get();
    bar->setRange(0, 100, 10);
    bar->setValue(30);
    Box* box = fixedBox(15, 20);
    box->add(bar);
    window->show();
    ASSERT_LE(bar->getHeight(), 30);
    bar->setSize(15, 20);
    QWidget* w = widgetOf(bar);
    onUiThread([&] {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(7, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(7, 40), w->mapToGlobal(QPointF(7, 40)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(7, 40));
    });
    // The press hit an arrow (a step) but nothing followed the drag.
    EXPECT_LE(std::abs(bar->getValue() - 30), 1);
}

TEST_F(WindowTest, ScrollBarTakesADrawerOfItsOwnOrTheProgramsOne)
{
    ScrollBar* bar = ScrollBar::get();
    window->add(bar);
    ASSERT_NE(bar->getDrawer(), nullptr);
    auto* wide = drawer::scrollbar::Thin::get();
    wide->setWidth(21);
    wide->setBackgroundColour(0, 0, 255);
    bar->setDrawer(wide, true);
    EXPECT_EQ(bar->getMinWidth(), 21);
    window->show();
    EXPECT_TRUE(eventually([&] { return bar->getWidth() == 21; }));
    QImage image = shot(bar);
    EXPECT_EQ(rgbAt(image, 10, image.height() / 2 + 20), qRgb(0, 0, 255) & 0xFFFFFF);
}

TEST_F(WindowTest, StatusBarPaintsItsGripOnlyWhenTheWindowResizes)
{
    StatusBar* bar = StatusBar::get();
    Label* text = Label::get();
    text->setText(u"Ready");
    bar->add(text);
    window->setStatusBar(bar);
    window->setResizable(true);
    window->show();
    ASSERT_TRUE(eventually([&] { return bar->getWidth() > 100 && bar->getHeight() >= 12; }))
        << bar->getWidth() << " x " << bar->getHeight();
    const QRgb dark = qRgb(184, 181, 161) & 0xFFFFFF;
    QImage image = shot(bar);
    const int w = image.width(), h = image.height();
    EXPECT_EQ(countColour(image, QRect(w - 12, h - 12, 12, 12), dark), 24);
    window->setResizable(false);
    bar->repaint();
    image = shot(bar);
    EXPECT_EQ(countColour(image, QRect(w - 12, h - 12, 12, 12), dark), 0);
    EXPECT_FALSE(bar->showsGrip());
}

TEST_F(WindowTest, CounterGraphPaintsColumnsAndRepaintsOnCompletedPoints)
{
    Counter* graph = Counter::get();
    graph->setFixedWidth(100, false);
    graph->setFixedHeight(40, false);
    graph->setBackgroundColour(255, 255, 255);
    auto* look = drawer::counter::Basic::get();
    look->setFirstColour(0, 0, 255);
    graph->setCounterDrawer(look, true);
    s::gui::counter::CounterData* series = graph->getMainSeries();
    series->setScale(0, 100);
    series->setPointCount(50);
    window->add(graph);
    window->show();
    ASSERT_EQ(graph->getWidth(), 100);

    std::thread adder([&] {
        for (int i = 0; i < 30; ++i)
            series->addSample(50);
    });
    adder.join();
    EXPECT_TRUE(eventually([&] { return graph->repaintsFromPoints() >= 1; }));
    QImage image = shot(graph);
    const QRgb blue = qRgb(0, 0, 255) & 0xFFFFFF;
    // 29 completed points of half the height, newest at the right.
    EXPECT_EQ(countColour(image, QRect(0, 39, 100, 1), blue), 29);
    EXPECT_EQ(countColour(image, QRect(99, 0, 1, 40), blue), 20);
    EXPECT_EQ(rgbAt(image, 50, 5), qRgb(255, 255, 255) & 0xFFFFFF);
}

TEST_F(WindowTest, ARepaintPostedForAGoneGraphReachesNobody)
{
    Counter* graph = Counter::get();
    graph->getMainSeries()->setPointCount(10);
    window->add(graph);
    window->show();
    // On the GUI thread: complete a point (the repaint is posted, not run), then take the graph
    // apart before the posted repaint runs.
    onUiThread([&] {
        graph->getMainSeries()->addSample(1);
        graph->getMainSeries()->addSample(1);
        window->remove(graph);
    });
    Counter* next = Counter::get();
    window->add(next);
    onUiThread([] { s::gui::os::UIThread::processEvents(); });
    EXPECT_EQ(next->repaintsFromPoints(), 0u);
    window->remove(next);
}

TEST_F(WindowTest, AddingSamplesNeverWaitsForTheGuiThread)
{
    Counter* graph = Counter::get();
    graph->getMainSeries()->setPointCount(20);
    window->add(graph);
    window->show();
    std::atomic<bool> done { false };
    // The GUI thread is busy for a while; samples from another thread go on meanwhile.
    std::thread adder;
    onUiThread([&] {
        adder = std::thread([&] {
            for (int i = 0; i < 2000; ++i)
                graph->getMainSeries()->addSample(i);
            done = true;
        });
        for (int i = 0; i < 500 && !done.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    EXPECT_TRUE(done.load());
    adder.join();
}
