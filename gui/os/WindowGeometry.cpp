#include "gui/os/WindowGeometry.h"

#include <algorithm>

namespace s::gui::os {

void WindowGeometry::save(bool maximized) const
{
    if (!m_store)
        return;
    auto write = [this](IWindowSettings::Value which, int32_t value) {
        int32_t stored = 0;
        if (!m_store->readValue(which, stored) || stored != value)
            m_store->writeValue(which, value);
    };
    if (m_normal.isValid()) {
        write(IWindowSettings::X, m_normal.x());
        write(IWindowSettings::Y, m_normal.y());
        write(IWindowSettings::Width, m_normal.width());
        write(IWindowSettings::Height, m_normal.height());
    }
    write(IWindowSettings::Maximized, maximized ? 1 : 0);
}

bool WindowGeometry::storedMaximized() const
{
    int32_t stored = 0;
    return m_store && m_store->readValue(IWindowSettings::Maximized, stored) && stored != 0;
}

bool WindowGeometry::isOnScreen(const QRect& window, const QRect& screen) const
{
    if (!m_keepOnScreen)
        return true;
    if (window.width() <= 10 || window.height() <= 10)
        return false;
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    if (window.x() > right - 10 || window.x() + window.width() - screen.x() <= 9)
        return false;
    if (window.y() > bottom - 10 || window.y() + window.height() - screen.y() <= 9)
        return false;
    return true;
}

QPoint WindowGeometry::clampedInto(const QRect& window, const QRect& screen)
{
    int32_t x = window.x();
    int32_t y = window.y();
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    if (x + window.width() > right)
        x = right - window.width();
    if (y + window.height() > bottom)
        y = bottom - window.height();
    return QPoint(std::max<int32_t>(x, screen.x()), std::max<int32_t>(y, screen.y()));
}

QPoint WindowGeometry::centredIn(const QSize& window, const QRect& area)
{
    return QPoint(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
}

}
