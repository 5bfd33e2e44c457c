#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IGenerator.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/ObjLocker.h"

#include <cstdint>
#include <vector>

namespace s::thread {

// A pool of raw records (not objects), optionally limited by the bytes it keeps. Subclasses
// say how a record is made (`generate`), cleared for reuse and destroyed. The pool's lock guards
// only its free list: generate, recordSize, resetRecord and destroyRecord run outside it, so they
// may use other pools (or this one).
class PoolerBase : public base::IObject
    , public base::IGenerator
    , public base::IDestructor {
public:
    static constexpr uint32_t defaultMaxFree = 1000;
    static constexpr int64_t defaultMaxRecordSize = 1024;
    static constexpr int64_t defaultMaxTotalSize = 102400;

    PoolerBase() = default;
    ~PoolerBase() override;

    PoolerBase(const PoolerBase&) = delete;
    PoolerBase& operator=(const PoolerBase&) = delete;

    virtual int64_t recordSize(void* record);
    // Keeps the record for reuse or destroys it; size -1 asks recordSize.
    virtual void put(void* record, int64_t size = -1);
    // A kept record, or a new one from generate().
    virtual void* get();
    virtual void resetRecord(void* record) = 0;
    virtual void destroyRecord(void* record) = 0;

    void dispose(void*& record) override;

    uint32_t freeCount();
    int64_t totalSize();
    bool accounting() const { return m_accounting; }

    const char* className() const override { return "s_thread_PoolerBase"; }

protected:
    // Destroys the kept records; a subclass calls it from its own destructor, while its
    // destroyRecord still exists.
    void destroyKeptRecords();
    void setAccounting(bool on) { m_accounting = on; }
    void setLimits(uint32_t maxFree, int64_t maxRecordSize, int64_t maxTotalSize);

private:
    ObjLocker m_locker;
    std::vector<void*> m_free;
    uint32_t m_maxFree { defaultMaxFree };
    int64_t m_maxRecordSize { defaultMaxRecordSize };
    int64_t m_maxTotalSize { defaultMaxTotalSize };
    int64_t m_totalSize { 0 };
    bool m_accounting { false };
};

}
