#include "foundation/thread/PoolerBase.h"

#include <cassert>

namespace s::thread {

PoolerBase::~PoolerBase()
{
    // A subclass must have emptied the pool: its destroyRecord is gone by now.
    assert(m_free.empty());
}

int64_t PoolerBase::recordSize(void*)
{
    return defaultMaxRecordSize;
}

void PoolerBase::put(void* record, int64_t size)
{
    if (!record)
        return;
    if (m_accounting && size < 0)
        size = recordSize(record);
    if (m_maxFree == 0 || (m_accounting && size > m_maxRecordSize)) {
        destroyRecord(record);
        return;
    }
    // Resetting happens before the lock is entered: a reset may give what the record holds back
    // to other pools, and no pool lock is held while another lock is taken. A pool that turns out
    // to be full then destroys an already reset record.
    resetRecord(record);
    {
        std::scoped_lock lock(m_locker);
        bool keep = m_free.size() < m_maxFree;
        if (keep && m_accounting)
            keep = m_totalSize + size <= m_maxTotalSize;
        if (keep) {
            m_free.push_back(record);
            if (m_accounting)
                m_totalSize += size;
            return;
        }
    }
    destroyRecord(record);
}

void* PoolerBase::get()
{
    void* record = nullptr;
    {
        std::scoped_lock lock(m_locker);
        if (!m_free.empty()) {
            record = m_free.back();
            m_free.pop_back();
        }
    }
    if (!record)
        return generate();
    if (m_accounting) {
        // Asked outside the lock, like every other call into the subclass.
        int64_t size = recordSize(record);
        std::scoped_lock lock(m_locker);
        m_totalSize -= size;
    }
    return record;
}

void PoolerBase::dispose(void*& record)
{
    if (!record)
        return;
    put(record);
    record = nullptr;
}

uint32_t PoolerBase::freeCount()
{
    std::scoped_lock lock(m_locker);
    return static_cast<uint32_t>(m_free.size());
}

int64_t PoolerBase::totalSize()
{
    std::scoped_lock lock(m_locker);
    return m_totalSize;
}

void PoolerBase::destroyKeptRecords()
{
    std::vector<void*> free;
    {
        std::scoped_lock lock(m_locker);
        free.swap(m_free);
        m_totalSize = 0;
    }
    for (void* record : free)
        destroyRecord(record);
}

void PoolerBase::setLimits(uint32_t maxFree, int64_t maxRecordSize, int64_t maxTotalSize)
{
    m_maxFree = maxFree;
    m_maxRecordSize = maxRecordSize;
    m_maxTotalSize = maxTotalSize;
}

}
