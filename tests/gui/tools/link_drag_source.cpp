// Starts a drag when the mouse is pressed on its window, carrying what the first argument says:
// "moz" a browser's x-moz-url offer (UTF-16 link, title, NUL), "moz-bare" the link alone, "urls" a link as uri-list and text,
// "text" plain text holding a link, "file" a local file. Prints the action the drop ended with.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

const QString Link = "https://www.example.org/watch?v=dragged&t=42";

class Source : public QWidget {
public:
    explicit Source(QString kind)
        : m_kind(std::move(kind))
    {
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData();
        if (m_kind.startsWith("moz")) {
            // "moz": link, title and a final NUL as browsers send it; "moz-bare": the link alone.
            QString text = m_kind == "moz-bare" ? Link : Link + "\nA dragged video";
            QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            if (m_kind == "moz")
                bytes.append("\0\0", 2);
            data->setData("text/x-moz-url", bytes);
            data->setText(Link);
        } else if (m_kind == "urls") {
            data->setUrls({ QUrl(Link) });
            data->setText(Link);
        } else if (m_kind == "text") {
            data->setText(Link);
        } else {
            data->setUrls({ QUrl::fromLocalFile("/tmp/video.mp4") });
        }
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        // Tells whoever moves the pointer that the target has answered.
        QObject::connect(drag, &QDrag::actionChanged, [](Qt::DropAction action) {
            std::printf("answer: %d\n", static_cast<int>(action));
            std::fflush(stdout);
        });
        Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        std::printf("action: %d\n", static_cast<int>(action));
        std::fflush(stdout);
        // The target fetches the data after the drop: stay a while to answer, as a browser does.
        QTimer::singleShot(2000, [] { QCoreApplication::exit(0); });
    }

private:
    QString m_kind;
};

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source source(argc > 1 ? QString(argv[1]) : QString("moz"));
    source.setGeometry(500, 0, 200, 200);
    source.show();
    return QApplication::exec();
}
