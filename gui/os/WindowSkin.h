#pragma once

#include "gui/os/SkinLink.h"

#include <QRegion>
#include <Qt>

#include <cstdint>
#include <functional>
#include <string_view>

class QPainter;
class QWidget;

namespace s::gui {
class IWindowSettings;
}

namespace s::gui::drawer::window {
class Thin;
}

namespace s::gui::os {

class Window;

// The skinned frame of a window: the skinner the window's components take their drawers from, and
// the window drawer that paints the frame. With a window drawer the frame has no decorations of the
// platform: its outline is the drawer's region, the drawer paints frame and background, a press on
// the client area moves the window and, when it is resizable, one on the 5-pixel border resizes it
// (within 30 pixels of a corner the corner, elsewhere the side).
class WindowSkin {
public:
    static constexpr int32_t Border = 5;
    static constexpr int32_t CornerReach = 30;

    explicit WindowSkin(Window& window);
    ~WindowSkin();
    WindowSkin(const WindowSkin&) = delete;
    WindowSkin& operator=(const WindowSkin&) = delete;

    // Records the skinner, takes its current skin's window drawer and follows its changes; the
    // components created in the window from now on take their drawers from it too, those already
    // made follow at once. Null goes back to the platform frame.
    void setSkinner(drawer::Skinner* skinner);
    drawer::Skinner* skinner() const { return m_skinner; }
    // Selects the skin stored in the settings when it is one of the family, else the wanted one,
    // else the first.
    void chooseSkin(std::u16string_view wanted, IWindowSettings* settings);
    // Null: the platform frame again. An owned drawer is released when replaced or reset.
    void setWindowDrawer(drawer::window::Thin* drawer, bool own);
    drawer::window::Thin* windowDrawer() const { return m_drawer; }
    void setSettings(IWindowSettings* settings) { m_settings = settings; }

    // --- for the frame widget (GUI thread) ---
    bool isSkinned() const { return m_drawer != nullptr; }
    void paint(QPainter& painter, int32_t width, int32_t height) const;
    QRegion region(int32_t width, int32_t height) const;
    // The edges a press at (x, y) resizes, none when it moves the window instead.
    Qt::Edges edgesAt(int32_t x, int32_t y, int32_t width, int32_t height, bool resizable) const;
    static Qt::CursorShape cursorFor(Qt::Edges edges);
    // Frameless or not, and the outline, after a change of drawer or size.
    void applyToFrame(QWidget* frame) const;

    void reset();

private:
    void takeSkin(drawer::skin::SkinBase& skin);
    void takeDrawer(drawer::window::Thin* drawer, bool own);
    void releaseDrawer();
    // Hands the skin to every component already made in the window.
    void reachComponents();

    Window& m_window;
    drawer::Skinner* m_skinner { nullptr };
    drawer::window::Thin* m_drawer { nullptr };
    bool m_ownsDrawer { false };
    IWindowSettings* m_settings { nullptr };
    SkinLink m_link;
};

}
