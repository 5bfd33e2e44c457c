// Dropping links onto a box: real drag events carrying the data browsers and file managers
// offer, sent to the box and to the widgets inside it; what is taken, what is refused, the drop
// action, and when the box hears.

#include "GuiTest.h"
#include "gui/DroppedLink.h"
#include "gui/os/TextField.h"
#include "gui/os/UrlDropTarget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

using namespace guitest;
using s::gui::DroppedLink;
using s::gui::os::TextField;
using s::gui::os::UrlDropTarget;

namespace {

QByteArray utf16le(std::u16string_view text, bool bom, bool finalNul)
{
    QByteArray bytes;
    if (bom)
        bytes.append("\xFF\xFE", 2);
    for (char16_t c : text) {
        bytes.append(static_cast<char>(c & 0xFF));
        bytes.append(static_cast<char>(c >> 8));
    }
    if (finalNul)
        bytes.append("\0\0", 2);
    return bytes;
}

QByteArray utf16be(std::u16string_view text)
{
    QByteArray bytes("\xFE\xFF", 2);
    for (char16_t c : text) {
        bytes.append(static_cast<char>(c >> 8));
        bytes.append(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

QMimeData* withFormat(const char* format, const QByteArray& bytes)
{
    auto* data = new QMimeData();
    data->setData(format, bytes);
    return data;
}

// Hears the box's link drops and keeps the text as it was during the call.
struct LinkListener : s::gui::events::IEventListener {
    void handle(s::base::IObject* sender, int32_t code) override
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(code, 7);
        texts.push_back(std::u16string(dynamic_cast<Box*>(sender)->getDroppedText()));
        if (onDrop)
            onDrop();
    }
    std::vector<std::u16string> heard() const
    {
        std::lock_guard lock(mutex);
        return texts;
    }
    std::function<void()> onDrop;

private:
    mutable std::mutex mutex;
    std::vector<std::u16string> texts;
};

struct DragOutcome {
    bool entered = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool dropped = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

// A drag entering the widget and, when it was accepted, moving and dropping there, as the desktop
// sends them (GUI thread; the data is owned by the caller).
DragOutcome dragAndDrop(QWidget* widget, const QMimeData* data, Qt::DropActions actions)
{
    DragOutcome outcome;
    QPoint at = widget->rect().center();
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    outcome.entered = enter.isAccepted();
    outcome.enterAction = enter.dropAction();
    if (!outcome.entered)
        return outcome;
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    outcome.dropped = drop.isAccepted();
    outcome.dropAction = drop.dropAction();
    return outcome;
}

// The main area of a window: a box with link dropping, holding a label and the link field.
class LinkDropTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        area = Box::get();
        area->setFixedWidth(600, false);
        area->setFixedHeight(300, false);
        area->layoutVertical();
        area->setUrlDropEnabled(true);
        area->addUrlDropListener(&listener);
        label = Label::get();
        label->setText(u"URL:");
        area->add(label);
        field = TextField::get();
        field->setMinSize(200, 20);
        field->setMaxSize(400, 20);
        area->add(field);
        window->add(area);
        window->show();
    }

    QWidget* widgetOf(IComponent* c) const { return static_cast<QWidget*>(c->getNativeHandle()); }

    // Drops the data on a component and waits until the posted delivery had its chance.
    DragOutcome dropOn(IComponent* c, QMimeData* data, Qt::DropActions actions = Qt::CopyAction | Qt::LinkAction)
    {
        DragOutcome outcome = onUiThread([&] { return dragAndDrop(widgetOf(c), data, actions); });
        onUiThread([] { });
        onUiThread([] { });
        delete data;
        return outcome;
    }

    Box* area = nullptr;
    Label* label = nullptr;
    TextField* field = nullptr;
    LinkListener listener;
};

}

TEST(DroppedLinkText, FormsOfTheLinkFormats)
{
    const std::u16string link = u"https://www.example.org/watch?v=abc&t=1";
    struct Case {
        const char* what;
        bool mozUrl;
        QByteArray bytes;
        std::optional<std::u16string> expected;
    };
    std::u16string longest = u"http://e.org/" + std::u16string(DroppedLink::MaxLength - 13, u'a');
    const Case cases[] = {
        { "x-moz-url UTF-16 with title", true, utf16le(link + u"\nA title", false, false), link },
        { "x-moz-url UTF-16 with BOM and final NUL", true, utf16le(link + u"\nA title", true, true), link },
        { "x-moz-url UTF-16 without title, final NUL", true, utf16le(link, false, true), link },
        { "x-moz-url UTF-16 big endian with BOM", true, utf16be(link + u"\nTitle"), link },
        { "x-moz-url UTF-8", true, QByteArray("https://www.example.org/watch?v=abc&t=1\nTitle"), link },
        { "x-moz-url with CRLF and spaces", true, utf16le(u"  " + link + u" \r\nTitle", false, false), link },
        { "x-moz-url of a file", true, utf16le(u"file:///home/me/video.mp4\nvideo", false, true), std::nullopt },
        { "x-moz-url of a script", true, utf16le(u"javascript:alert(1)\nx", false, false), std::nullopt },
        { "x-moz-url empty", true, QByteArray(), std::nullopt },
        { "x-moz-url scheme only", true, QByteArray("https://"), std::nullopt },
        { "uri-list, comments skipped", false, QByteArray("# from a browser\r\nHTTP://Example.org/a b\r\nhttp://second.org/\r\n"), u"HTTP://Example.org/a b" },
        { "uri-list, bare link without line end", false, QByteArray("https://www.example.org/watch?v=abc&t=1"), link },
        { "uri-list, first entry a file", false, QByteArray("file:///tmp/a.mp4\r\nhttp://example.org/\r\n"), std::nullopt },
        { "uri-list, only comments", false, QByteArray("# nothing\r\n"), std::nullopt },
        { "uri-list, the longest link taken", false, QString::fromStdU16String(longest).toUtf8(), longest },
        { "uri-list, one unit longer refused", false, QString::fromStdU16String(longest + u"b").toUtf8(), std::nullopt },
    };
    for (const Case& c : cases) {
        std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(c.bytes.constData()), static_cast<size_t>(c.bytes.size()));
        std::optional<std::u16string> got = c.mozUrl ? DroppedLink::fromMozUrl(bytes) : DroppedLink::fromUriList(bytes);
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

TEST_F(LinkDropTest, LinkDragsAreTakenOnceWithExactlyTheLinkAndOthersRefused)
{
    const std::u16string link = u"https://www.example.org/watch?v=abc";
    struct Case {
        const char* what;
        std::function<QMimeData*()> data;
        bool taken;
    };
    const Case cases[] = {
        { "x-moz-url with a title", [&] { return withFormat("text/x-moz-url", utf16le(link + u"\nSome video", false, true)); }, true },
        { "uri-list as X11 presents a browser's link", [&] {
              auto* data = withFormat("text/uri-list", QString::fromStdU16String(link).toUtf8());
              data->setText(QString::fromStdU16String(link));
              return data;
          },
            true },
        { "plain text holding a link", [&] {
              auto* data = new QMimeData();
              data->setText(QString::fromStdU16String(link));
              return data;
          },
            false },
        { "local files", [] {
              auto* data = new QMimeData();
              data->setUrls({ QUrl::fromLocalFile("/tmp/video.mp4") });
              return data;
          },
            false },
        { "a file first in the uri-list", [] { return withFormat("text/uri-list", "file:///tmp/a.mp4\r\nhttps://example.org/\r\n"); }, false },
    };
    size_t expectedHeard = 0;
    for (const Case& c : cases) {
        for (IComponent* where : { static_cast<IComponent*>(area), static_cast<IComponent*>(label), static_cast<IComponent*>(field) }) {
            SCOPED_TRACE(std::string(c.what) + (where == area ? " on the box" : where == label ? " on the label" : " on the field"));
            DragOutcome outcome = dropOn(where, c.data());
            EXPECT_EQ(outcome.entered, c.taken);
            EXPECT_EQ(outcome.dropped, c.taken);
            if (c.taken) {
                EXPECT_EQ(outcome.enterAction, Qt::LinkAction) << "the link action is preferred";
                EXPECT_EQ(outcome.dropAction, Qt::LinkAction);
                ++expectedHeard;
            }
            std::vector<std::u16string> heard = listener.heard();
            ASSERT_EQ(heard.size(), expectedHeard);
            if (c.taken) {
                EXPECT_EQ(heard.back(), link);
            }
        }
    }
    EXPECT_EQ(onUiThread([&] { return static_cast<QLineEdit*>(widgetOf(field))->text(); }), QString())
        << "the text field took nothing";

    // A source that offers no link action gets a copy.
    DragOutcome copied = dropOn(area, withFormat("text/x-moz-url", utf16le(link, true, true)), Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(copied.dropAction, Qt::CopyAction);
}

TEST_F(LinkDropTest, FilesStillReachABoxThatTakesFiles)
{
    Recorder files;
    area->setAcceptFiles(true);
    area->addFileDropListener(&files);
    auto* data = new QMimeData();
    data->setUrls({ QUrl::fromLocalFile("/tmp/video.mp4") });
    DragOutcome outcome = dropOn(field, data);
    EXPECT_TRUE(outcome.dropped);
    EXPECT_EQ(files.count(1), 1);
    EXPECT_EQ(area->getDroppedFiles(), std::vector<std::u16string>({ u"/tmp/video.mp4" }));
    EXPECT_TRUE(listener.heard().empty());
}

TEST_F(LinkDropTest, SwitchingOffAndOnAgainAndBoxesMadeLater)
{
    auto link = [] { return withFormat("text/x-moz-url", utf16le(u"http://example.org/1\nt", false, true)); };
    area->setUrlDropEnabled(false);
    EXPECT_FALSE(dropOn(field, link()).entered);
    EXPECT_EQ(onUiThread([&] { return UrlDropTarget::of(widgetOf(area)); }), nullptr) << "the target was released";
    area->setUrlDropEnabled(true);
    EXPECT_TRUE(dropOn(field, link()).dropped);
    EXPECT_EQ(listener.heard().size(), 1u);

    // A box switched on before it exists gets its target when it is made.
    Box* later = Box::get();
    later->setFixedWidth(100, false);
    later->setFixedHeight(50, false);
    LinkListener laterHeard;
    later->setUrlDropEnabled(true);
    later->addUrlDropListener(&laterHeard);
    window->add(later);
    EXPECT_TRUE(dropOn(later, link()).dropped);
    EXPECT_EQ(laterHeard.heard(), std::vector<std::u16string>({ u"http://example.org/1" }));
    EXPECT_EQ(listener.heard().size(), 1u) << "the other box heard nothing";
}

TEST_F(LinkDropTest, AListenerThatAsksInAWindowRunsAfterTheDropReturned)
{
    bool dropReturned = false;
    bool returnedWhenHeard = false;
    int answered = -1;
    listener.onDrop = [&] {
        returnedWhenHeard = dropReturned;
        // A modal question, closed by the "user" a moment later.
        QMessageBox box(QMessageBox::Question, "Fetchwick", "Download this link?", QMessageBox::Yes | QMessageBox::No);
        QTimer::singleShot(50, &box, [&box] { box.button(QMessageBox::Yes)->click(); });
        answered = box.exec();
    };
    auto* data = withFormat("text/x-moz-url", utf16le(u"https://example.org/v\nv", false, true));
    onUiThread([&] {
        dragAndDrop(widgetOf(field), data, Qt::CopyAction | Qt::LinkAction);
        dropReturned = true;
    });
    EXPECT_TRUE(eventually([&] { return answered == QMessageBox::Yes; }));
    EXPECT_TRUE(returnedWhenHeard);
    delete data;
}

TEST_F(LinkDropTest, ADropOnABoxThatGoesAwayIsNotDelivered)
{
    auto* data = withFormat("text/x-moz-url", utf16le(u"https://example.org/v\nv", false, true));
    DragOutcome outcome = onUiThread([&] {
        DragOutcome dropped = dragAndDrop(widgetOf(field), data, Qt::LinkAction);
        // Released before the posted link runs.
        window->remove(area, true);
        return dropped;
    });
    onUiThread([] { });
    EXPECT_TRUE(outcome.dropped);
    EXPECT_TRUE(listener.heard().empty());
    delete data;
}
