#pragma once

#include "foundation/base/IObject.h"
#include "foundation/file/IFileInputStream.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>

namespace s::file::os {

// A file read in sequence. Releasing the stream closes the file.
class FileInputStream final : public IFileInputStream
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(FileInputStream, "s_file_os_FileInputStream")
public:
    FileInputStream() = default;
    ~FileInputStream() override;

    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

    // Opens the file at a system path (UTF-8 bytes); closes any file open before.
    bool open(const std::string& nativePath);

    // One system read: true with got > 0, false with got = 0 at the end of the file or on an error.
    bool read(void* buffer, uint32_t count, uint32_t& got) override;

    bool isOpen() const override { return m_fd >= 0; }
    bool close() override;
    uint64_t bytesRead() const override { return m_bytesRead; }
    // The file's size now, or -1.
    int64_t fileSize() const;
    int fd() const { return m_fd; }

    void reset() override;

private:
    int m_fd { -1 };
    uint64_t m_bytesRead { 0 };
};

}
