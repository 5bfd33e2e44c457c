#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/TextStyle.h"
#include "gui/os/Bound.h"
#include "gui/os/SkinLink.h"

class QPainter;

namespace s::gui::drawer::button {
class Thin;
}

namespace s::gui::os {

// A push button sized to its caption. Code 1 goes to the click listeners; a toggle button then
// flips its state and fires code 2 to the toggle listeners; with auto-repeat on, holding the
// button fires code 3 to the repeat listeners, first after a delay and then every 100 ms.
//
// With a button drawer the button paints itself through it (hover 0/1/2, raised, toggle state,
// drawn inverted, tab look), else the platform style paints it. A button named "#Resizer" is a size
// grip: a press starts resizing the window from its bottom-right corner.
class Button : public Bound<Component>
    , public ISkinnable {
    S_POOLED_CLASS(Button, "s_gui_os_Button")
public:
    enum Event : int32_t { Clicked = 1, Toggled = 2, Repeated = 3 };
    static constexpr std::u16string_view ResizerName = u"#Resizer";

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

    // The drawer paints the button from now on. An owned drawer is released when it is replaced or
    // the button is reset; attaching copies its text styles onto the button's normal, checked and
    // disabled fonts. Null goes back to the platform's look. Runs on the GUI thread once created.
    void setDrawer(drawer::button::Thin* drawer, bool own);
    drawer::button::Thin* getDrawer() const { return m_drawer; }
    bool ownsDrawer() const { return m_ownsDrawer; }

    void setRaised(bool on);
    bool isRaised() const { return m_raised; }
    // Off: a toggled button stays toggled when clicked again.
    void setUntoggleAllowed(bool on) { m_untoggleAllowed = on; }
    bool isUntoggleAllowed() const { return m_untoggleAllowed; }
    void setDrawnInverted(bool on);
    void setTabLook(bool on);
    bool isTabLook() const { return m_tabLook; }

    // The fonts of the three looks: the caption's font with the style of that look applied.
    FontDescription normalFont() const;
    FontDescription checkedFont() const;
    FontDescription disabledFont() const;

    // The binding reports here (GUI thread); a program may click too.
    void click();
    void repeatTick() { m_repeatListeners.fire(this, Repeated); }
    // Paints through the drawer (GUI thread); state 0 normal, 1 hot, 2 pressed.
    void paintWith(QPainter& painter, int32_t width, int32_t height, int32_t state) const;
    bool isResizer() const { return m_text == ResizerName; }

    // Takes the drawer of the window's skin, if the window has a skinner (GUI thread).
    void followSkin() override;

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void applyStyle() override;
    void textChanged() override;
    void afterCreate() override;
    void beforeDestroy() override;

private:
    void takeDrawer(drawer::button::Thin* drawer, bool own);
    void releaseDrawer();

    bool m_toggle { false };
    bool m_toggled { false };
    bool m_autoRepeat { false };
    bool m_autoSize { true };
    bool m_raised { true };
    bool m_untoggleAllowed { true };
    bool m_drawnInverted { false };
    bool m_tabLook { false };
    drawer::button::Thin* m_drawer { nullptr };
    bool m_ownsDrawer { false };
    // Copies of the drawer's styles, taken when it was attached.
    TextStyle m_normalStyle;
    TextStyle m_checkedStyle;
    TextStyle m_disabledStyle;
    // A drawer the program set stays when the window's skin changes.
    bool m_drawerFromProgram { false };
    SkinLink m_skinLink;
    events::ListenerList m_clickListeners;
    events::ListenerList m_toggleListeners;
    events::ListenerList m_repeatListeners;
};

}
