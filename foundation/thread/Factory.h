#pragma once

#include "foundation/thread/PoolerBase.h"

#include <cstddef>

namespace s::thread {

// A pooler of zero-filled heap records of one fixed size. Subclasses whose records own
// memory of their own (the XML attribute records, say) free it in resetRecord/destroyRecord.
class Factory : public PoolerBase {
public:
    explicit Factory(size_t recordBytes, bool accounting = false);
    ~Factory() override;

    void* generate() override;
    int64_t recordSize(void* record) override;
    void resetRecord(void* record) override;
    void destroyRecord(void* record) override;

    size_t recordBytes() const { return m_recordBytes; }

    const char* className() const override { return "s_thread_Factory"; }

private:
    size_t m_recordBytes;
};

}
