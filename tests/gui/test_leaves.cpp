// The leaves not covered elsewhere: pictures, scroll bars, text areas, spacers by percentage.

#include "GuiTest.h"

#include "gui/os/Image.h"
#include "gui/os/ScrollBar.h"
#include "gui/os/Spacer.h"
#include "gui/os/TextEdit.h"

#include <QBuffer>
#include <QImage>
#include <QPlainTextEdit>
#include <QTest>

#include <vector>

using namespace guitest;
using s::gui::os::Image;
using s::gui::os::ScrollBar;
using s::gui::os::TextEdit;

namespace {

std::vector<uint8_t> pngOf(int w, int h)
{
    return onUiThread([&] {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    });
}

}

TEST_F(WindowTest, ImagesTakeTheSizeOfTheirPictureAndRefuseOtherData)
{
    Image* image = Image::get();
    window->add(image);
    std::vector<uint8_t> png = pngOf(23, 17);
    EXPECT_TRUE(image->loadData(png));
    EXPECT_EQ(image->getWidth(), 23);
    EXPECT_EQ(image->getHeight(), 17);
    EXPECT_EQ(image->getMinWidth(), 23);
    EXPECT_EQ(geometryOf(image).size(), QSize(23, 17));
    const uint8_t junk[] = { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c' };
    EXPECT_FALSE(image->loadData(junk));
    EXPECT_TRUE(image->isEmpty());
    EXPECT_EQ(image->getWidth(), 0);
    EXPECT_FALSE(image->loadFile(u"/nonexistent/picture.png"));
}

TEST_F(WindowTest, ScrollBarsReportOnlyTheUsersMoves)
{
    ScrollBar* bar = ScrollBar::get();
    Recorder recorder;
    bar->addScrollListener(&recorder);
    bar->setRange(0, 100, 10);
    window->add(bar);
    bar->setValue(40);
    EXPECT_EQ(recorder.count(ScrollBar::Scrolled), 0) << "the program's own move is no event";
    window->show();
    bar->setValue(500);
    EXPECT_EQ(bar->getValue(), 100) << "kept inside the range";
    // A press on the track before the thumb pages up, as a user's would.
    onUiThread([&] {
        auto* widget = static_cast<QWidget*>(bar->getNativeHandle());
        QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(7, 20));
        QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(7, 20));
    });
    EXPECT_EQ(recorder.count(ScrollBar::Scrolled), 1);
    EXPECT_EQ(bar->getValue(), 90);
    // A vertical bar is as thin as its drawer draws it and as long as its box allows.
    EXPECT_EQ(bar->getMinWidth(), bar->getMaxWidth());
    EXPECT_GT(bar->getMaxHeight(), 1000);
}

TEST_F(WindowTest, TextAreasReportChangesAndAppend)
{
    TextEdit* edit = TextEdit::get();
    Recorder recorder;
    edit->addChangeListener(&recorder);
    window->add(edit);
    edit->setText(u"first line\n");
    edit->appendText(u"second line");
    EXPECT_EQ(edit->getText(), u"first line\nsecond line");
    EXPECT_EQ(onUiThread([&] { return static_cast<QPlainTextEdit*>(edit->getNativeHandle())->toPlainText(); }),
        QStringLiteral("first line\nsecond line"));
    EXPECT_EQ(recorder.count(TextEdit::Changed), 2);
    edit->setEditable(false);
    EXPECT_TRUE(onUiThread([&] { return static_cast<QPlainTextEdit*>(edit->getNativeHandle())->isReadOnly(); }));
    // It grows with its container.
    Box* box = fixedBox(300, 200);
    TextEdit* filling = TextEdit::get();
    box->add(filling);
    EXPECT_EQ(filling->getWidth(), 300);
    EXPECT_EQ(filling->getHeight(), 200);
}

TEST_F(WindowTest, SpacerPercentagesUseIntegerDivision)
{
    Box* row = fixedBox(301, 50);
    row->layoutHorizontal();
    auto* spacer = s::gui::os::Spacer::get();
    spacer->setWidthPercent(50);
    row->add(spacer);
    EXPECT_EQ(spacer->getMaxWidth(), 150) << "unlike a box, a spacer truncates";
}

TEST_F(WindowTest, WindowIconComesFromPictureData)
{
    EXPECT_FALSE(window->hasIcon());
    const uint8_t junk[] = { 1, 2, 3 };
    EXPECT_FALSE(window->setIconData(junk));
    EXPECT_FALSE(window->hasIcon());
    std::vector<uint8_t> png = pngOf(16, 16);
    EXPECT_TRUE(window->setIconData(png));
    EXPECT_TRUE(window->hasIcon());
    // The tray icon shows the same picture.
    window->setTrayIcon(true);
    EXPECT_TRUE(window->isTrayIconShown());
}
