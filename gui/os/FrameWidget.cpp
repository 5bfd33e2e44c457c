#include "gui/os/FrameWidget.h"

#include "gui/os/KeyCodes.h"
#include "gui/os/Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWindow>

namespace s::gui::os {

FrameWidget::FrameWidget(Window* window)
    : QWidget(nullptr)
    , m_window(window)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);
    qApp->installEventFilter(this);
}

bool FrameWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove || !m_window || watched == this || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this)
        return false;
    auto* move = static_cast<QMouseEvent*>(event);
    if (move->timestamp() == m_lastMoveTime && move->globalPosition() == m_lastMovePosition)
        return false;
    m_lastMoveTime = move->timestamp();
    m_lastMovePosition = move->globalPosition();
    m_window->fire(Window::MouseMoved);
    return false;
}

void FrameWidget::closeEvent(QCloseEvent* event)
{
    // The window decides: to the tray, cancelled by a listener, or hidden and closed.
    event->ignore();
    if (m_window)
        m_window->frameCloseRequested();
}

void FrameWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A skinned frame's outline follows its size.
    if (m_window && m_window->skin().isSkinned())
        setMask(m_window->skin().region(width(), height()));
    if (m_window)
        m_window->frameResized(event->size().width(), event->size().height());
}

void FrameWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (m_window)
        m_window->frameMoved(geometry().x(), geometry().y());
}

void FrameWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (!m_window)
        return;
    if (event->type() == QEvent::ActivationChange)
        m_window->frameActivation(isActiveWindow());
    else if (event->type() == QEvent::WindowStateChange)
        m_window->frameStateChanged();
}

void FrameWidget::mousePressEvent(QMouseEvent* event)
{
    if (!m_window)
        return;
    switch (event->button()) {
    case Qt::LeftButton: {
        // A skinned frame has no decorations of the platform: its border resizes (when the window
        // may be resized) and the rest of it moves the window.
        const WindowSkin& skin = m_window->skin();
        const QPoint at = event->position().toPoint();
        const Qt::Edges edges = skin.edgesAt(at.x(), at.y(), width(), height(), m_window->isResizable());
        if (edges && windowHandle() && windowHandle()->startSystemResize(edges)) {
            event->accept();
            return;
        }
        m_window->fire(Window::LeftPress);
        if ((m_window->isEasyDrag() || skin.isSkinned()) && !(event->buttons() & Qt::RightButton)) {
            // The platform moves the window where it can; elsewhere the frame follows the mouse.
            if (!(windowHandle() && windowHandle()->startSystemMove())) {
                m_dragging = true;
                m_dragStart = event->globalPosition().toPoint();
                m_frameStart = geometry().topLeft();
            }
        }
        break;
    }
    case Qt::RightButton: {
        m_window->fire(Window::RightPress);
        QPoint at = event->globalPosition().toPoint();
        m_window->frameRightPressed(at.x(), at.y());
        break;
    }
    case Qt::MiddleButton:
        m_window->fire(Window::MiddlePress);
        m_window->middleClick();
        break;
    default:
        break;
    }
    event->accept();
}

void FrameWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_window)
        return;
    QPoint cursor = event->globalPosition().toPoint();
    m_window->framePointerReleased(cursor.x(), cursor.y());
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_window->fire(Window::LeftRelease);
    } else if (event->button() == Qt::RightButton) {
        m_window->fire(Window::RightRelease);
    }
}

void FrameWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_window)
        return;
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        setGeometry(QRect(m_frameStart + event->globalPosition().toPoint() - m_dragStart, size()));
    if (m_window->skin().isSkinned() && !(event->buttons() & Qt::LeftButton)) {
        const QPoint at = event->position().toPoint();
        setCursor(WindowSkin::cursorFor(m_window->skin().edgesAt(at.x(), at.y(), width(), height(), m_window->isResizable())));
    }
    m_lastMoveTime = event->timestamp();
    m_lastMovePosition = event->globalPosition();
    m_window->fire(Window::MouseMoved);
}

void FrameWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_window && event->button() == Qt::LeftButton)
        m_window->fire(Window::DoubleClick);
    event->accept();
}

void FrameWidget::wheelEvent(QWheelEvent* event)
{
    int notches = event->angleDelta().y() / 120;
    if (!m_window || notches == 0)
        return;
    m_window->frameWheel(notches * QApplication::wheelScrollLines());
}

void FrameWidget::keyPressEvent(QKeyEvent* event)
{
    if (!m_window) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Keys the focused component did not take come here.
    m_window->frameKeyPressed(keyCodeOf(*event));
    if (m_window->m_keyCode == keys::Return)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void FrameWidget::paintEvent(QPaintEvent* event)
{
    if (!m_window)
        return;
    QPainter painter(this);
    if (m_window->skin().isSkinned()) {
        m_window->skin().paint(painter, width(), height());
        m_window->painted();
        return;
    }
    painter.fillRect(event->rect(), toQColor(m_window->getBackgroundColour()));
    if (m_window->hasBorder()) {
        painter.setPen(toQColor(m_window->getBorderColour()));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    m_window->painted();
}

}
