#pragma once

#include <QPoint>
#include <QWidget>

namespace s::gui::os {

class Window;

// The top-level QWidget of a window: its client area is the window's content area. It reports
// closing, sizes, moves, activation, state changes, mouse, keys and wheel to the window, erases
// its background with the window's colour, and moves the window when it is dragged by its client
// area with easy drag on.
class FrameWidget : public QWidget {
public:
    explicit FrameWidget(Window* window);
    void detach() { m_window = nullptr; }

protected:
    // Mouse moves over the components reach the window too (code 13).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Window* m_window;
    bool m_dragging { false };
    QPoint m_dragStart;
    QPoint m_frameStart;
    // The last move reported, so a move that travels up through several widgets counts once.
    quint64 m_lastMoveTime { 0 };
    QPointF m_lastMovePosition;
};

}
