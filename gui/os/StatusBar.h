#pragma once

#include "foundation/thread/Pool.h"
#include "gui/os/Box.h"
#include "gui/os/SkinLink.h"

class QPainter;

namespace s::gui::drawer::statusbar {
class Basic;
}

namespace s::gui::os {

// The strip at the bottom of a window (Window::setStatusBar): a row of fields with a line along
// its top edge, painted by its status bar drawer. Its default drawer shows the size grip, which
// resizes the window from its bottom-right corner when the window is resizable.
class StatusBar : public Box
    , public ISkinnable {
    S_POOLED_CLASS(StatusBar, "s_gui_os_StatusBar")
public:
    StatusBar();

    // An owned drawer is released when replaced or when the bar is reset; null brings back the
    // default one. Runs on the GUI thread once created.
    void setDrawer(drawer::statusbar::Basic* drawer, bool own);
    drawer::statusbar::Basic* getDrawer() const { return m_drawer; }
    // Whether the grip shows and works: the drawer draws one and the window can be resized.
    bool showsGrip() const;
    void paintWith(QPainter& painter, int32_t width, int32_t height) const;

    // Takes the drawer of the window's skin, if the window has a skinner (GUI thread).
    void followSkin() override;

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void afterCreate() override;
    void beforeDestroy() override;

private:
    void takeDrawer(drawer::statusbar::Basic* drawer, bool own);
    void releaseDrawer();

    drawer::statusbar::Basic* m_drawer { nullptr };
    bool m_ownsDrawer { false };
    // A drawer the program set stays when the window's skin changes.
    bool m_drawerFromProgram { false };
    SkinLink m_skinLink;
};

}
