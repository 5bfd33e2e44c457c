#include "gui/listbox2/SubRecord.h"

namespace s::gui::listbox2 {

SubRecord::~SubRecord()
{
    disposeValue();
}

void SubRecord::disposeValue()
{
    if (m_value && m_valueCleaner) {
        void* object = reinterpret_cast<void*>(m_value);
        m_valueCleaner->dispose(object);
    }
    m_value = 0;
}

void SubRecord::setValue(CellValue value)
{
    if (value != m_value) {
        disposeValue();
        m_value = value;
    }
    m_textValid = false;
}

void SubRecord::assign(CellValue value, base::IDestructor* cleaner)
{
    setValue(value);
    m_valueCleaner = cleaner;
}

void SubRecord::setFormatter(Formatter formatter)
{
    if (formatter == m_formatter)
        return;
    m_formatter = formatter;
    m_textValid = false;
}

std::u16string_view SubRecord::text()
{
    if (!m_textValid)
        refreshText();
    return m_text.view();
}

void SubRecord::refreshText()
{
    m_text.clear();
    if (m_formatter)
        m_formatter(m_value, m_text);
    m_textValid = true;
}

void SubRecord::setAttachedPath(std::u16string_view path)
{
    m_attachedPath.clear();
    m_attachedPath.append(path);
}

void SubRecord::reset()
{
    disposeValue();
    m_row = nullptr;
    m_column = -1;
    m_valueCleaner = nullptr;
    m_formatter = nullptr;
    m_text.clear();
    m_textValid = false;
    m_attachedPath.clear();
    m_leading = false;
    m_checkState = 0;
}

}
