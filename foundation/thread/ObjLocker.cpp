#include "foundation/thread/ObjLocker.h"

namespace s::thread {

ObjLocker::ObjLocker(void* guarded, DisposeFunction disposeFunction)
    : m_guarded(guarded)
    , m_disposeFunction(disposeFunction)
{
}

ObjLocker::ObjLocker(void* guarded, base::IDestructor* disposer)
    : m_guarded(guarded)
    , m_disposer(disposer)
{
}

ObjLocker::~ObjLocker()
{
    if (!m_guarded)
        return;
    if (m_disposeFunction)
        m_disposeFunction(m_guarded);
    else if (m_disposer)
        m_disposer->dispose(m_guarded);
    m_guarded = nullptr;
}

}
