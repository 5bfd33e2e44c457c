#pragma once

#include "foundation/base/IObject.h"
#include "foundation/str/Forward.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::str::strbuffer {

// A cursor over a text buffer's units; it does not own the buffer, which must outlive it and
// keep its block (no growth) while the cursor is used.
//
//     for (auto it = text->iteratorAtStart(); it->hasNext();) use(*it->next());
class Iterator final : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Iterator, "s_str_strbuffer_Iterator")
public:
    void reset() override
    {
        m_text = nullptr;
        m_index = 0;
    }

    void attach(const StrBuffer* text, int64_t index)
    {
        m_text = text;
        m_index = index;
    }

    const StrBuffer* text() const { return m_text; }
    int64_t index() const { return m_index; }

    // True while the position is on a unit of the text.
    bool hasNext() const;
    // The current unit's address; the position then moves one unit on.
    const char16_t* next();
    // True when there is a unit before the position.
    bool hasPrevious() const { return m_index > 0; }
    // Moves one unit back and returns that unit's address.
    const char16_t* previous();
    void skip(int64_t count) { m_index += count; }
    void skipBack(int64_t count) { m_index -= count; }

private:
    const StrBuffer* m_text { nullptr };
    int64_t m_index { 0 };
};

}
