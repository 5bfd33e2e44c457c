#pragma once

#include "foundation/io/IInputStream.h"

#include <cstdint>

namespace s::file {

// A file opened for reading. A stream whose open failed has no file: every read reports false.
class IFileInputStream : public io::IInputStream {
public:
    virtual bool isOpen() const = 0;
    virtual bool close() = 0;
    // Bytes read since the open.
    virtual uint64_t bytesRead() const = 0;
};

}
