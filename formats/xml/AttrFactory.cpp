#include "formats/xml/AttrFactory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace s::xml {

AttrFactory& AttrFactory::instance()
{
    static AttrFactory factory;
    return factory;
}

AttrFactory::AttrFactory()
    : Factory(sizeof(Attribute))
{
}

AttrFactory::~AttrFactory()
{
    destroyKeptRecords();
}

// Name and value share one block (name, NUL, value, NUL): half the allocations of a document
// with many attributes, and records are never edited in place.
Attribute* AttrFactory::make(const char16_t* name, uint32_t nameLength, const char16_t* value, uint32_t valueLength)
{
    Attribute* record = take();
    size_t units = static_cast<size_t>(nameLength) + 1 + valueLength + 1;
    auto* block = static_cast<char16_t*>(std::malloc(units * sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    if (nameLength)
        std::memcpy(block, name, nameLength * sizeof(char16_t));
    block[nameLength] = 0;
    char16_t* valueStart = block + nameLength + 1;
    if (valueLength)
        std::memcpy(valueStart, value, valueLength * sizeof(char16_t));
    valueStart[valueLength] = 0;
    record->nameLength = nameLength;
    record->name = block;
    record->valueLength = valueLength;
    record->value = valueStart;
    return record;
}

void AttrFactory::resetRecord(void* record)
{
    auto* a = static_cast<Attribute*>(record);
    std::free(a->name);
    std::memset(a, 0, sizeof(Attribute));
}

void AttrFactory::destroyRecord(void* record)
{
    resetRecord(record);
    Factory::destroyRecord(record);
}

}
