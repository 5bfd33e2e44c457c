#include "gui/os/ScrollBar.h"

#include <QScrollBar>

#include <algorithm>

namespace s::gui::os {

QWidget* ScrollBar::makeWidget(QWidget* parent)
{
    auto* bar = new QScrollBar(parent);
    QObject::connect(bar, &QScrollBar::actionTriggered, bar, [this, bar](int) {
        // The action's new position is known once the bar has applied it.
        userMoved(bar->sliderPosition());
    });
    return bar;
}

void ScrollBar::afterCreate()
{
    auto* bar = static_cast<QScrollBar*>(m_widget.data());
    QSize hint = bar->sizeHint();
    int32_t thickness = m_axis == 0 ? hint.height() : hint.width();
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
    auto* bar = static_cast<QScrollBar*>(m_widget.data());
    if (!bar)
        return;
    QSignalBlocker quiet(bar);
    bar->setOrientation(m_axis == 0 ? Qt::Horizontal : Qt::Vertical);
    bar->setRange(m_minimum, m_maximum);
    bar->setPageStep(m_page);
    bar->setValue(m_value);
}

void ScrollBar::setAxis(int32_t axis)
{
    if (axis == m_axis)
        return;
    m_axis = axis;
    if (m_created) {
        platformStyle();
        afterCreate();
    }
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

void ScrollBar::userMoved(int32_t value)
{
    S_ON_GUI_THREAD(userMoved(value));
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    m_scrollListeners.fire(this, Scrolled);
}

void ScrollBar::reset()
{
    Component::reset();
    m_axis = 1;
    m_minimum = m_maximum = 0;
    m_page = 1;
    m_value = 0;
    m_scrollListeners.clear();
}

}
