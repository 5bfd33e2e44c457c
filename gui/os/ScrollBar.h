#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"
#include "gui/os/SkinLink.h"

class QPainter;

namespace s::gui::drawer::scrollbar {
class Thin;
}

namespace s::gui::os {

// A scroll bar along one axis (0 horizontal, 1 vertical), painted by its scroll bar drawer (a thin
// one of width 15 unless the program or a skin gives another): arrows that step and repeat while
// held, a track that pages, a thumb that drags. Code 1 to the scroll listeners when the user moved
// it; the program's own setValue fires nothing.
class ScrollBar : public Bound<Component>
    , public ISkinnable {
    S_POOLED_CLASS(ScrollBar, "s_gui_os_ScrollBar")
public:
    enum Event : int32_t { Scrolled = 1 };
    static constexpr int32_t RepeatDelayMs = 350;
    static constexpr int32_t RepeatIntervalMs = 50;

    ScrollBar() = default;

    void setAxis(int32_t axis);
    int32_t getAxis() const { return m_axis; }
    void setRange(int32_t minimum, int32_t maximum, int32_t page);
    void setValue(int32_t value);
    int32_t getValue() const { return m_value; }
    int32_t getMinimum() const { return m_minimum; }
    int32_t getMaximum() const { return m_maximum; }
    int32_t getPage() const { return m_page; }
    // How far one arrow step moves (at least 1).
    void setLineStep(int32_t step);
    int32_t getLineStep() const { return m_lineStep; }
    void addScrollListener(events::IEventListener* listener) { m_scrollListeners.add(listener); }

    // An owned drawer is released when replaced or when the bar is reset. Null brings back a thin
    // drawer of the bar's own. Runs on the GUI thread once created.
    void setDrawer(drawer::scrollbar::Thin* drawer, bool own);
    drawer::scrollbar::Thin* getDrawer() const { return m_drawer; }

    // The binding reports here (GUI thread).
    void userMoved(int32_t value);
    // Where the user presses, moves and lets go (GUI thread, widget coordinates).
    void pointerPressed(int32_t x, int32_t y);
    void pointerMoved(int32_t x, int32_t y, bool buttonDown);
    void pointerReleased();
    void pointerLeft();
    // One step of a held arrow or track (the repeat timer calls it).
    void repeatStep();
    void wheelTurned(int32_t notches);
    void paintWith(QPainter& painter, int32_t width, int32_t height) const;
    int32_t hotPart() const { return m_hotPart; }
    int32_t pressedPart() const { return m_pressedPart; }

    // Takes the drawer of the window's skin, if the window has a skinner (GUI thread).
    void followSkin() override;

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void applyStyle() override;
    void afterCreate() override;
    void beforeDestroy() override;

private:
    void takeDrawer(drawer::scrollbar::Thin* drawer, bool own);
    void releaseDrawer();
    void updateLimits();
    // The part's action: arrows step, the track pages; false when it has none (thumb, nothing).
    bool act(int32_t part);

    int32_t m_axis { 1 };
    int32_t m_minimum { 0 };
    int32_t m_maximum { 0 };
    int32_t m_page { 1 };
    int32_t m_value { 0 };
    int32_t m_lineStep { 1 };
    drawer::scrollbar::Thin* m_drawer { nullptr };
    bool m_ownsDrawer { false };
    // Pointer state (GUI thread).
    int32_t m_hotPart { -1 };
    int32_t m_pressedPart { -1 };
    int32_t m_grabOffset { 0 };
    int32_t m_pointerX { 0 };
    int32_t m_pointerY { 0 };
    // A drawer the program set stays when the window's skin changes.
    bool m_drawerFromProgram { false };
    SkinLink m_skinLink;
    events::ListenerList m_scrollListeners;
};

}
