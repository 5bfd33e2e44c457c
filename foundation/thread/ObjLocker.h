#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IObject.h"

#include <mutex>

namespace s::thread {

// The library's re-entrant lock. On its own it is a mutex; holding a guarded object it is a
// process-wide shared object together with the lock that guards it, and disposes of the
// object when the locker goes.
//
// Meets BasicLockable and Lockable, so std::scoped_lock / std::unique_lock work with it.
class ObjLocker final : public base::IObject {
public:
    using DisposeFunction = void (*)(void*);

    ObjLocker() = default;
    ObjLocker(void* guarded, DisposeFunction disposeFunction);
    ObjLocker(void* guarded, base::IDestructor* disposer);

    // A guarded object disposed of by plain deletion.
    template<class T>
    static ObjLocker* guarding(T* guarded)
    {
        return new ObjLocker(guarded, [](void* p) { delete static_cast<T*>(p); });
    }

    ~ObjLocker() override;

    ObjLocker(const ObjLocker&) = delete;
    ObjLocker& operator=(const ObjLocker&) = delete;

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool try_lock() { return m_mutex.try_lock(); }

    void* guarded() const { return m_guarded; }
    template<class T>
    T* guardedAs() const { return static_cast<T*>(m_guarded); }

    const char* className() const override { return "s_thread_ObjLocker"; }

private:
    void* m_guarded { nullptr };
    DisposeFunction m_disposeFunction { nullptr };
    base::IDestructor* m_disposer { nullptr };
    std::recursive_mutex m_mutex;
};

}
