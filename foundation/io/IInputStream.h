#pragma once

#include <cstdint>

namespace s::io {

class IInputStream {
public:
    virtual ~IInputStream() = default;

    // Reads up to count bytes. True with the number read in got when at least one byte came;
    // false with got = 0 at the end of the data or on an error.
    virtual bool read(void* buffer, uint32_t count, uint32_t& got) = 0;
};

}
