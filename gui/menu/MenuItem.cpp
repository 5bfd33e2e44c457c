#include "gui/menu/MenuItem.h"

#include "formats/lang/Localizer.h"

namespace s::gui::menuitem {

void MenuItem::reset()
{
    *this = MenuItem {};
}

void MenuItem::setLabel(std::u16string_view text)
{
    m_labelId = NoLabelId;
    m_label.assign(text);
}

void MenuItem::setLabelId(int32_t id, lang::Localizer* fallback)
{
    m_labelId = id < 0 ? NoLabelId : id;
    relabel(fallback);
}

bool MenuItem::relabel(lang::Localizer* fallback)
{
    if (m_labelId < 0)
        return false;
    lang::Localizer* source = m_localizer ? m_localizer : fallback;
    if (!source)
        return false;
    std::u16string_view text = source->text(m_labelId);
    if (text == m_label)
        return false;
    m_label.assign(text);
    return true;
}

void MenuItem::setChecked(bool on)
{
    m_checked = on;
    if (on)
        m_checkable = true;
}

MenuItem* makeMenuItem(int32_t labelId, lang::Localizer* localizer, int32_t commandId, bool checked)
{
    MenuItem* item = MenuItem::get();
    item->setLocalizer(localizer);
    item->setCommandId(commandId);
    item->setChecked(checked);
    item->setLabelId(labelId);
    return item;
}

MenuItem* makeMenuItem(std::u16string_view label, int32_t commandId, bool checked)
{
    MenuItem* item = MenuItem::get();
    item->setLabel(label);
    item->setCommandId(commandId);
    item->setChecked(checked);
    return item;
}

MenuItem* makeSeparator()
{
    MenuItem* item = MenuItem::get();
    item->setSeparator(true);
    return item;
}

}
