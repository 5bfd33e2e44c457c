#include "formats/reg/os/Hive.h"

#include "formats/reg/HiveText.h"
#include "foundation/file/os/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::reg::os {

namespace {

void stampOf(const struct stat& st, uint64_t stamp[5])
{
    stamp[0] = st.st_dev;
    stamp[1] = st.st_ino;
    stamp[2] = static_cast<uint64_t>(st.st_size);
    stamp[3] = static_cast<uint64_t>(st.st_mtim.tv_sec);
    stamp[4] = static_cast<uint64_t>(st.st_mtim.tv_nsec);
}

bool makeFolders(const std::string& folder)
{
    if (folder.empty())
        return true;
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// The whole content of an open file; false (errno set) when a read fails.
bool readAll(int fd, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

// Closes fd without disturbing the errno of an earlier failure.
void closeKeepingErrno(int fd)
{
    int saved = errno;
    ::close(fd);
    errno = saved;
}

}

Hive& Hive::user()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return forFile(base + "/Pellix/registry.reg");
}

Hive& Hive::forFile(const std::string& path)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Hive>> hives;
    std::lock_guard lock(mutex);
    auto& hive = hives[path];
    if (!hive)
        hive = std::make_unique<Hive>(path);
    return *hive;
}

Hive::Hive(std::string path)
    : m_path(std::move(path))
{
}

bool Hive::refresh()
{
    int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return false; // there, but not ours to read
        if (m_loaded && m_fileStamp[1] != 0) {
            // The file went away under us: what it held is gone.
            m_top.subkeys.clear();
            std::memset(m_fileStamp, 0, sizeof m_fileStamp);
        }
        m_loaded = true;
        return true;
    }
    uint64_t stamp[5];
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        closeKeepingErrno(fd);
        return false;
    }
    stampOf(st, stamp);
    if (m_loaded && std::memcmp(stamp, m_fileStamp, sizeof stamp) == 0) {
        ::close(fd);
        return true;
    }
    std::string bytes;
    if (!readAll(fd, bytes)) {
        // Nothing learnt: the next call tries again.
        closeKeepingErrno(fd);
        std::memset(m_fileStamp, 0, sizeof m_fileStamp);
        return false;
    }
    ::close(fd);
    m_top.subkeys.clear();
    HiveText::read(bytes, m_top);
    std::memcpy(m_fileStamp, stamp, sizeof stamp);
    m_loaded = true;
    return true;
}

bool Hive::writeFile()
{
    std::string text = HiveText::write(m_top);
    if (!file::os::AtomicFile::replace(m_path, text.data(), text.size(), 0600))
        return false;
    struct stat st;
    if (::stat(m_path.c_str(), &st) == 0)
        stampOf(st, m_fileStamp);
    return true;
}

void Hive::report(const char* what, int error)
{
    if (error == m_reportedError)
        return;
    m_reportedError = error;
    char text[256];
    const char* reason = ::strerror_r(error, text, sizeof text);
    std::fprintf(stderr, "Fetchwick: settings are not saved: %s %s (%s)\n", m_path.c_str(), what, reason);
}

// Every change: lock out other processes, start from the file as it is now, apply, write. When
// the write fails, the tree goes back to what the file holds, so a failed change changes nothing.
// Without the lock, or without a file that could be read, nothing is written at all: a change
// made from a tree that lacks the file's content would overwrite it with almost nothing.
template<class Change>
bool Hive::change(Change&& apply)
{
    std::lock_guard lock(m_mutex);
    if (!makeFolders(folderOf(m_path))) {
        report("has no folder that can be made", errno);
        return false;
    }
    std::string lockPath = m_path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        report("cannot be locked: the lock file cannot be opened", errno);
        return false;
    }
    while (::flock(lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            report("cannot be locked", errno);
            closeKeepingErrno(lockFd);
            return false;
        }
    }
    if (!refresh()) {
        report("cannot be read", errno);
        closeKeepingErrno(lockFd);
        return false;
    }
    bool ok = false;
    if (apply()) {
        ok = writeFile();
        if (ok) {
            m_reportedError = 0;
        } else {
            report("cannot be written", errno);
            m_top.subkeys.clear();
            m_loaded = false;
            std::memset(m_fileStamp, 0, sizeof m_fileStamp);
            refresh();
        }
    }
    ::close(lockFd); // drops the lock
    return ok;
}

Hive::Key* Hive::find(std::u16string_view keyPath)
{
    Key* key = &m_top;
    for (std::u16string_view part : Key::splitPath(keyPath)) {
        key = key->findSubkey(part);
        if (!key)
            return nullptr;
    }
    return key == &m_top ? nullptr : key;
}

Hive::Key* Hive::findOrCreate(std::u16string_view keyPath)
{
    std::vector<std::u16string_view> parts = Key::splitPath(keyPath);
    if (parts.size() > Key::maxDepth || !Key::isRootPath(parts))
        return nullptr;
    Key* key = &m_top;
    for (std::u16string_view part : parts) {
        if (!key->findSubkey(part) && !Key::isPlainText(part))
            return nullptr;
        key = key->findOrAddSubkey(part);
    }
    return key == &m_top ? nullptr : key;
}

bool Hive::keyExists(std::u16string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    refresh();
    return find(keyPath) != nullptr;
}

bool Hive::createKey(std::u16string_view keyPath)
{
    {
        std::lock_guard lock(m_mutex);
        refresh();
        if (find(keyPath))
            return true;
    }
    return change([&] { return findOrCreate(keyPath) != nullptr; });
}

bool Hive::deleteKey(std::u16string_view keyPath)
{
    return change([&] {
        std::vector<std::u16string_view> parts = Key::splitPath(keyPath);
        if (parts.empty())
            return false;
        Key* parent = &m_top;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            parent = parent->findSubkey(parts[i]);
            if (!parent)
                return false;
        }
        for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
            if (Key::namesEqual((*it)->name, parts.back())) {
                parent->subkeys.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool Hive::queryValue(std::u16string_view keyPath, std::u16string_view name, ValueType& type, std::vector<uint8_t>& data)
{
    std::lock_guard lock(m_mutex);
    refresh();
    Key* key = find(keyPath);
    Value* value = key ? key->findValue(name) : nullptr;
    if (!value)
        return false;
    type = value->type;
    data = value->data;
    return true;
}

bool Hive::hasValue(std::u16string_view keyPath, std::u16string_view name)
{
    std::lock_guard lock(m_mutex);
    refresh();
    Key* key = find(keyPath);
    return key && key->findValue(name);
}

bool Hive::setValue(std::u16string_view keyPath, std::u16string_view name, ValueType type, const void* data, uint32_t size)
{
    if (!Key::isPlainText(name))
        return false;
    return change([&] {
        Key* key = findOrCreate(keyPath);
        if (!key)
            return false;
        Value* value = key->findValue(name);
        if (!value) {
            key->values.push_back(Value { std::u16string(name), type, {} });
            value = &key->values.back();
        }
        value->type = type;
        auto* bytes = static_cast<const uint8_t*>(data);
        value->data.assign(bytes, bytes + size);
        return true;
    });
}

bool Hive::deleteValue(std::u16string_view keyPath, std::u16string_view name)
{
    return change([&] {
        Key* key = find(keyPath);
        if (!key)
            return false;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (Key::namesEqual(it->name, name)) {
                key->values.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool Hive::subkeyNames(std::u16string_view keyPath, std::vector<std::u16string>& names)
{
    std::lock_guard lock(m_mutex);
    refresh();
    names.clear();
    Key* key = find(keyPath);
    if (!key)
        return false;
    for (const auto& subkey : key->subkeys)
        names.push_back(subkey->name);
    return true;
}

}
