#include "foundation/file/os/FileOutputStream.h"

#include "foundation/system/os/Eintr.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace s::file::os {

FileOutputStream::~FileOutputStream()
{
    close();
}

bool FileOutputStream::open(const std::string& nativePath, bool append)
{
    close();
    m_fill = 0;
    m_position = 0;
    m_failed = false;
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | (append ? 0 : O_TRUNC);
    m_fd = system::os::retryOnEintr([&] { return ::open(nativePath.c_str(), flags, 0666); });
    if (m_fd < 0)
        return false;
    if (append) {
        off_t end = lseek(m_fd, 0, SEEK_END);
        if (end < 0) {
            close();
            return false;
        }
        m_position = static_cast<uint64_t>(end);
    }
    return true;
}

bool FileOutputStream::write(const void* data, uint32_t count, uint32_t& written)
{
    written = 0;
    if (m_fd < 0 || m_failed)
        return false;
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<uint8_t[]>(bufferSize);
    auto* from = static_cast<const uint8_t*>(data);
    while (count > 0) {
        // A full buffer goes out only when more data is waiting, so a write that exactly
        // fills it still leaves it for the next write or the flush.
        if (m_fill == bufferSize && !flush())
            return false;
        uint32_t n = std::min(count, bufferSize - m_fill);
        std::memcpy(m_buffer.get() + m_fill, from, n);
        m_fill += n;
        from += n;
        count -= n;
        written += n;
        m_position += n;
    }
    return true;
}

bool FileOutputStream::writeOut(const uint8_t* data, size_t count)
{
    WriteFunction writeFunction = m_writeFunction ? m_writeFunction : ::write;
    while (count > 0) {
        ssize_t n = system::os::retryOnEintr([&] { return writeFunction(m_fd, data, count); });
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        data += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool FileOutputStream::flush()
{
    if (m_fd < 0 || m_failed)
        return false;
    if (m_fill == 0)
        return true;
    uint32_t fill = std::exchange(m_fill, 0);
    return writeOut(m_buffer.get(), fill);
}

bool FileOutputStream::read(void* buffer, uint32_t count, uint32_t& got)
{
    got = 0;
    if (count == 0 || !flush())
        return false;
    ssize_t n = system::os::retryOnEintr([&] { return ::read(m_fd, buffer, count); });
    if (n <= 0)
        return false;
    got = static_cast<uint32_t>(n);
    m_position += got;
    return true;
}

bool FileOutputStream::seek(int64_t offset, SeekOrigin origin)
{
    if (!flush())
        return false;
    int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::End ? SEEK_END : SEEK_CUR;
    off_t at = lseek(m_fd, static_cast<off_t>(offset), whence);
    if (at < 0)
        return false;
    m_position = static_cast<uint64_t>(at);
    return true;
}

bool FileOutputStream::sync()
{
    return flush() && fsync(m_fd) == 0;
}

bool FileOutputStream::close()
{
    if (m_fd < 0)
        return !m_failed;
    bool flushed = flush();
    bool closed = system::os::closeDescriptor(m_fd);
    m_fd = -1;
    m_fill = 0;
    return flushed && closed;
}

void FileOutputStream::setWriteFunction(WriteFunction function)
{
    m_writeFunction = function;
}

void FileOutputStream::reset()
{
    close();
    m_fill = 0;
    m_position = 0;
    m_failed = false;
    m_writeFunction = nullptr;
}

}
