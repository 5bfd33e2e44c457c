#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/col/ArrayOf.h"

namespace s::col::_array {

// An array of object pointers. With a cleaner it owns its elements: freeStorage(), reset()
// (and so release()) and destruction dispose of every element through the cleaner. Removing
// elements (removeAt, drop..., take...) and clear() never dispose: whoever removes an element
// passes it on or to the cleaner.
//
// Elements are stored as the cleaner expects them (a T* for the pool of T, an IObject* for
// CleanerIObject), so put them in as that type converted to void*.
//
// Subclasses that always own their elements the same way (an array of text buffers whose
// cleaner is the text-buffer pool) pass that cleaner to the protected constructor: reset keeps
// it, while a plain ArrayP comes back from its pool with no cleaner.
class ArrayP : public ArrayOf<void*> {
    S_POOLED_CLASS(ArrayP, "s_col__array_ArrayP")
public:
    ArrayP() = default;
    ~ArrayP() override;

    base::IDestructor* cleaner() const { return m_cleaner; }
    void setCleaner(base::IDestructor* cleaner) { m_cleaner = cleaner; }

    // Disposes of every element through the cleaner (when there is one) and empties the array,
    // keeping the block.
    void disposeAll();

    void freeStorage() override;
    void reset() override;

    ElementType elementType() const override { return ElementType::P; }
    const base::IComparator& defaultComparator() const override;

protected:
    explicit ArrayP(base::IDestructor* ownCleaner);

    // Shows the pointer value, after the class name when the cleaner is one of the object
    // cleaners (CleanerIObject, CleanerPooledIObject). Subclasses whose elements are objects
    // show more.
    void describeElement(uint32_t index, std::string& out) const override;
    CompareFunction defaultOrder() const override;

private:
    base::IDestructor* m_ownCleaner { nullptr };
};

}
