#pragma once

#include "foundation/thread/EasyPooler.h"
#include "foundation/thread/IPoolable.h"

#include <cassert>
#include <cstddef>
#include <utility>

namespace s::thread {

template<class T>
concept HasPoolMaxFree = requires { { T::poolMaxFree } -> std::convertible_to<uint32_t>; };

// The pool of class T, made on first use (thread-safe) and destroyed at process exit together
// with the free objects it keeps. A class keeps 1000 free objects unless it declares
// `static constexpr uint32_t poolMaxFree`.
template<class T>
EasyPooler& poolOf()
{
    static EasyPooler pool(
        []() -> void* {
            T* object = new T();
            object->reset();
            return object;
        },
        [](void* object) { delete static_cast<T*>(object); },
        [](void* object) { static_cast<T*>(object)->reset(); },
        [] {
            if constexpr (HasPoolMaxFree<T>)
                return static_cast<uint32_t>(T::poolMaxFree);
            else
                return EasyPooler::defaultMaxFree;
        }());
    return pool;
}

// Owns one pooled object and releases it when it goes, so ownership is visible in the types.
// `Pooled<StrBuffer> text;` takes a buffer from its pool; `take()` hands the object on.
template<class T>
class Pooled {
public:
    Pooled()
        : m_object(T::get())
    {
    }
    Pooled(std::nullptr_t) { }
    static Pooled adopt(T* object) { return Pooled(object, Adopt {}); }

    Pooled(Pooled&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    Pooled& operator=(Pooled&& other) noexcept
    {
        if (this != &other)
            replace(std::exchange(other.m_object, nullptr));
        return *this;
    }
    Pooled(const Pooled&) = delete;
    Pooled& operator=(const Pooled&) = delete;

    ~Pooled()
    {
        if (m_object)
            m_object->release();
    }

    T* get() const { return m_object; }
    T* operator->() const
    {
        assert(m_object);
        return m_object;
    }
    T& operator*() const
    {
        assert(m_object);
        return *m_object;
    }
    explicit operator bool() const { return m_object != nullptr; }

    // Gives up ownership: the caller now releases the object or hands it to an owner.
    [[nodiscard]] T* take() { return std::exchange(m_object, nullptr); }

    // Releases the current object (if any) and owns the given one.
    void replace(T* object = nullptr)
    {
        T* old = std::exchange(m_object, object);
        if (old)
            old->release();
    }

private:
    struct Adopt { };
    Pooled(T* object, Adopt)
        : m_object(object)
    {
    }

    T* m_object { nullptr };
};

}

// Declares the pool plumbing of a concrete pooled class: `Class::get()` takes one from the
// class's own pool, `release()` returns it there, and the class names itself. Every concrete
// pooled class uses it, derived ones too, so no object ever lands in its base class's pool.
#define S_POOLED_CLASS(Class, NameText)                                              \
public:                                                                              \
    static Class* get() { return static_cast<Class*>(::s::thread::poolOf<Class>().get()); } \
    void release() override { ::s::thread::poolOf<Class>().release(this); }        \
    const char* className() const override { return NameText; }                      \
    ::s::base::IObject* newInstance() const override { return get(); }               \
                                                                                     \
private:
