#include "foundation/file/os/Path.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/file/os/PathArray.h"
#include "foundation/system/os/Eintr.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace s::file::os {

using thread::Pooled;

namespace {

// "/" only; repeated separators become one; trailing ones go, except for the root itself.
template<class C>
std::basic_string<C> normalised(std::basic_string_view<C> text)
{
    std::basic_string<C> out;
    out.reserve(text.size());
    for (C unit : text) {
        if (unit == C('/') && !out.empty() && out.back() == C('/'))
            continue;
        out.push_back(unit);
    }
    while (out.size() > 1 && out.back() == C('/'))
        out.pop_back();
    return out;
}

std::string joined(const std::string& folder, const char* name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// The folder a native path is in: "." for a bare name, "/" for "/name".
std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool syncFd(int fd)
{
    return fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

// Puts a file's data, or a folder's entries, on disk.
bool syncPath(const std::string& path, bool directory)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    bool synced = syncFd(fd);
    close(fd);
    return synced;
}

// The entries of a folder without "." and "..", in byte order.
bool entriesOf(const std::string& folder, std::vector<std::string>& names)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    while (dirent* entry = readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

// Deletes a folder with everything in it; symbolic links are deleted, never followed.
bool removeTree(const std::string& folder)
{
    if (rmdir(folder.c_str()) == 0 || errno == ENOENT)
        return true;
    if (errno != ENOTEMPTY && errno != EEXIST)
        return false;
    // The folder is going away, so it may as well be writable for its own entries' sake.
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        chmod(folder.c_str(), 0700);
    std::vector<std::string> names;
    if (!entriesOf(folder, names))
        return false;
    for (const std::string& name : names) {
        std::string path = joined(folder, name.c_str());
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            removeTree(path);
        else
            unlink(path.c_str());
    }
    return rmdir(folder.c_str()) == 0 || errno == ENOENT;
}

int64_t treeSize(const std::string& folder)
{
    std::vector<std::string> names;
    if (!entriesOf(folder, names))
        return 0;
    int64_t total = 0;
    for (const std::string& name : names) {
        std::string path = joined(folder, name.c_str());
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            continue;
        total += S_ISDIR(st.st_mode) ? treeSize(path) : st.st_size;
    }
    return total;
}

bool renameFile(const std::string& from, const std::string& to, bool replace)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), replace ? 0 : RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems cannot refuse to replace; check first there instead.
    if (errno != EINVAL || replace)
        return false;
    struct stat st;
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

bool copyData(int in, int out)
{
    constexpr size_t chunk = 1 << 18;
    auto buffer = std::make_unique_for_overwrite<char[]>(chunk);
    for (;;) {
        ssize_t got = system::os::retryOnEintr([&] { return read(in, buffer.get(), chunk); });
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t n = system::os::retryOnEintr([&] { return write(out, buffer.get() + done, static_cast<size_t>(got - done)); });
            if (n <= 0)
                return false;
            done += n;
        }
    }
}

// A move between file systems: the file is copied next to the target under a temporary name,
// put on disk, renamed into place and only then is the source deleted.
bool moveAcross(const std::string& from, const std::string& to, const struct stat& source, bool replace)
{
    if (!S_ISREG(source.st_mode))
        return false;
    struct stat existing;
    if (!replace && lstat(to.c_str(), &existing) == 0)
        return false;

    // Step 1: copy to a temporary name in the target's folder.
    static std::atomic<unsigned> serial { 0 };
    std::string temporary = to + ".move-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        close(in);
        return false;
    }
    bool copied = copyData(in, out);
    close(in);
    if (copied) {
        fchmod(out, source.st_mode & 07777);
        struct timespec times[2] = { source.st_atim, source.st_mtim };
        futimens(out, times);
        copied = syncFd(out);
    }
    copied = system::os::closeDescriptor(out) && copied;

    // Step 2: into place, on disk.
    if (!copied || !renameFile(temporary, to, replace)) {
        unlink(temporary.c_str());
        return false;
    }
    syncPath(folderOf(to), true);

    // Step 3: the source goes.
    if (unlink(from.c_str()) != 0) {
        if (!replace)
            unlink(to.c_str());
        return false;
    }
    syncPath(folderOf(from), true);
    return true;
}

}

Pooled<Path> Path::make(std::u16string_view text)
{
    Pooled<Path> path;
    path->set(text);
    return path;
}

Pooled<Path> Path::make(std::u16string_view text, std::u16string_view suffix)
{
    std::u16string whole;
    whole.reserve(text.size() + suffix.size());
    whole.append(text).append(suffix);
    return make(whole);
}

Pooled<Path> Path::makeUtf8(std::string_view text)
{
    Pooled<Path> path;
    path->setUtf8(text);
    return path;
}

bool Path::set(std::u16string_view text)
{
    // Copied first: text may be a view of this path's own buffers.
    std::u16string copy(text);
    reset();
    m_text.assign(copy);
    m_valid = !copy.empty() && copy.find(u'\0') == std::u16string::npos;
    m_normal.assign(normalised<char16_t>(copy));
    m_native = m_normal.toStdUtf8();
    split();
    return m_valid;
}

bool Path::setUtf8(std::string_view text)
{
    // The bytes are kept as given for the system, so names that are not valid UTF-8 still work.
    std::string copy(text);
    reset();
    m_text.assignUtf8(copy);
    m_valid = !copy.empty() && copy.find('\0') == std::string::npos;
    m_native = normalised<char>(copy);
    m_normal.assignUtf8(m_native);
    split();
    return m_valid;
}

void Path::split()
{
    std::u16string_view path = m_normal.view();
    size_t slash = path.rfind(u'/');
    std::u16string_view folder = slash == std::u16string_view::npos ? std::u16string_view {} : path.substr(0, slash + 1);
    std::u16string_view last = path.substr(folder.size());
    size_t dot = last.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0 || last == u"..")
        dot = last.size();
    m_directory.assign(folder);
    m_fileName.assign(last.substr(0, dot));
    m_extension.assign(last.substr(dot));
}

const Path::Info& Path::info()
{
    if (!m_info.loaded) {
        m_info = Info {};
        m_info.loaded = true;
        struct stat st;
        if (m_valid && stat(m_native.c_str(), &st) == 0) {
            m_info.found = true;
            m_info.directory = S_ISDIR(st.st_mode);
            m_info.size = st.st_size;
            m_info.sizeOnDisk = static_cast<int64_t>(st.st_blocks) * 512;
        }
    }
    return m_info;
}

bool Path::exists() const
{
    return m_valid && access(m_native.c_str(), F_OK) == 0;
}

bool Path::isDirectory()
{
    return info().found && info().directory;
}

bool Path::isFile()
{
    return info().found && !info().directory;
}

int64_t Path::size(bool recursive)
{
    const Info& i = info();
    if (!i.found)
        return -1;
    if (!i.directory)
        return i.size;
    return recursive ? treeSize(m_native) : 0;
}

int64_t Path::sizeOnDisk()
{
    return info().found ? info().sizeOnDisk : -1;
}

Pooled<Path> Path::parent() const
{
    Pooled<Path> parent;
    std::u16string_view path = m_normal.view();
    size_t slash = path.rfind(u'/');
    if (!m_valid || slash == std::u16string_view::npos || path == u"/")
        return parent;
    if (slash == 0)
        parent->setUtf8("/");
    else
        parent->setUtf8(std::string_view(m_native).substr(0, m_native.rfind('/')));
    return parent;
}

bool Path::isRoot() const
{
    if (!m_valid)
        return false;
    if (m_native == "/")
        return true;
    struct stat self, root;
    return stat(m_native.c_str(), &self) == 0 && stat("/", &root) == 0 && self.st_dev == root.st_dev
        && self.st_ino == root.st_ino;
}

bool Path::createDirectory(bool)
{
    if (!m_valid || isRoot())
        return false;
    m_info.loaded = false;
    auto made = [&] {
        if (mkdir(m_native.c_str(), 0777) == 0)
            return true;
        struct stat st;
        return errno == EEXIST && stat(m_native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    };
    if (made())
        return true;
    if (errno != ENOENT || !ensureParentExists())
        return false;
    return made();
}

bool Path::ensureParentExists()
{
    Pooled<Path> folder = parent();
    // A bare name lives in the current folder, which is there.
    if (!folder->isValid())
        return m_valid;
    if (folder->isDirectory())
        return true;
    return folder->createDirectory();
}

bool Path::remove(bool, bool)
{
    if (!m_valid || isRoot())
        return false;
    m_info.loaded = false;
    struct stat st;
    if (lstat(m_native.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (S_ISDIR(st.st_mode))
        return removeTree(m_native);
    // A read-only file goes like any other: deleting is a right of its folder.
    return unlink(m_native.c_str()) == 0 || errno == ENOENT;
}

bool Path::moveTo(std::u16string_view target, bool replace, bool)
{
    Pooled<Path> to = make(target);
    if (!m_valid || !to->isValid() || isRoot() || to->isRoot())
        return false;
    m_info.loaded = false;
    struct stat source;
    if (lstat(m_native.c_str(), &source) != 0)
        return false;
    // Write-through: the data is on disk before the new name points at it.
    if (S_ISREG(source.st_mode) && !syncPath(m_native, false))
        return false;
    if (renameFile(m_native, to->nativePath(), replace)) {
        std::string from = folderOf(m_native);
        std::string into = folderOf(to->nativePath());
        syncPath(into, true);
        if (from != into)
            syncPath(from, true);
        return true;
    }
    if (errno == EXDEV)
        return moveAcross(m_native, to->nativePath(), source, replace);
    return false;
}

Pooled<FileInputStream> Path::openForReading() const
{
    Pooled<FileInputStream> stream;
    if (m_valid)
        stream->open(m_native);
    return stream;
}

Pooled<FileOutputStream> Path::openForWriting(bool append)
{
    Pooled<FileOutputStream> stream;
    m_info.loaded = false;
    if (m_valid && ensureParentExists())
        stream->open(m_native, append);
    return stream;
}

bool Path::readAll(col::_array::ArrayU08& out)
{
    out.setCount(0);
    Pooled<FileInputStream> in = openForReading();
    int64_t size = in->fileSize();
    if (!in->isOpen() || size < 0 || size > static_cast<int64_t>(UINT32_MAX))
        return false;
    out.setCount(static_cast<uint32_t>(size));
    uint32_t total = 0;
    uint32_t got = 0;
    while (total < out.count() && in->read(static_cast<uint8_t*>(out.data()) + total, out.count() - total, got))
        total += got;
    if (total < out.count()) {
        // The file shrank while it was read.
        out.setCount(total);
        return false;
    }
    // Files that grew, and files whose size the system does not know (/proc), are read to their end.
    uint8_t more[4096];
    while (in->read(more, sizeof more, got)) {
        if (static_cast<uint64_t>(out.count()) + got > UINT32_MAX)
            return false;
        out.append(more, got);
    }
    return true;
}

bool Path::writeAll(const col::_array::ArrayU08& data, bool append)
{
    return writeAll(data.data(), data.count(), append);
}

bool Path::writeAll(const void* data, uint64_t count, bool append)
{
    Pooled<FileOutputStream> out = openForWriting(append);
    if (!out->isOpen())
        return false;
    auto* from = static_cast<const uint8_t*>(data);
    while (count > 0) {
        uint32_t step = static_cast<uint32_t>(std::min<uint64_t>(count, 1u << 30));
        uint32_t written = 0;
        if (!out->write(from, step, written)) {
            out->close();
            return false;
        }
        from += step;
        count -= step;
    }
    return out->close();
}

bool Path::writeText(const str::StrBuffer& text, bool append)
{
    Pooled<col::_array::ArrayU08> bytes;
    text.toUtf8(*bytes);
    return writeAll(*bytes, append);
}

bool Path::list(PathArray& out, bool recursive) const
{
    if (!m_valid)
        return false;
    std::vector<std::string> names;
    if (!entriesOf(m_native, names))
        return false;
    bool complete = true;
    for (const std::string& name : names) {
        Pooled<Path> entry = makeUtf8(joined(m_native, name.c_str()));
        struct stat st;
        bool folder = recursive && lstat(entry->nativePath().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        Path* added = entry.get();
        out.add(std::move(entry));
        if (folder && !added->list(out, true))
            complete = false;
    }
    return complete;
}

int Path::compare(const base::IComparable* other, const base::IComparator* comparator) const
{
    auto* path = dynamic_cast<const Path*>(other);
    if (comparator || !path)
        return IComparable::compare(other, comparator);
    return str::StrBuffer::compareUnits(m_normal.view(), path->m_normal.view());
}

bool Path::equals(const base::IComparable* other, const base::IComparator* comparator) const
{
    auto* path = dynamic_cast<const Path*>(other);
    if (comparator || !path)
        return IComparable::equals(other, comparator);
    return m_normal.view() == path->m_normal.view();
}

uint32_t Path::hash() const
{
    return str::StrBuffer::hashUnits(m_normal.view());
}

void Path::reset()
{
    m_text.clear();
    m_normal.clear();
    m_drive.clear();
    m_directory.clear();
    m_fileName.clear();
    m_extension.clear();
    m_native.clear();
    m_info = Info {};
    m_valid = false;
}

}
