#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

namespace s::gui::os {

// A text area of several lines. Code 1 to the change listeners whenever its text changed. Not
// editable means read-only. It grows with its container.
class TextEdit : public Bound<Component> {
    S_POOLED_CLASS(TextEdit, "s_gui_os_TextEdit")
public:
    enum Event : int32_t { Changed = 1 };

    TextEdit() = default;

    void addChangeListener(events::IEventListener* listener) { m_changeListeners.add(listener); }
    // Adds text at the end (and scrolls there).
    void appendText(std::u16string_view text);

    // The binding reports here (GUI thread).
    void edited(std::u16string_view text);

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void platformEditable(bool on) override;
    void afterCreate() override;
    void textChanged() override;

private:
    bool m_settingText { false };
    events::ListenerList m_changeListeners;
};

}
