#include "gui/os/ScrollBar.h"

#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/skin/SkinBase.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace s::gui::os {

namespace {

using Drawer = drawer::scrollbar::Thin;

class ScrollBarWidget final : public QWidget {
public:
    ScrollBarWidget(ScrollBar* owner, QWidget* parent)
        : QWidget(parent)
        , m_owner(owner)
    {
        setMouseTracking(true);
        m_repeat.setSingleShot(false);
        QObject::connect(&m_repeat, &QTimer::timeout, this, [this] {
            m_repeat.setInterval(ScrollBar::RepeatIntervalMs);
            if (m_owner)
                m_owner->repeatStep();
        });
    }

    void detach()
    {
        m_owner = nullptr;
        m_repeat.stop();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_owner)
            return;
        QPainter painter(this);
        m_owner->paintWith(painter, width(), height());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!m_owner || event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        const QPoint p = event->position().toPoint();
        m_owner->pointerPressed(p.x(), p.y());
        if (m_owner->pressedPart() >= 0 && m_owner->pressedPart() != Drawer::Thumb)
            m_repeat.start(ScrollBar::RepeatDelayMs);
        update();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_owner)
            return;
        const QPoint p = event->position().toPoint();
        m_owner->pointerMoved(p.x(), p.y(), event->buttons() & Qt::LeftButton);
        update();
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        m_repeat.stop();
        if (m_owner)
            m_owner->pointerReleased();
        update();
    }
    void leaveEvent(QEvent*) override
    {
        if (m_owner)
            m_owner->pointerLeft();
        update();
    }
    void wheelEvent(QWheelEvent* event) override
    {
        const int notches = event->angleDelta().y() / 120;
        if (!m_owner || notches == 0) {
            event->ignore();
            return;
        }
        m_owner->wheelTurned(notches);
        event->accept();
    }

private:
    ScrollBar* m_owner;
    QTimer m_repeat;
};

}

QWidget* ScrollBar::makeWidget(QWidget* parent)
{
    return new ScrollBarWidget(this, parent);
}

void ScrollBar::afterCreate()
{
    if (!m_drawer)
        takeDrawer(Drawer::get(), true);
    followSkin();
    updateLimits();
}

void ScrollBar::followSkin()
{
    if (m_drawerFromProgram)
        return;
    m_skinLink.attach(m_window, [this](drawer::skin::SkinBase& skin) { takeDrawer(skin.getScrollBar(), false); });
}

void ScrollBar::beforeDestroy()
{
    m_skinLink.detach();
    if (auto* w = static_cast<ScrollBarWidget*>(m_widget.data()))
        w->detach();
    m_hotPart = m_pressedPart = -1;
}

void ScrollBar::updateLimits()
{
    const int32_t thickness = m_drawer ? m_drawer->getWidth() : Drawer::DefaultWidth;
    if (m_axis == 0) {
        setMinSize(thickness * 2, thickness);
        setMaxSize(100000, thickness);
    } else {
        setMinSize(thickness, thickness * 2);
        setMaxSize(thickness, 100000);
    }
}

void ScrollBar::applyStyle()
{
    if (m_widget)
        m_widget->update();
}

void ScrollBar::paintWith(QPainter& painter, int32_t width, int32_t height) const
{
    if (!m_drawer)
        return;
    draw::os::PainterCanvas canvas(painter);
    const auto g = m_drawer->layout(draw::Rect { 0, 0, width, height }, m_axis, m_minimum, m_maximum, m_page, m_value);
    m_drawer->paint(canvas, g, m_hotPart, m_pressedPart, m_enabled);
}

void ScrollBar::setDrawer(drawer::scrollbar::Thin* drawer, bool own)
{
    if (m_created)
        onUiThread([&] { m_skinLink.detach(); });
    m_drawerFromProgram = drawer != nullptr;
    if (!drawer) {
        drawer = Drawer::get();
        own = true;
    }
    takeDrawer(drawer, own);
}

void ScrollBar::takeDrawer(drawer::scrollbar::Thin* drawer, bool own)
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
        updateLimits();
        askParentToLayout();
        platformStyle();
    } else {
        swap();
    }
}

void ScrollBar::releaseDrawer()
{
    if (m_drawer && m_ownsDrawer)
        m_drawer->release();
    m_drawer = nullptr;
    m_ownsDrawer = false;
}

void ScrollBar::setAxis(int32_t axis)
{
    if (axis == m_axis)
        return;
    m_axis = axis;
    updateLimits();
    if (m_created)
        platformStyle();
}

void ScrollBar::setRange(int32_t minimum, int32_t maximum, int32_t page)
{
    S_ON_GUI_THREAD(setRange(minimum, maximum, page));
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_page = std::max(1, page);
    m_value = std::clamp(m_value, m_minimum, m_maximum);
    if (m_created)
        platformStyle();
}

void ScrollBar::setValue(int32_t value)
{
    S_ON_GUI_THREAD(setValue(value));
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    if (m_created)
        platformStyle();
}

void ScrollBar::setLineStep(int32_t step)
{
    m_lineStep = std::max(1, step);
}

void ScrollBar::userMoved(int32_t value)
{
    S_ON_GUI_THREAD(userMoved(value));
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    if (m_created)
        platformStyle();
    m_scrollListeners.fire(this, Scrolled);
}

bool ScrollBar::act(int32_t part)
{
    const int64_t value = m_value;
    switch (part) {
    case Drawer::FirstArrow:
        userMoved(static_cast<int32_t>(std::max<int64_t>(m_minimum, value - m_lineStep)));
        return true;
    case Drawer::SecondArrow:
        userMoved(static_cast<int32_t>(std::min<int64_t>(m_maximum, value + m_lineStep)));
        return true;
    case Drawer::TrackBefore:
        userMoved(static_cast<int32_t>(std::max<int64_t>(m_minimum, value - m_page)));
        return true;
    case Drawer::TrackAfter:
        userMoved(static_cast<int32_t>(std::min<int64_t>(m_maximum, value + m_page)));
        return true;
    default:
        return false;
    }
}

void ScrollBar::pointerPressed(int32_t x, int32_t y)
{
    if (!m_drawer || !m_enabled)
        return;
    const auto g = m_drawer->layout(draw::Rect { 0, 0, m_width, m_height }, m_axis, m_minimum, m_maximum, m_page, m_value);
    const int32_t part = Drawer::hitTest(g, x, y);
    m_pointerX = x;
    m_pointerY = y;
    m_pressedPart = part;
    if (part == Drawer::Thumb) {
        const draw::Rect& thumb = g.parts[Drawer::Thumb];
        m_grabOffset = (m_axis != 0 ? y - thumb.top : x - thumb.left);
        return;
    }
    act(part);
}

void ScrollBar::pointerMoved(int32_t x, int32_t y, bool buttonDown)
{
    if (!m_drawer)
        return;
    m_pointerX = x;
    m_pointerY = y;
    const auto g = m_drawer->layout(draw::Rect { 0, 0, m_width, m_height }, m_axis, m_minimum, m_maximum, m_page, m_value);
    if (!buttonDown) {
        m_hotPart = Drawer::hitTest(g, x, y);
        return;
    }
    if (m_pressedPart != Drawer::Thumb)
        return;
    // Without a thumb nothing follows the pointer (dragValue keeps the value).
    const int32_t along = m_axis != 0 ? y : x;
    userMoved(Drawer::dragValue(g, along - m_grabOffset - g.trackStart, m_minimum, m_maximum, m_value));
}

void ScrollBar::pointerReleased()
{
    m_pressedPart = -1;
}

void ScrollBar::pointerLeft()
{
    m_hotPart = -1;
}

void ScrollBar::repeatStep()
{
    if (!m_drawer || m_pressedPart < 0 || m_pressedPart == Drawer::Thumb)
        return;
    // A held part repeats only while the pointer stays on it (the track shrinks as the thumb comes).
    const auto g = m_drawer->layout(draw::Rect { 0, 0, m_width, m_height }, m_axis, m_minimum, m_maximum, m_page, m_value);
    if (Drawer::hitTest(g, m_pointerX, m_pointerY) == m_pressedPart)
        act(m_pressedPart);
}

void ScrollBar::wheelTurned(int32_t notches)
{
    const int64_t moved = static_cast<int64_t>(m_value) - static_cast<int64_t>(notches) * 3 * m_lineStep;
    userMoved(static_cast<int32_t>(std::clamp<int64_t>(moved, m_minimum, m_maximum)));
}

void ScrollBar::reset()
{
    Component::reset();
    m_skinLink.detach();
    m_drawerFromProgram = false;
    releaseDrawer();
    m_axis = 1;
    m_minimum = m_maximum = 0;
    m_page = 1;
    m_value = 0;
    m_lineStep = 1;
    m_hotPart = m_pressedPart = -1;
    m_grabOffset = 0;
    m_scrollListeners.clear();
}

}
