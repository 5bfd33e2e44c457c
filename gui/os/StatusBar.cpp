#include "gui/os/StatusBar.h"

#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/SizeGrip.h"
#include "gui/drawer/skin/SkinBase.h"
#include "gui/drawer/statusbar/BasicResizer.h"
#include "gui/os/Window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace s::gui::os {

namespace {

class StatusBarWidget final : public BoxWidget {
public:
    StatusBarWidget(StatusBar* bar, QWidget* parent)
        : BoxWidget(bar, parent)
        , m_bar(bar)
    {
    }

    void detachBar()
    {
        m_bar = nullptr;
        detach();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_bar) {
            QPainter painter(this);
            m_bar->paintWith(painter, width(), height());
        }
        BoxWidget::paintEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        const bool onGrip = p.x() >= width() - drawer::SizeGrip::Extent && p.y() >= height() - drawer::SizeGrip::Extent;
        if (m_bar && onGrip && event->button() == Qt::LeftButton && m_bar->showsGrip()) {
            if (QWindow* handle = window()->windowHandle())
                handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
            event->accept();
            return;
        }
        BoxWidget::mousePressEvent(event);
    }

private:
    StatusBar* m_bar;
};

}

StatusBar::StatusBar()
{
    reset();
}

void StatusBar::reset()
{
    Box::reset();
    m_skinLink.detach();
    m_drawerFromProgram = false;
    takeDrawer(drawer::statusbar::BasicResizer::get(), true);
    m_layoutType = Horizontal;
    m_hGap = 8;
    m_left = m_right = 6;
    m_top = m_bottom = 3;
    m_vAlign = 1;
}

QWidget* StatusBar::makeWidget(QWidget* parent)
{
    return new StatusBarWidget(this, parent);
}

void StatusBar::afterCreate()
{
    Box::afterCreate();
    setBorderColour(160, 160, 160);
    followSkin();
}

void StatusBar::followSkin()
{
    if (m_drawerFromProgram)
        return;
    m_skinLink.attach(m_window, [this](drawer::skin::SkinBase& skin) { takeDrawer(skin.getStatusBar(), false); });
}

void StatusBar::beforeDestroy()
{
    m_skinLink.detach();
    if (auto* w = static_cast<StatusBarWidget*>(m_widget.data()))
        w->detachBar();
    Box::beforeDestroy();
}

bool StatusBar::showsGrip() const
{
    if (!m_drawer || !m_drawer->hasGrip())
        return false;
    auto* window = dynamic_cast<Window*>(m_window);
    return !window || window->isResizable();
}

void StatusBar::paintWith(QPainter& painter, int32_t width, int32_t height) const
{
    if (!m_drawer)
        return;
    draw::os::PainterCanvas canvas(painter);
    // The grip's switch is the drawer's; a window that cannot be resized shows none.
    m_drawer->paint(canvas, 0, 0, width, height, showsGrip());
}

void StatusBar::setDrawer(drawer::statusbar::Basic* drawer, bool own)
{
    if (m_created)
        onUiThread([&] { m_skinLink.detach(); });
    m_drawerFromProgram = drawer != nullptr;
    if (!drawer) {
        drawer = drawer::statusbar::BasicResizer::get();
        own = true;
    }
    takeDrawer(drawer, own);
}

void StatusBar::takeDrawer(drawer::statusbar::Basic* drawer, bool own)
{
    auto swap = [&] {
        if (drawer == m_drawer) {
            m_ownsDrawer = m_ownsDrawer || own;
            return;
        }
        releaseDrawer();
        m_drawer = drawer;
        m_ownsDrawer = drawer && own;
    };
    if (m_created) {
        onUiThread(swap);
        repaint();
    } else {
        swap();
    }
}

void StatusBar::releaseDrawer()
{
    if (m_drawer && m_ownsDrawer)
        m_drawer->release();
    m_drawer = nullptr;
    m_ownsDrawer = false;
}

}
