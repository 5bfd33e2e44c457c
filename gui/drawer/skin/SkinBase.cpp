#include "gui/drawer/skin/SkinBase.h"

#include "gui/drawer/listbox/Thin.h"
#include "gui/drawer/statusbar/Thin.h"

namespace s::gui::drawer::skin {

IDrawer* SkinBase::getEntry(int32_t index) const
{
    switch (index) {
    case 0: return getWindow();
    case 1: return getButton();
    case 2: return getText();
    case 3: return getScrollBar();
    case 4: return getCheckBox();
    case 5: return getRadioButton();
    case 6: return getSlider();
    case 7: return getCounter();
    case 8: return getListHeader();
    case 9: return getList();
    case 10: return getStatusBar();
    case 11: return getMenuBar();
    case 12: return getCombo();
    case 13: return getGroupBox();
    case 14: return getTabBox();
    default: return nullptr;
    }
}

void SkinBase::reset()
{
    m_name.clear();
    m_window.replace();
    m_button.replace();
    m_text.replace();
    m_scrollBar.replace();
    m_checkBox.replace();
    m_radioButton.replace();
    m_slider.replace();
    m_counter.replace();
    m_listHeader.replace();
    m_list.replace();
    m_statusBar.replace();
    m_menuBar.replace();
    m_combo.replace();
    m_groupBox.replace();
    m_tabBox.replace();
}

void SkinBase::fillEntries()
{
    setWindow(window::Thin::get());
    setButton(button::Thin::get());
    setText(text::Basic::get());
    setScrollBar(scrollbar::Thin::get());
    setCheckBox(checkbox::Thin::get());
    setRadioButton(radiobutton::Thin::get());
    setSlider(slider::Thin::get());
    setCounter(counter::Basic::get());
    setListHeader(listheader::Thin::get());
    setList(listbox::Thin::get());
    setStatusBar(statusbar::Thin::get());
    setMenuBar(menu::Basic::get());
    setCombo(combo::Thin::get());
    setGroupBox(groupbox::Thin::get());
    setTabBox(tabbox::Thin::get());
}

}
