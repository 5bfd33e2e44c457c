#include "app/SaveFolder.h"

#include "foundation/file/os/Path.h"
#include "foundation/str/StrBuffer.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace s::app {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::u16string fromUtf8(std::string_view text)
{
    thread::Pooled<str::strbuffer::StrBuffer> buffer;
    buffer->assignUtf8(text);
    return std::u16string(buffer->view());
}

std::string toUtf8(std::u16string_view text)
{
    thread::Pooled<str::strbuffer::StrBuffer> buffer;
    buffer->assign(text);
    return buffer->toStdUtf8();
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// One line of user-dirs.dirs: XDG_VIDEOS_DIR="$HOME/Videos". Only "$HOME/" at the start is
// expanded and only "\" escapes are undone, as the desktop's own reader does.
std::string videosFromUserDirs(const std::string& home)
{
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/')
        config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    std::string found;
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        std::string_view rest(line);
        rest.remove_prefix(start);
        constexpr std::string_view key = "XDG_VIDEOS_DIR";
        if (rest.substr(0, key.size()) != key)
            continue;
        rest.remove_prefix(key.size());
        size_t at = rest.find_first_not_of(" \t");
        if (at == std::string_view::npos || rest[at] != '=')
            continue;
        rest.remove_prefix(at + 1);
        at = rest.find_first_not_of(" \t");
        if (at == std::string_view::npos || rest[at] != '"')
            continue;
        rest.remove_prefix(at + 1);
        std::string value;
        bool closed = false;
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '\\' && i + 1 < rest.size()) {
                value += rest[++i];
            } else if (rest[i] == '"') {
                closed = true;
                break;
            } else {
                value += rest[i];
            }
        }
        if (!closed)
            continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        found = value;
    }
    return found;
}

}

std::u16string SaveFolder::videosFolder()
{
    std::string home = withoutTrailingSlashes(environment("HOME"));
    if (home.empty())
        home = "/";
    std::string videos = withoutTrailingSlashes(videosFromUserDirs(home));
    if (videos.empty() || videos[0] != '/' || videos == home)
        videos = home;
    return fromUtf8(videos);
}

std::u16string SaveFolder::defaultFolder(std::u16string_view downloadsName)
{
    std::u16string folder = videosFolder();
    if (folder.empty() || folder.back() != u'/')
        folder += u'/';
    folder += downloadsName;
    return folder;
}

std::u16string SaveFolder::resolve(std::u16string_view stored, std::u16string_view defaultFolder)
{
    if (stored.empty() || stored[0] != u'/')
        return std::u16string(defaultFolder);
    std::string path = toUtf8(stored);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode))
            return std::u16string(defaultFolder);
        return std::u16string(stored);
    }
    // A chosen folder that went away (an unplugged disk, a cleaned-up home) is made again once.
    file::os::Path::make(stored)->createDirectory();
    return std::u16string(stored);
}

}
