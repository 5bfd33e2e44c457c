#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IGenerator.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/ObjLocker.h"

#include <cstdint>
#include <vector>

namespace s::thread {

// A pool of free objects of one class: a LIFO stack under its own lock. Objects are created and
// destroyed outside the lock, so a create or destroy may itself use other pools.
//
// Objects travel as void*; each pool's functions cast them back to their class, so an object
// must come back to the pool of exactly the class that made it (see poolOf<T>() in Pool.h).
class EasyPooler final : public base::IObject
    , public base::IGenerator
    , public base::IDestructor {
public:
    using CreateFunction = void* (*)();
    using DestroyFunction = void (*)(void*);
    using ResetFunction = void (*)(void*);

    static constexpr uint32_t defaultMaxFree = 1000;

    EasyPooler(CreateFunction create, DestroyFunction destroy, ResetFunction reset, uint32_t maxFree = defaultMaxFree);
    ~EasyPooler() override;

    EasyPooler(const EasyPooler&) = delete;
    EasyPooler& operator=(const EasyPooler&) = delete;

    // The most recently released object, or a new one.
    void* get();
    // Resets and keeps the object while fewer than maxFree are kept; destroys it otherwise.
    void release(void* object);

    void* generate() override { return get(); }
    void dispose(void*& object) override;

    uint32_t freeCount();
    uint32_t maxFree() const { return m_maxFree; }

    const char* className() const override { return "s_thread_EasyPooler"; }

private:
    ObjLocker m_locker;
    std::vector<void*> m_free;
    uint32_t m_maxFree;
    CreateFunction m_create;
    DestroyFunction m_destroy;
    ResetFunction m_reset;
};

}
