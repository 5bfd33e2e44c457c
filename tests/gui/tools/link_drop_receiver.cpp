// A window whose main area takes dropped links, for drags made by another program under a real X
// server: prints "ready" once shown, then each dropped link as "link: <text>" and ends after the
// first one (or after the seconds given as the first argument).

#include "gui/os/Box.h"
#include "gui/os/TextField.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace s::gui::os;

namespace {

struct Printer : s::gui::events::IEventListener {
    Box* box = nullptr;
    void handle(s::base::IObject*, int32_t code) override
    {
        std::printf("link: %s\n", toQString(box->getDroppedText()).toUtf8().constData());
        std::fflush(stdout);
        if (code == 7)
            QCoreApplication::exit(0);
    }
};

}

// With FETCHWICK_DRAG_TRACE set, every drag event's formats and data go to stderr.
struct DragTrace : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            std::fprintf(stderr, "%s on %s:\n", event->type() == QEvent::Drop ? "drop" : "enter", watched->metaObject()->className());
            for (const QString& format : drop->mimeData()->formats())
                std::fprintf(stderr, "  %s: %s\n", format.toUtf8().constData(), drop->mimeData()->data(format).toHex(' ').left(120).constData());
        }
        return false;
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DragTrace trace;
    if (std::getenv("FETCHWICK_DRAG_TRACE"))
        app.installEventFilter(&trace);
    int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    s::thread::Pooled<Window> window = Window::make();
    window->setBounds(0, 0, 400, 300);
    Box* area = Box::get();
    area->layoutVertical();
    area->setInset(8);
    area->setUrlDropEnabled(true);
    Printer printer;
    printer.box = area;
    area->addUrlDropListener(&printer);
    TextField* field = TextField::get();
    field->setMinSize(300, 24);
    field->setMaxSize(380, 24);
    area->add(field);
    window->add(area);
    window->show();
    QTimer::singleShot(300, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(2); });
    return QApplication::exec();
}
