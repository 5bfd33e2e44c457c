#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

namespace s::gui::events {
class Enabler;
class Disabler;
}

namespace s::gui::os {

// A check box sized to its caption. Code 1 goes to the checked listeners when it becomes
// checked, code 2 to the unchecked listeners when it becomes unchecked, by the user or by the
// program; setting the state it already has fires nothing.
class CheckBox : public Bound<Component> {
    S_POOLED_CLASS(CheckBox, "s_gui_os_CheckBox")
public:
    enum Event : int32_t { Checked = 1, Unchecked = 2 };

    CheckBox() = default;

    bool isChecked() const
    {
        S_ON_GUI_THREAD(isChecked());
        return m_checked;
    }
    void setChecked(bool on);
    void addCheckedListener(events::IEventListener* listener) { m_checkedListeners.add(listener); }
    void addUncheckedListener(events::IEventListener* listener) { m_uncheckedListeners.add(listener); }

    // Binders: c becomes enabled when this box is checked / disabled when it is unchecked.
    void enableWhenChecked(IComponent* c);
    void disableWhenUnchecked(IComponent* c);
    // Both.
    void bindEnabled(IComponent* c);

    void setAutoSize(bool on) { m_autoSize = on; }

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void applyStyle() override;
    void textChanged() override;

private:
    bool m_checked { false };
    bool m_autoSize { true };
    events::Enabler* m_enabler { nullptr };
    events::Disabler* m_disabler { nullptr };
    events::ListenerList m_checkedListeners;
    events::ListenerList m_uncheckedListeners;
};

}
