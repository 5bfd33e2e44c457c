#pragma once

#include "foundation/io/IOutputStream.h"

#include <cstdint>

namespace s::file {

enum class SeekOrigin {
    Begin,
    Current,
    End,
};

// A file opened for writing through a buffer. A stream whose open failed has no file: every
// write reports false.
class IFileOutputStream : public io::IOutputStream {
public:
    virtual bool isOpen() const = 0;
    // Flushes, then closes; false when buffered bytes could not be written.
    virtual bool close() = 0;
    // Flushes, then moves the file position; a negative offset from Current goes backward.
    virtual bool seek(int64_t offset, SeekOrigin origin) = 0;
    // The position the next write goes to, buffered bytes included.
    virtual uint64_t position() const = 0;
    // Flushes and asks the system to put the file's data on disk.
    virtual bool sync() = 0;
};

}
