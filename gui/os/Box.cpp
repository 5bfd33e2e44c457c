#include "gui/os/Box.h"

#include "gui/os/UrlDropTarget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <vector>

namespace s::gui::os {

namespace {

std::vector<std::u16string> localFiles(const QMimeData* mime)
{
    std::vector<std::u16string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths.push_back(fromQString(url.toLocalFile()));
    }
    return paths;
}

}

QWidget* Box::makeWidget(QWidget* parent)
{
    return new BoxWidget(this, parent);
}

void Box::applyStyle()
{
    if (!m_widget)
        return;
    m_widget->setAcceptDrops(m_acceptFiles || m_urlDropEnabled);
    UrlDropTarget::enable(m_widget, this, m_urlDropEnabled);
}

BoxWidget::BoxWidget(BoxBase* box, QWidget* parent)
    : QWidget(parent)
    , m_box(box)
{
}

void BoxWidget::paintEvent(QPaintEvent*)
{
    if (!m_box)
        return;
    if (m_box->hasBorder()) {
        QPainter painter(this);
        painter.setPen(toQColor(m_box->getBorderColour()));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    m_box->painted();
}

void BoxWidget::mousePressEvent(QMouseEvent* event)
{
    if (m_box && event->button() == Qt::LeftButton)
        m_box->pressed();
    // The press goes on to the parent, so a window with easy drag moves when a box is dragged.
    event->ignore();
}

void BoxWidget::wheelEvent(QWheelEvent* event)
{
    // Only turns no child took arrive here. The step is the platform's lines per notch, negative
    // for turns towards the user.
    int notches = event->angleDelta().y() / 120;
    if (!m_box || notches == 0) {
        event->ignore();
        return;
    }
    m_box->wheelTurned(notches * QApplication::wheelScrollLines());
    event->accept();
}

void BoxWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_box && m_box->isAcceptingFiles() && !localFiles(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void BoxWidget::dropEvent(QDropEvent* event)
{
    std::vector<std::u16string> paths = localFiles(event->mimeData());
    if (!m_box || !m_box->isAcceptingFiles() || paths.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_box->filesDropped(std::move(paths));
}

}
