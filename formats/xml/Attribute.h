#pragma once

#include <cstdint>

namespace s::xml {

// One attribute, or (with an empty name) one run of element text. The value is kept escaped,
// exactly as it stands between the quotes in a file; only the string getter decodes it.
// Name and value are heap texts owned by the record; records live in the AttrFactory pool,
// except those of a parsed document, which share its block.
struct Attribute {
    uint32_t nameLength;
    char16_t* name;
    uint32_t valueLength;
    char16_t* value;
    // Name, value and the record itself belong to a parsed document's block (TextArena) and
    // go with it, not with the record.
    bool borrowed;

    bool isText() const { return nameLength == 0; }
};

}
