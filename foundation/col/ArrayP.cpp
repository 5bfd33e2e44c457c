#include "foundation/col/ArrayP.h"

#include "foundation/cleaner/CleanerIObject.h"
#include "foundation/cleaner/CleanerPooledIObject.h"
#include "foundation/comp/CompP.h"

#include <cstdio>

namespace s::col::_array {

ArrayP::ArrayP(base::IDestructor* ownCleaner)
    : m_ownCleaner(ownCleaner)
{
    m_cleaner = ownCleaner;
}

ArrayP::~ArrayP()
{
    disposeAll();
}

void ArrayP::disposeAll()
{
    if (m_cleaner) {
        // The count drops first, so a cleaner that looks at this array sees it empty and no
        // element is disposed of twice.
        uint32_t n = m_count;
        m_count = 0;
        void** elements = items();
        for (uint32_t i = 0; i < n; ++i)
            m_cleaner->dispose(elements[i]);
    }
    m_count = 0;
}

void ArrayP::freeStorage()
{
    disposeAll();
    ArrayBase::freeStorage();
}

void ArrayP::reset()
{
    disposeAll();
    ArrayBase::reset();
    m_cleaner = m_ownCleaner;
}

CompareFunction ArrayP::defaultOrder() const
{
    return comp::CompP::order;
}

const base::IComparator& ArrayP::defaultComparator() const
{
    return comp::CompP::instance();
}

void ArrayP::describeElement(uint32_t index, std::string& out) const
{
    void* element = at(index);
    // Only the object cleaners promise that the elements are IObject pointers; other
    // elements may be of any type, so just their address is shown.
    bool objects = m_cleaner == &cleaner::CleanerIObject::instance() || m_cleaner == &cleaner::CleanerPooledIObject::instance();
    if (objects && element) {
        out += static_cast<const base::IObject*>(element)->className();
        out += '@';
    }
    char text[32];
    std::snprintf(text, sizeof text, "%p", element);
    out += text;
}

}
