#include "foundation/file/os/FileInputStream.h"

#include "foundation/system/os/Eintr.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::file::os {

FileInputStream::~FileInputStream()
{
    close();
}

bool FileInputStream::open(const std::string& nativePath)
{
    close();
    m_bytesRead = 0;
    m_fd = system::os::retryOnEintr([&] { return ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC); });
    if (m_fd < 0)
        return false;
    posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool FileInputStream::read(void* buffer, uint32_t count, uint32_t& got)
{
    got = 0;
    if (m_fd < 0 || count == 0)
        return false;
    ssize_t n = system::os::retryOnEintr([&] { return ::read(m_fd, buffer, count); });
    if (n <= 0)
        return false;
    got = static_cast<uint32_t>(n);
    m_bytesRead += got;
    return true;
}

bool FileInputStream::close()
{
    if (m_fd < 0)
        return true;
    bool closed = system::os::closeDescriptor(m_fd);
    m_fd = -1;
    return closed;
}

int64_t FileInputStream::fileSize() const
{
    struct stat st;
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

void FileInputStream::reset()
{
    close();
    m_bytesRead = 0;
}

}
