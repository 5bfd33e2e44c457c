#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace s::lang {
class Localizer;
}

namespace s::gui::menuitem {

// One entry of a menu: a command with a label that is either literal or looked up by text id, a
// check mark, a radio mark, or a separator line. Items are plain records that can be built on any
// thread; once an item is in a menu, the menu owns it and every change goes through the menu
// (setItemChecked, setItemLabel, ...), which keeps the shown menu in step.
class MenuItem final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(MenuItem, "s_gui_menuitem_MenuItem")
public:
    // Command ids are the application's; 0 is a valid one.
    static constexpr int32_t NoCommand = -1;
    static constexpr int32_t NoLabelId = -1;

    MenuItem() = default;
    void reset() override;

    // The label source for a text id; when unset, the menu's language service is asked.
    lang::Localizer* getLocalizer() const { return m_localizer; }
    void setLocalizer(lang::Localizer* localizer) { m_localizer = localizer; }

    const std::u16string& getLabel() const { return m_label; }
    // A literal label: the text id is dropped, so a language switch leaves it alone.
    void setLabel(std::u16string_view text);
    int32_t getLabelId() const { return m_labelId; }
    // Looks the label up at once (in the item's language service, else in fallback).
    void setLabelId(int32_t id, lang::Localizer* fallback = nullptr);
    // Looks the label of a text id up again; true when it changed. Literal labels stay.
    bool relabel(lang::Localizer* fallback);

    int32_t getCommandId() const { return m_separator ? NoCommand : m_commandId; }
    void setCommandId(int32_t id) { m_commandId = id < 0 ? NoCommand : id; }
    bool hasCommand(int32_t id) const { return id >= 0 && getCommandId() == id; }

    bool isChecked() const { return m_checked; }
    void setChecked(bool on);
    // A toggle shows its (empty) check box even while unchecked; checking an item makes it one.
    bool isCheckable() const { return m_checkable; }
    void setCheckable(bool on) { m_checkable = on; }
    // The marked item of a radio range (it is also the checked one of that range).
    bool isRadioMarked() const { return m_radioMarked; }
    void setRadioMarked(bool on) { m_radioMarked = on; }

    bool isSeparator() const { return m_separator; }
    void setSeparator(bool on) { m_separator = on; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }

    // An application value that items can be looked up by.
    intptr_t getData() const { return m_data; }
    void setData(intptr_t data) { m_data = data; }

private:
    lang::Localizer* m_localizer { nullptr };
    std::u16string m_label;
    int32_t m_labelId { NoLabelId };
    int32_t m_commandId { NoCommand };
    bool m_checked { false };
    bool m_checkable { false };
    bool m_radioMarked { false };
    bool m_separator { false };
    bool m_enabled { true };
    intptr_t m_data { 0 };
};

// An item labelled by a text id, in one step.
[[nodiscard]] MenuItem* makeMenuItem(int32_t labelId, lang::Localizer* localizer, int32_t commandId, bool checked = false);
// An item with a literal label.
[[nodiscard]] MenuItem* makeMenuItem(std::u16string_view label, int32_t commandId, bool checked = false);
[[nodiscard]] MenuItem* makeSeparator();

}
