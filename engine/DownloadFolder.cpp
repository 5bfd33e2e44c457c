#include "engine/DownloadFolder.h"

#include "foundation/str/StrBuffer.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace s::video::gui::dialogs::videodl {

namespace {

bool isSeparator(char16_t unit) { return unit == u'/' || unit == u'\\'; }

// The name's own shape: something relative that never steps up. Backslashes count as
// separators too: they are ordinary letters here, but a name that looks like it climbs is no
// name a downloader chose.
bool isPlainRelativeName(std::u16string_view name)
{
    // A NUL would end the text where the system reads it, maybe right after a "..".
    if (name.empty() || name.front() == u'/' || name.find(u'\0') != std::u16string_view::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !isSeparator(name[end]))
            ++end;
        if (name.substr(start, end - start) == u"..")
            return false;
        start = end + 1;
    }
    return true;
}

std::u16string_view withoutTrailingSeparators(std::u16string_view dir)
{
    while (dir.size() > 1 && dir.back() == u'/')
        dir.remove_suffix(1);
    return dir;
}

bool isAbsolute(std::u16string_view dir) { return !dir.empty() && dir.front() == u'/'; }

// The path with every link resolved, or empty when it cannot be resolved.
std::string resolved(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

bool isWithin(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/');
}

// Whether `inner`, a path below `folder` that holds no ".." part, resolves inside the resolved
// `realFolder`. What does not exist yet cannot lead anywhere, so the deepest part of the path
// that exists decides (the path itself when it exists, a link too).
bool resolvesWithin(std::string inner, const std::string& folder, const std::string& realFolder)
{
    struct stat info {};
    for (;;) {
        if (inner.size() <= folder.size())
            return true;
        if (lstat(inner.c_str(), &info) == 0)
            break;
        size_t slash = inner.rfind('/');
        if (slash == std::string::npos)
            return true;
        inner.resize(slash);
    }
    std::string real = resolved(inner);
    return !real.empty() && isWithin(real, realFolder);
}

}

bool DownloadFolder::acceptsName(std::u16string_view dir, std::u16string_view name)
{
    if (!isPlainRelativeName(name))
        return false;
    dir = withoutTrailingSeparators(dir);
    if (!isAbsolute(dir))
        return true;
    std::string folder = str::StrBuffer::make(dir)->toStdUtf8();
    std::string realFolder = resolved(folder);
    if (realFolder.empty())
        return true;
    std::string inner = folder == "/" ? folder : folder + '/';
    inner += str::StrBuffer::make(name)->toStdUtf8();
    return resolvesWithin(std::move(inner), folder, realFolder);
}

bool DownloadFolder::holds(std::u16string_view dir, std::u16string_view path)
{
    dir = withoutTrailingSeparators(dir);
    if (!isAbsolute(dir) || path.size() <= dir.size() || path.substr(0, dir.size()) != dir)
        return false;
    std::u16string_view name = path.substr(dir.size());
    if (dir != u"/") {
        if (name.front() != u'/')
            return false;
        name.remove_prefix(1);
    }
    while (!name.empty() && name.front() == u'/')
        name.remove_prefix(1);
    if (!isPlainRelativeName(name))
        return false;
    std::string folder = str::StrBuffer::make(dir)->toStdUtf8();
    std::string realFolder = resolved(folder);
    if (realFolder.empty())
        return false;
    return resolvesWithin(str::StrBuffer::make(path)->toStdUtf8(), folder, realFolder);
}

}
