#pragma once

#include "formats/xml/Attribute.h"
#include "formats/xml/IXml.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <vector>

namespace s::xml {

// The ordered attribute records of one element, owned: records removed or cleared go back to
// the AttrFactory. Names need not be unique; lookups find the first match ignoring case.
class Attributes final : public IXml
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Attributes, "s_xml_Attributes")
public:
    Attributes() = default;
    ~Attributes() override;
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;

    void reset() override { clear(); }

    uint32_t count() const { return static_cast<uint32_t>(m_records.size()); }
    Attribute* at(uint32_t index) const { return m_records[index]; }

    // Appends a record; the value is stored as given (escaped form). Length -1 = up to NUL.
    Attribute* addRaw(const char16_t* name, const char16_t* value, int32_t valueLength = -1);
    Attribute* addRaw(const char16_t* name, uint32_t nameLength, const char16_t* value, uint32_t valueLength);
    // Appends a record this list now owns.
    void append(Attribute* record)
    {
        m_records.push_back(record);
        if (!record->borrowed)
            ++m_owned;
    }
    // Appends records of a parsed document's block at once, with room for exactly them (and
    // one text entry) when the list is empty.
    void append(Attribute* const* records, uint32_t count);

    // The first record whose name equals the given one ignoring case, or null. A null or empty
    // name finds the first text entry.
    Attribute* find(const char16_t* name) const;
    // Removes the first record of that name and gives it back to the factory.
    bool removeByName(const char16_t* name);
    // The first text entry (record with an empty name), or null.
    Attribute* firstText() const;

    void clear();

private:
    std::vector<Attribute*> m_records;
    // Records that go back to the factory; the others belong to a parsed document's block, and
    // a list of only those is cleared without touching them.
    uint32_t m_owned { 0 };
};

}
