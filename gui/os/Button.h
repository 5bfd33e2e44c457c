#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

namespace s::gui::os {

// A push button sized to its caption. Code 1 goes to the click listeners; a toggle button then
// flips its state and fires code 2 to the toggle listeners; with auto-repeat on, holding the
// button fires code 3 to the repeat listeners, first after a delay and then every 100 ms.
class Button : public Bound<Component> {
    S_POOLED_CLASS(Button, "s_gui_os_Button")
public:
    enum Event : int32_t { Clicked = 1, Toggled = 2, Repeated = 3 };

    Button() = default;

    void addClickListener(events::IEventListener* listener) { m_clickListeners.add(listener); }
    void addToggleListener(events::IEventListener* listener) { m_toggleListeners.add(listener); }
    void addRepeatListener(events::IEventListener* listener) { m_repeatListeners.add(listener); }

    void setToggle(bool on) { m_toggle = on; }
    bool isToggle() const { return m_toggle; }
    bool isToggled() const { return m_toggled; }
    void setToggled(bool on);
    void setAutoRepeat(bool on);
    // Off: the size stays what the program sets.
    void setAutoSize(bool on) { m_autoSize = on; }

    // The binding reports here (GUI thread); a program may click too.
    void click();
    void repeatTick() { m_repeatListeners.fire(this, Repeated); }

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void applyStyle() override;
    void textChanged() override;

private:
    bool m_toggle { false };
    bool m_toggled { false };
    bool m_autoRepeat { false };
    bool m_autoSize { true };
    events::ListenerList m_clickListeners;
    events::ListenerList m_toggleListeners;
    events::ListenerList m_repeatListeners;
};

}
