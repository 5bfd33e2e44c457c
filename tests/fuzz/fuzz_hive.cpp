// Feeds arbitrary bytes to the text form of the registry file. Whatever the reader makes of them
// must write out in the canonical form: that text reads back to an equal tree, which writes the
// very same text again.
#include "formats/reg/HiveText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using s::reg::HiveKey;
using s::reg::HiveText;

namespace {

bool equalTrees(const HiveKey& a, const HiveKey& b)
{
    if (a.name != b.name || a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size())
        return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        const HiveKey::Value& x = a.values[i];
        const HiveKey::Value& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data)
            return false;
    }
    for (size_t i = 0; i < a.subkeys.size(); ++i) {
        if (!equalTrees(*a.subkeys[i], *b.subkeys[i]))
            return false;
    }
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HiveKey top;
    HiveText::read(std::string_view(reinterpret_cast<const char*>(data), size), top);
    std::string first = HiveText::write(top);
    HiveKey again;
    HiveText::read(first, again);
    if (!equalTrees(top, again))
        std::abort();
    if (HiveText::write(again) != first)
        std::abort();
    return 0;
}
