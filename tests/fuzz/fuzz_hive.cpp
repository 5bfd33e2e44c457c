// Feeds arbitrary bytes to the registry hive-file reader. The written form of whatever was read
// must read back to the very same tree (the writer's output is canonical).
#include "formats/reg/os/Hive.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using s::reg::os::Hive;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Hive::Key top;
    Hive::fromText(std::string_view(reinterpret_cast<const char*>(data), size), top);
    std::string first = Hive::toText(top);
    Hive::Key again;
    Hive::fromText(first, again);
    std::string second = Hive::toText(again);
    if (first != second)
        std::abort();
    return 0;
}
