#pragma once

#include "gui/IWindowSettings.h"

#include <QRect>

#include <cstdint>

namespace s::gui::os {

// What a window knows and keeps of where it stands: its normal rectangle (neither minimised nor
// maximised, which is what is saved even while the window is minimised or maximised), whether the
// program chose a position, keeping on screen, and the settings store it writes back to.
// GUI thread only.
class WindowGeometry {
public:
    void bind(IWindowSettings* store) { m_store = store; }
    IWindowSettings* store() const { return m_store; }

    // The frame's rectangle while the window is in its normal state.
    void noteNormal(const QRect& rect) { m_normal = rect; }
    const QRect& normal() const { return m_normal; }
    void setPositionGiven(bool on) { m_positionGiven = on; }
    bool isPositionGiven() const { return m_positionGiven; }
    void setKeepOnScreen(bool on) { m_keepOnScreen = on; }
    bool keepsOnScreen() const { return m_keepOnScreen; }

    // Writes the normal rectangle and the maximised flag, each value only when it differs from
    // the stored one.
    void save(bool maximized) const;
    bool storedMaximized() const;

    // False when fewer than 10 pixels of the window overlap the screen either way, or the window
    // is 10 pixels or less wide or high; true when keeping on screen is off.
    bool isOnScreen(const QRect& window, const QRect& screen) const;
    // The window's position pulled inside the screen: right and bottom edges first, then the left
    // and top edges.
    static QPoint clampedInto(const QRect& window, const QRect& screen);
    static QPoint centredIn(const QSize& window, const QRect& area);

private:
    IWindowSettings* m_store { nullptr };
    QRect m_normal;
    bool m_positionGiven { false };
    bool m_keepOnScreen { true };
};

}
