#include "gui/os/WindowSkin.h"

#include "gui/IWindowSettings.h"
#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/Skinner.h"
#include "gui/drawer/window/Thin.h"
#include "gui/os/Window.h"

#include <QPainter>
#include <QWidget>

namespace s::gui::os {

namespace {

void reach(IComponent* component)
{
    if (!component || !component->isCreated())
        return;
    if (auto* skinnable = dynamic_cast<ISkinnable*>(component))
        skinnable->followSkin();
    for (uint32_t i = 0; i < component->getChildCount(); ++i)
        reach(component->getChild(i));
}

}

WindowSkin::WindowSkin(Window& window)
    : m_window(window)
{
}

WindowSkin::~WindowSkin()
{
    reset();
}

void WindowSkin::reset()
{
    m_link.detach();
    m_skinner = nullptr;
    m_settings = nullptr;
    releaseDrawer();
}

void WindowSkin::setSkinner(drawer::Skinner* skinner)
{
    if (skinner == m_skinner)
        return;
    m_link.detach();
    m_skinner = skinner;
    if (!skinner) {
        takeDrawer(nullptr, false);
        return;
    }
    m_link.attach(&m_window, [this](drawer::skin::SkinBase& skin) { takeSkin(skin); });
    reachComponents();
}

void WindowSkin::chooseSkin(std::u16string_view wanted, IWindowSettings* settings)
{
    if (!m_skinner)
        return;
    if (settings)
        m_settings = settings;
    const std::u16string stored = m_settings ? m_settings->getSkinName() : std::u16string();
    const int32_t index = m_skinner->chooseSkin(stored, wanted);
    if (index >= 0)
        m_skinner->selectSkin(index);
}

void WindowSkin::takeSkin(drawer::skin::SkinBase& skin)
{
    takeDrawer(skin.getWindow(), false);
    if (m_settings)
        m_settings->setSkinName(skin.getName());
}

void WindowSkin::setWindowDrawer(drawer::window::Thin* drawer, bool own)
{
    takeDrawer(drawer, own);
}

void WindowSkin::takeDrawer(drawer::window::Thin* drawer, bool own)
{
    if (drawer == m_drawer) {
        m_ownsDrawer = m_ownsDrawer || (drawer && own);
        return;
    }
    releaseDrawer();
    m_drawer = drawer;
    m_ownsDrawer = drawer && own;
    if (QWidget* frame = m_window.widget())
        applyToFrame(frame);
}

void WindowSkin::releaseDrawer()
{
    if (m_drawer && m_ownsDrawer)
        m_drawer->release();
    m_drawer = nullptr;
    m_ownsDrawer = false;
}

void WindowSkin::reachComponents()
{
    for (uint32_t i = 0; i < m_window.getChildCount(); ++i)
        reach(m_window.getChild(i));
    if (IComponent* bar = m_window.getStatusBar())
        reach(bar);
}

void WindowSkin::paint(QPainter& painter, int32_t width, int32_t height) const
{
    if (!m_drawer)
        return;
    draw::os::PainterCanvas canvas(painter);
    m_drawer->paint(canvas, draw::Rect { 0, 0, width, height });
}

QRegion WindowSkin::region(int32_t width, int32_t height) const
{
    QRegion outline;
    if (!m_drawer)
        return outline;
    for (const draw::Rect& r : m_drawer->makeRegion(draw::Rect { 0, 0, width, height }).rects)
        outline += QRect(r.left, r.top, r.width(), r.height());
    return outline;
}

Qt::Edges WindowSkin::edgesAt(int32_t x, int32_t y, int32_t width, int32_t height, bool resizable) const
{
    Qt::Edges edges;
    if (!m_drawer || !resizable)
        return edges;
    const bool left = x < Border, right = x >= width - Border, top = y < Border, bottom = y >= height - Border;
    if (!left && !right && !top && !bottom)
        return edges;
    // Along a border, the last 30 pixels before a corner resize that corner.
    const bool nearLeft = x < CornerReach, nearRight = x >= width - CornerReach;
    const bool nearTop = y < CornerReach, nearBottom = y >= height - CornerReach;
    if (left || (nearLeft && (top || bottom)))
        edges |= Qt::LeftEdge;
    if (right || (nearRight && (top || bottom)))
        edges |= Qt::RightEdge;
    if (top || (nearTop && (left || right)))
        edges |= Qt::TopEdge;
    if (bottom || (nearBottom && (left || right)))
        edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape WindowSkin::cursorFor(Qt::Edges edges)
{
    const bool l = edges & Qt::LeftEdge, r = edges & Qt::RightEdge, t = edges & Qt::TopEdge, b = edges & Qt::BottomEdge;
    if ((l && t) || (r && b))
        return Qt::SizeFDiagCursor;
    if ((r && t) || (l && b))
        return Qt::SizeBDiagCursor;
    if (l || r)
        return Qt::SizeHorCursor;
    if (t || b)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

void WindowSkin::applyToFrame(QWidget* frame) const
{
    onUiThread([&] {
        const bool skinned = m_drawer != nullptr;
        if (frame->windowFlags().testFlag(Qt::FramelessWindowHint) != skinned) {
            // Changing the flags hides a shown window; it comes back where it was.
            const bool shown = frame->isVisible();
            frame->setWindowFlag(Qt::FramelessWindowHint, skinned);
            if (shown)
                frame->show();
        }
        if (skinned)
            frame->setMask(region(frame->width(), frame->height()));
        else
            frame->clearMask();
        frame->update();
    });
}

}
