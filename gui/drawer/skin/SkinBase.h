#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/checkbox/Thin.h"
#include "gui/drawer/combo/Thin.h"
#include "gui/drawer/counter/Basic.h"
#include "gui/drawer/groupbox/Thin.h"
#include "gui/drawer/listbox/Basic.h"
#include "gui/drawer/listheader/Thin.h"
#include "gui/drawer/menu/Basic.h"
#include "gui/drawer/radiobutton/Thin.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/slider/Thin.h"
#include "gui/drawer/statusbar/Basic.h"
#include "gui/drawer/tabbox/Thin.h"
#include "gui/drawer/text/Basic.h"
#include "gui/drawer/window/Thin.h"

#include <string>
#include <string_view>

namespace s::gui::drawer::skin {

// A named bundle of fifteen drawers, one per component kind. The skin owns them: setting an entry
// releases the drawer it held, resetting the skin releases all fifteen. Components that take a
// drawer from a skin do not own it.
class SkinBase : public base::IObject
    , public thread::IPoolable {
public:
    const std::u16string& getName() const { return m_name; }
    void setName(std::u16string_view name) { m_name = name; }

#define S_SKIN_ENTRY(Name, Type, member)                       \
    Type* get##Name() const { return member.get(); }           \
    void set##Name(Type* drawer) { member.replace(drawer); }

    S_SKIN_ENTRY(Window, window::Thin, m_window)
    S_SKIN_ENTRY(Button, button::Thin, m_button)
    S_SKIN_ENTRY(Text, text::Basic, m_text)
    S_SKIN_ENTRY(ScrollBar, scrollbar::Thin, m_scrollBar)
    S_SKIN_ENTRY(CheckBox, checkbox::Thin, m_checkBox)
    S_SKIN_ENTRY(RadioButton, radiobutton::Thin, m_radioButton)
    S_SKIN_ENTRY(Slider, slider::Thin, m_slider)
    S_SKIN_ENTRY(Counter, counter::Basic, m_counter)
    S_SKIN_ENTRY(ListHeader, listheader::Thin, m_listHeader)
    S_SKIN_ENTRY(List, listbox::Basic, m_list)
    S_SKIN_ENTRY(StatusBar, statusbar::Basic, m_statusBar)
    S_SKIN_ENTRY(MenuBar, menu::Basic, m_menuBar)
    S_SKIN_ENTRY(Combo, combo::Thin, m_combo)
    S_SKIN_ENTRY(GroupBox, groupbox::Thin, m_groupBox)
    S_SKIN_ENTRY(TabBox, tabbox::Thin, m_tabBox)
#undef S_SKIN_ENTRY

    static constexpr int32_t EntryCount = 15;
    // The entries in their order (window first, tab box last), for walking all of them.
    IDrawer* getEntry(int32_t index) const;

    void reset() override;

protected:
    SkinBase() = default;

    // The drawers of a skin built from a palette; every entry gets a fresh drawer.
    void fillEntries();

private:
    std::u16string m_name;
    thread::Pooled<window::Thin> m_window { nullptr };
    thread::Pooled<button::Thin> m_button { nullptr };
    thread::Pooled<text::Basic> m_text { nullptr };
    thread::Pooled<scrollbar::Thin> m_scrollBar { nullptr };
    thread::Pooled<checkbox::Thin> m_checkBox { nullptr };
    thread::Pooled<radiobutton::Thin> m_radioButton { nullptr };
    thread::Pooled<slider::Thin> m_slider { nullptr };
    thread::Pooled<counter::Basic> m_counter { nullptr };
    thread::Pooled<listheader::Thin> m_listHeader { nullptr };
    thread::Pooled<listbox::Basic> m_list { nullptr };
    thread::Pooled<statusbar::Basic> m_statusBar { nullptr };
    thread::Pooled<menu::Basic> m_menuBar { nullptr };
    thread::Pooled<combo::Thin> m_combo { nullptr };
    thread::Pooled<groupbox::Thin> m_groupBox { nullptr };
    thread::Pooled<tabbox::Thin> m_tabBox { nullptr };
};

}
