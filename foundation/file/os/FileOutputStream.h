#pragma once

#include "foundation/base/IObject.h"
#include "foundation/file/IFileOutputStream.h"
#include "foundation/io/IInputStream.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <memory>
#include <string>

#include <sys/types.h>

namespace s::file::os {

// A file written through a 65536-byte buffer, so documents go out in few system calls: a write
// fills the buffer, and only when it is full and more data remains does the buffer go to the
// file in one system write. flush(), seek(), read() and close() send what is buffered.
//
// After a failed system write the stream stays failed: later flushes and the close report
// false, so a caller never takes a short file for a saved one.
class FileOutputStream final : public IFileOutputStream
    , public io::IInputStream
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(FileOutputStream, "s_file_os_FileOutputStream")
public:
    static constexpr uint32_t bufferSize = 65536;
    // Each free stream keeps its buffer, so the pool keeps few.
    static constexpr uint32_t poolMaxFree = 16;

    // The system write the buffer goes out through; tests put a counting one in its place.
    using WriteFunction = ssize_t (*)(int fd, const void* data, size_t count);

    FileOutputStream() = default;
    ~FileOutputStream() override;

    FileOutputStream(const FileOutputStream&) = delete;
    FileOutputStream& operator=(const FileOutputStream&) = delete;

    // Opens for reading and writing, creating the file; truncates it unless append, in which
    // case the position is the file's end. Closes any file open before.
    bool open(const std::string& nativePath, bool append);

    bool write(const void* data, uint32_t count, uint32_t& written) override;
    bool flush() override;
    // Reads at the current position, after sending what is buffered.
    bool read(void* buffer, uint32_t count, uint32_t& got) override;

    bool isOpen() const override { return m_fd >= 0; }
    bool close() override;
    bool seek(int64_t offset, SeekOrigin origin) override;
    uint64_t position() const override { return m_position; }
    bool sync() override;

    uint32_t bufferedBytes() const { return m_fill; }
    bool failed() const { return m_failed; }
    // Null restores the system's write.
    void setWriteFunction(WriteFunction function);

    void reset() override;

private:
    bool writeOut(const uint8_t* data, size_t count);

    int m_fd { -1 };
    std::unique_ptr<uint8_t[]> m_buffer;
    uint32_t m_fill { 0 };
    uint64_t m_position { 0 };
    bool m_failed { false };
    WriteFunction m_writeFunction { nullptr };
};

}
