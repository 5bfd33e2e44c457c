// Message boxes are modal on the GUI thread while the caller waits; a helper on the GUI thread
// answers them as a user would, by pressing a button.

#include "GuiTest.h"

#include "gui/os/MessageBoxW.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

using namespace guitest;
using s::gui::os::MessageBoxW;

namespace {

struct Seen {
    QString text;
    QString caption;
    QMessageBox::Icon icon { QMessageBox::NoIcon };
};

// Presses `button` on the next message box that opens, and notes what the box showed.
std::shared_ptr<Seen> answerNextBox(QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<Seen>();
    s::gui::os::UIThread::instance().post([seen, button] {
        auto* timer = new QTimer();
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, seen, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen->text = box->text();
            seen->caption = box->windowTitle();
            seen->icon = box->icon();
            if (QAbstractButton* b = box->button(button))
                b->click();
            timer->stop();
            timer->deleteLater();
        });
        timer->start();
    });
    return seen;
}

}

TEST_F(WindowTest, MessageBoxesAnswerWithTheButtonPressed)
{
    window->setTitle(u"Fetchwick");
    auto seen = answerNextBox(QMessageBox::Yes);
    EXPECT_TRUE(MessageBoxW::askYesNo(u"Delete the files too?", window.get()));
    EXPECT_EQ(seen->text, QStringLiteral("Delete the files too?"));
    EXPECT_EQ(seen->caption, QStringLiteral("Fetchwick"));
    EXPECT_EQ(seen->icon, QMessageBox::Question);

    answerNextBox(QMessageBox::No);
    EXPECT_FALSE(window->ask(u"Again?"));

    bool yes = true;
    answerNextBox(QMessageBox::No);
    EXPECT_TRUE(MessageBoxW::askYesNoCancel(u"Save?", yes, window.get()));
    EXPECT_FALSE(yes);
    answerNextBox(QMessageBox::Cancel);
    EXPECT_FALSE(MessageBoxW::askYesNoCancel(u"Save?", yes, window.get()));

    seen = answerNextBox(QMessageBox::Ok);
    window->showError(u"The tool could not be started.");
    EXPECT_EQ(seen->caption, QStringLiteral("Error!"));
    EXPECT_EQ(seen->icon, QMessageBox::Critical);

    seen = answerNextBox(QMessageBox::Ok);
    MessageBoxW::info(u"Done.");
    EXPECT_EQ(seen->icon, QMessageBox::Information);
    seen = answerNextBox(QMessageBox::Ok);
    MessageBoxW::warn(u"Careful.", nullptr, u"Warning");
    EXPECT_EQ(seen->caption, QStringLiteral("Warning"));
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
}

TEST_F(WindowTest, BoxesReportPressesPaintsMovesAndWheelTurns)
{
    Box* box = fixedBox(100, 80);
    Recorder recorder;
    box->addPressListener(&recorder);
    box->addPaintListener(&recorder);
    box->addMoveListener(&recorder);
    box->addWheelListener(&recorder);
    box->addLayoutListener(&recorder);
    window->show();
    onUiThread([&] {
        auto* w = static_cast<QWidget*>(box->getNativeHandle());
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        QWheelEvent wheel(QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &wheel);
    });
    EXPECT_EQ(recorder.count(Box::LeftPressed), 1);
    // Painting follows once the platform has exposed the window.
    EXPECT_TRUE(eventually([&] {
        static_cast<QWidget*>(box->getNativeHandle())->repaint();
        return recorder.count(Box::Painted) >= 1;
    }));
    EXPECT_EQ(recorder.count(Box::WheelTurned), 1);
    EXPECT_EQ(box->getWheelStep(), -QApplication::wheelScrollLines()) << "turns towards the user are negative";
    int moves = recorder.count(Box::MovedOrResized);
    int layouts = recorder.count(Box::LaidOut);
    box->setLocation(box->getX(), box->getY()); // no change: nothing
    EXPECT_EQ(recorder.count(Box::MovedOrResized), moves);
    window->setSize(700, 500);
    box->setFixedWidth(120); // the window lays out again and the box changes size
    EXPECT_EQ(recorder.count(Box::MovedOrResized), moves + 1);
    EXPECT_GT(recorder.count(Box::LaidOut), layouts);
    // Paints keep coming from the platform: the window goes before its listener does.
    window.replace();
}
