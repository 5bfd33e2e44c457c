#pragma once

#include <cstdint>

namespace s::io {

class IOutputStream {
public:
    virtual ~IOutputStream() = default;

    // Writes count bytes; false when not all of them could be written.
    virtual bool write(const void* data, uint32_t count, uint32_t& written) = 0;
    virtual bool flush() { return true; }
};

}
