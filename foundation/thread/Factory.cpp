#include "foundation/thread/Factory.h"

#include <cstdlib>
#include <cstring>

namespace s::thread {

Factory::Factory(size_t recordBytes, bool accounting)
    : m_recordBytes(recordBytes)
{
    setAccounting(accounting);
}

Factory::~Factory()
{
    destroyKeptRecords();
}

void* Factory::generate()
{
    return std::calloc(1, m_recordBytes);
}

int64_t Factory::recordSize(void*)
{
    return static_cast<int64_t>(m_recordBytes);
}

void Factory::resetRecord(void* record)
{
    std::memset(record, 0, m_recordBytes);
}

void Factory::destroyRecord(void* record)
{
    std::free(record);
}

}
