#include "foundation/thread/EasyPooler.h"

#include <cassert>

namespace s::thread {

EasyPooler::EasyPooler(CreateFunction create, DestroyFunction destroy, ResetFunction reset, uint32_t maxFree)
    : m_maxFree(maxFree)
    , m_create(create)
    , m_destroy(destroy)
    , m_reset(reset)
{
    assert(create && destroy && reset);
}

EasyPooler::~EasyPooler()
{
    std::vector<void*> free;
    {
        std::scoped_lock lock(m_locker);
        free.swap(m_free);
    }
    for (void* object : free)
        m_destroy(object);
}

void* EasyPooler::get()
{
    {
        std::scoped_lock lock(m_locker);
        if (!m_free.empty()) {
            void* object = m_free.back();
            m_free.pop_back();
            return object;
        }
    }
    return m_create();
}

void EasyPooler::release(void* object)
{
    assert(object);
    // Resetting happens before the lock is taken: a reset releases the objects this one owns into
    // their own pools (a node its children, say), and no pool lock is ever held while another
    // lock is taken. A pool that turns out to be full then destroys an already reset object.
    if (m_maxFree == 0) {
        m_destroy(object);
        return;
    }
    m_reset(object);
    {
        std::scoped_lock lock(m_locker);
        if (m_free.size() < m_maxFree) {
            m_free.push_back(object);
            return;
        }
    }
    m_destroy(object);
}

void EasyPooler::dispose(void*& object)
{
    if (!object)
        return;
    release(object);
    object = nullptr;
}

uint32_t EasyPooler::freeCount()
{
    std::scoped_lock lock(m_locker);
    return static_cast<uint32_t>(m_free.size());
}

}
