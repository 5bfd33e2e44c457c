#pragma once

#include "formats/reg/ValueType.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace s::reg {

// One key of a registry tree held in memory: its values and its subkeys, in the order they were
// made. Key and value names compare ignoring (ASCII) case and keep the case they were made with.
// The top of a tree is a key without a name whose subkeys are the roots ("HKEY_CURRENT_USER").
class HiveKey {
public:
    struct Value {
        std::u16string name; // empty for the default value "@"
        ValueType type { ValueType::None };
        std::vector<uint8_t> data;
    };

    // As deep as the platform's registry lets keys nest (root included); it also bounds the
    // recursion of writing and freeing a tree.
    static constexpr size_t maxDepth = 512;

    std::u16string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<HiveKey>> subkeys;

    HiveKey* findSubkey(std::u16string_view name) const;
    Value* findValue(std::u16string_view name);
    // The subkey of that name, made (at the end) when there is none.
    HiveKey* findOrAddSubkey(std::u16string_view name);

    static bool namesEqual(std::u16string_view a, std::u16string_view b);
    // The names of a key path: separated by "\" or "/", empty parts dropped.
    static std::vector<std::u16string_view> splitPath(std::u16string_view path);
    // A key line starting "[-" deletes a key, so no root may be named with a leading "-".
    static bool isRootPath(const std::vector<std::u16string_view>& parts);
    // A name the file can hold in a quoted line: no control characters, no lone surrogates.
    static bool isPlainText(std::u16string_view text);
};

}
