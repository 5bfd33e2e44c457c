#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

namespace s::gui::events {
class Editabler;
class UnEditabler;
}

namespace s::gui::os {

// A one-line text field, optionally hiding its text (password mode). Code 1: the user changed the
// text (only while change notification is on, the default); code 2: Enter was pressed (the key is
// consumed); code 3: the field lost the keyboard focus. Not editable means read-only.
class TextField : public Bound<Component> {
    S_POOLED_CLASS(TextField, "s_gui_os_TextField")
public:
    enum Event : int32_t { Changed = 1, EnterPressed = 2, FocusLost = 3 };

    TextField() = default;

    void setPassword(bool on);
    bool isPassword() const { return m_password; }
    void setChangeNotification(bool on)
    {
        S_ON_GUI_THREAD(setChangeNotification(on));
        m_notifyChanges = on;
    }
    void addChangeListener(events::IEventListener* listener) { m_changeListeners.add(listener); }
    void addEnterListener(events::IEventListener* listener) { m_enterListeners.add(listener); }
    void addFocusLostListener(events::IEventListener* listener) { m_focusListeners.add(listener); }

    // Binders for other fields: editable while this one fires its change listeners, say.
    void editableWhen(IComponent* c);
    void readOnlyWhen(IComponent* c);

    // The binding reports here (GUI thread).
    void userEdited(std::u16string_view text);
    void enterPressed()
    {
        S_ON_GUI_THREAD(enterPressed());
        m_enterListeners.fire(this, EnterPressed);
    }
    void focusLost()
    {
        S_ON_GUI_THREAD(focusLost());
        m_focusListeners.fire(this, FocusLost);
    }

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void platformEditable(bool on) override;
    void applyStyle() override;
    void fontChanged() override;
    void afterCreate() override { measure(); }

private:
    void measure();

    bool m_password { false };
    bool m_notifyChanges { true };
    events::Editabler* m_editabler { nullptr };
    events::UnEditabler* m_unEditabler { nullptr };
    events::ListenerList m_changeListeners;
    events::ListenerList m_enterListeners;
    events::ListenerList m_focusListeners;
};

}
