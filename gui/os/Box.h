#pragma once

#include "foundation/thread/Pool.h"
#include "gui/BoxBase.h"
#include "gui/os/Bound.h"

namespace s::gui::os {

class BoxWidget;

// The general container on a QWidget: paints its background and border, reports painting (5),
// left presses (6, then lets the press go on to the window so it can be dragged), wheel turns no
// child took (2) and, with setAcceptFiles, dropped local files (1).
class Box : public Bound<BoxBase> {
    S_POOLED_CLASS(Box, "s_gui_os_Box")
public:
    Box() = default;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void applyStyle() override;
};

// The QWidget of a box (also the client area of a window).
class BoxWidget : public QWidget {
public:
    BoxWidget(BoxBase* box, QWidget* parent);
    BoxBase* box() const { return m_box; }
    void detach() { m_box = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    BoxBase* m_box;
};

}
