#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

namespace s::gui::os {

// A scroll bar along one axis (0 horizontal, 1 vertical). Code 1 to the scroll listeners when the
// user moved it; the program's own setValue fires nothing.
class ScrollBar : public Bound<Component> {
    S_POOLED_CLASS(ScrollBar, "s_gui_os_ScrollBar")
public:
    enum Event : int32_t { Scrolled = 1 };

    ScrollBar() = default;

    void setAxis(int32_t axis);
    int32_t getAxis() const { return m_axis; }
    void setRange(int32_t minimum, int32_t maximum, int32_t page);
    void setValue(int32_t value);
    int32_t getValue() const { return m_value; }
    int32_t getMinimum() const { return m_minimum; }
    int32_t getMaximum() const { return m_maximum; }
    int32_t getPage() const { return m_page; }
    void addScrollListener(events::IEventListener* listener) { m_scrollListeners.add(listener); }

    // The binding reports here (GUI thread).
    void userMoved(int32_t value);

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void applyStyle() override;
    void afterCreate() override;

private:
    int32_t m_axis { 1 };
    int32_t m_minimum { 0 };
    int32_t m_maximum { 0 };
    int32_t m_page { 1 };
    int32_t m_value { 0 };
    events::ListenerList m_scrollListeners;
};

}
