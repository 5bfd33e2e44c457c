#include "formats/xml/Attributes.h"

#include "formats/xml/AttrFactory.h"
#include "formats/xml/Text.h"

namespace s::xml {

Attributes::~Attributes()
{
    clear();
}

Attribute* Attributes::addRaw(const char16_t* name, const char16_t* value, int32_t valueLength)
{
    uint32_t length = valueLength < 0 ? text::length(value) : static_cast<uint32_t>(valueLength);
    return addRaw(name, text::length(name), value, length);
}

Attribute* Attributes::addRaw(const char16_t* name, uint32_t nameLength, const char16_t* value, uint32_t valueLength)
{
    Attribute* record = AttrFactory::instance().make(name, nameLength, value, valueLength);
    m_records.push_back(record);
    ++m_owned;
    return record;
}

void Attributes::append(Attribute* const* records, uint32_t count)
{
    if (m_records.empty())
        m_records.reserve(count + 1);
    m_records.insert(m_records.end(), records, records + count);
}

Attribute* Attributes::find(const char16_t* name) const
{
    uint32_t length = text::length(name);
    for (Attribute* record : m_records) {
        if (text::equalsIgnoreCase(record->name, record->nameLength, name, length))
            return record;
    }
    return nullptr;
}

Attribute* Attributes::firstText() const
{
    for (Attribute* record : m_records) {
        if (record->isText())
            return record;
    }
    return nullptr;
}

bool Attributes::removeByName(const char16_t* name)
{
    uint32_t length = text::length(name);
    for (size_t i = 0; i < m_records.size(); ++i) {
        Attribute* record = m_records[i];
        if (text::equalsIgnoreCase(record->name, record->nameLength, name, length)) {
            m_records.erase(m_records.begin() + static_cast<ptrdiff_t>(i));
            if (!record->borrowed) {
                --m_owned;
                AttrFactory::instance().give(record);
            }
            return true;
        }
    }
    return false;
}

void Attributes::clear()
{
    if (m_owned > 0) {
        AttrFactory& factory = AttrFactory::instance();
        for (Attribute* record : m_records)
            factory.give(record);
        m_owned = 0;
    }
    m_records.clear();
}

}
