#include "foundation/file/os/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::file::os {

namespace {

// Keeps the errno of the first failure across the clean-up calls that follow it.
class SavedErrno {
public:
    SavedErrno()
        : m_value(errno)
    {
    }
    ~SavedErrno() { errno = m_value; }

private:
    int m_value;
};

bool lockExclusively(int fd)
{
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

// True when the name still leads to the file open as fd (nobody removed or replaced it).
bool nameIsFile(const std::string& name, int fd)
{
    struct stat byName, byFd;
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &byFd) == 0 && byName.st_dev == byFd.st_dev
        && byName.st_ino == byFd.st_ino;
}

bool writeAll(int fd, const void* data, size_t size)
{
    auto* from = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, from, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        from += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary that is already there belongs to a writer that is still at work (it holds the
// lock: wait for it to finish) or to one that died (nobody holds the lock: remove it). Either
// way the name is free afterwards, or false when it cannot be freed (a folder in its place).
bool clearTemporary(const std::string& temporary)
{
    int fd = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        if (errno == ELOOP) // a symbolic link: it leads nowhere we write
            return ::unlink(temporary.c_str()) == 0 || errno == ENOENT;
        return false;
    }
    bool ok = lockExclusively(fd);
    if (ok && nameIsFile(temporary, fd))
        ok = ::unlink(temporary.c_str()) == 0 || errno == ENOENT;
    SavedErrno saved;
    ::close(fd);
    return ok;
}

}

std::string AtomicFile::temporaryPathFor(std::string_view target)
{
    return std::string(target) + ".tmp";
}

bool AtomicFile::replace(const std::string& requested, const void* data, size_t size, mode_t mode)
{
    // 1. The file to replace: through a symbolic link to the file it leads to.
    std::string target = requested;
    struct stat st;
    if (::lstat(requested.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = ::realpath(requested.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    std::string temporary = temporaryPathFor(target);

    // 2. A fresh temporary of our own, locked, with no stale one in its way. Another writer
    //    may make the name between our clearing and our creating: then clear (wait for that
    //    writer) and try again. Each lost turn is another writer's finished save, so the bound
    //    only stops a loop that nothing would end.
    int fd = -1;
    for (int attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno != EEXIST || !clearTemporary(temporary))
                return false;
            continue;
        }
        // Someone who found our new file before we locked it may have taken it away.
        if (!lockExclusively(fd) || !nameIsFile(temporary, fd)) {
            SavedErrno saved;
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        errno = EBUSY;
        return false;
    }

    auto fail = [&] {
        SavedErrno saved;
        if (nameIsFile(temporary, fd))
            ::unlink(temporary.c_str());
        ::close(fd);
        return false;
    };

    // 3. The existing file's permissions, narrowed to the caller's mode.
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::fchmod(fd, st.st_mode & 07777 & mode) != 0)
        return fail();

    // 4. Written in full, on the disk, and as long as it should be.
    if (!writeAll(fd, data, size) || ::fsync(fd) != 0)
        return fail();
    struct stat written;
    if (::fstat(fd, &written) != 0)
        return fail();
    if (static_cast<size_t>(written.st_size) != size) {
        errno = EIO;
        return fail();
    }

    // 5. Renamed over the target, then the folder flushed so the new name is on the disk too.
    //    The lock on the temporary keeps every other writer away from its name until now.
    if (!nameIsFile(temporary, fd)) {
        errno = EBUSY;
        return fail();
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail();
    int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        // Some file systems cannot flush a folder; the rename stands either way.
        ::fsync(folder);
        ::close(folder);
    }
    ::close(fd);
    return true;
}

}
