#include "engine/workers/LoginFile.h"

#include "foundation/str/StrBuffer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::video::gui::dialogs::videodl {

namespace {

bool isPrivateFolder(const std::string& folder)
{
    struct stat info {};
    return !folder.empty() && ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & 077) == 0;
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::string utf8(std::u16string_view text)
{
    return str::strbuffer::StrBuffer::make(text)->toStdUtf8();
}

}

std::string LoginFile::quote(std::string_view value)
{
    // Single quotes keep everything as it is; a single quote itself closes the quoted part, is
    // given escaped, and a new quoted part begins.
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string LoginFile::folder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && isPrivateFolder(runtime))
        return runtime;
    const char* tmp = std::getenv("TMPDIR");
    std::string fallback = std::string(tmp && *tmp ? tmp : "/tmp") + "/fetchwick-" + std::to_string(::getuid());
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(fallback) ? fallback : std::string();
}

bool LoginFile::create(std::u16string_view id, std::u16string_view password)
{
    remove();
    std::string dir = folder();
    if (dir.empty())
        return false;
    std::string path = dir + "/fetchwick-login-XXXXXX";
    // mkstemp makes the file new, ours alone (0600) and opened without following a link.
    int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string options;
    if (!id.empty())
        options += "--username " + quote(utf8(id)) + "\n";
    if (!password.empty())
        options += "--password " + quote(utf8(password)) + "\n";
    bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, options);
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(path.c_str());
        return false;
    }
    m_path = std::move(path);
    return true;
}

void LoginFile::remove()
{
    if (m_path.empty())
        return;
    ::unlink(m_path.c_str());
    m_path.clear();
}

}
