#include "gui/listbox2/DataType.h"

#include "formats/lang/Localizer.h"
#include "gui/listbox2/List.h"

namespace s::gui::listbox2 {

DataType::~DataType()
{
    if (m_localizer)
        m_localizer->removeListener(this);
}

void DataType::setTitle(std::u16string_view title)
{
    if (m_title.view() == title)
        return;
    m_title.clear();
    m_title.append(title);
    changed(false);
}

void DataType::setTitleId(lang::Localizer* localizer, int32_t titleId)
{
    if (m_localizer != localizer) {
        if (m_localizer)
            m_localizer->removeListener(this);
        m_localizer = localizer;
        if (m_localizer)
            m_localizer->addListener(this);
    }
    m_titleId = titleId;
    if (m_localizer && m_titleId != -1)
        setTitle(m_localizer->text(m_titleId));
}

void DataType::setSortable(bool sortable)
{
    if (m_sortable == sortable)
        return;
    m_sortable = sortable;
    changed(true);
}

void DataType::setComparator(Comparator comparator)
{
    if (m_comparator == comparator)
        return;
    m_comparator = comparator;
    changed(true);
}

void DataType::setAscending(bool ascending)
{
    if (m_ascending == ascending)
        return;
    m_ascending = ascending;
    changed(true);
}

void DataType::handle(base::IObject*, int32_t code)
{
    if (code == 0 && m_localizer)
        languageChanged(*m_localizer);
}

void DataType::languageChanged(lang::Localizer& localizer)
{
    if (m_titleId != -1)
        setTitle(localizer.text(m_titleId));
}

void DataType::changed(bool affectsSort)
{
    if (m_list)
        m_list->columnChanged(*this, affectsSort);
}

void DataType::reset()
{
    if (m_localizer)
        m_localizer->removeListener(this);
    m_localizer = nullptr;
    m_columnIndex = -1;
    m_list = nullptr;
    m_title.clear();
    m_titleId = -1;
    m_alignment = Alignment::Left;
    m_width = 0;
    m_sortable = false;
    m_comparator = nullptr;
    m_ascending = true;
    m_editable = false;
    m_showsFileIcon = false;
    m_checkColumn = false;
    m_treeColumn = false;
    m_buttonColumn = false;
}

}
