#pragma once

#include "foundation/col/ArrayP.h"
#include "foundation/str/StrBuffer.h"

#include <cstdint>
#include <string_view>

namespace s::str::strarray {

// An array of text buffers that owns them: its cleaner is the text-buffer pool, so disposing of
// the elements (reset, release, freeStorage) returns every buffer to that pool. Removing an
// element does not dispose of it; the remover releases it or hands it on.
class StrArray final : public col::_array::ArrayP {
    S_POOLED_CLASS(StrArray, "s_str_strarray_StrArray")
public:
    StrArray();

    uint32_t size() const { return count(); }
    strbuffer::StrBuffer* at(uint32_t index) const { return static_cast<strbuffer::StrBuffer*>(items()[index]); }
    strbuffer::StrBuffer* operator[](uint32_t index) const { return at(index); }

    // Takes ownership of a buffer from its pool.
    void add(strbuffer::StrBuffer* text) { push(text); }
    void add(thread::Pooled<strbuffer::StrBuffer> text) { push(text.take()); }
    // A new buffer holding `text`, appended.
    strbuffer::StrBuffer* addCopy(std::u16string_view text);

protected:
    void describeElement(uint32_t index, std::string& out) const override;
};

}

namespace s::str {
using strarray::StrArray;
}
