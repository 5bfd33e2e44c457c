#include "engine/runner/ToolLocator.h"

#include "engine/catalogue/SiteLookup.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace s::video::gui::dialogs::videodl {

using str::StrBuffer;
using thread::Pooled;

namespace {

constexpr std::string_view YoutubeDlNames[] = { "yt-dlp", "youtube-dl" };
constexpr std::string_view YouGetNames[] = { "you-get" };

std::span<const std::string_view> pathNamesOf(std::u16string_view tool)
{
    if (tool == ToolYouGet)
        return YouGetNames;
    return YoutubeDlNames;
}

// The first executable `name` in the absolute folders of the PATH, or empty.
std::string findOnPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string_view folders(path);
    while (!folders.empty()) {
        size_t end = folders.find(':');
        std::string_view folder = folders.substr(0, end);
        folders = end == std::string_view::npos ? std::string_view() : folders.substr(end + 1);
        // Relative entries (an empty one means the current folder) would depend on where we are.
        if (folder.empty() || folder.front() != '/')
            continue;
        std::string candidate(folder);
        candidate += '/';
        candidate += name;
        if (ToolLocator::isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

// The system's words for an errno value (thread-safe, unlike strerror).
std::string errorText(int error)
{
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

std::u16string executableFolder()
{
    std::string buffer(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0)
        return u"./";
    buffer.resize(static_cast<size_t>(length));
    buffer.resize(buffer.rfind('/') + 1);
    return std::u16string(StrBuffer::makeUtf8(buffer)->view());
}

}

ToolLocator::ToolLocator(std::u16string_view programDir)
    : m_programDir(programDir)
{
    if (m_programDir.empty() || m_programDir.back() != u'/')
        m_programDir += u'/';
}

const ToolLocator& ToolLocator::forThisProgram()
{
    static const ToolLocator locator(executableFolder());
    return locator;
}

std::string ToolLocator::vdlFile(std::u16string_view tool, bool oldTool) const
{
    std::string file = StrBuffer::make(m_programDir)->toStdUtf8();
    file += "vdl/";
    file += tool == ToolYouGet ? "you-get" : oldTool ? "youtube-dl_old" : "youtube-dl";
    return file;
}

bool ToolLocator::hasOldBuild() const
{
    return isExecutableFile(vdlFile(ToolYoutubeDl, true));
}

std::string ToolLocator::toolFile(std::u16string_view tool, bool oldTool) const
{
    std::string vdl = vdlFile(tool, oldTool);
    if (oldTool || isExecutableFile(vdl))
        return vdl;
    for (std::string_view name : pathNamesOf(tool)) {
        std::string found = findOnPath(name);
        if (!found.empty())
            return found;
    }
    return vdl;
}

Pooled<StrBuffer> ToolLocator::describeStartFailure(std::u16string_view tool, bool oldTool, const std::string& file, int error) const
{
    std::string text;
    bool youGet = tool == ToolYouGet;
    std::string vdl = vdlFile(tool, oldTool);
    if (error == ENOENT && file == vdl && !oldTool) {
        // Nothing anywhere: say what to install, and where the program would also look.
        text = youGet ? "you-get was not found on the PATH. Install it with your distribution's package manager (Debian: apt install you-get)"
                      : "Neither yt-dlp nor youtube-dl was found on the PATH. Install yt-dlp with your distribution's package manager (Debian: apt install yt-dlp)";
        text += " or put it in vdl/ beside Fetchwick (" + vdl + ").";
    } else if (error == ENOENT) {
        text = file + " was not found.";
    } else if (error == EACCES) {
        text = file + " cannot be run: " + errorText(error) + ". Make it executable (chmod +x) or install ";
        text += youGet ? "you-get (Debian: apt install you-get)." : "yt-dlp (Debian: apt install yt-dlp).";
    } else if (error == ENOEXEC) {
        text = file + " is not a program this system can run. Install ";
        text += youGet ? "you-get (Debian: apt install you-get)." : "yt-dlp (Debian: apt install yt-dlp).";
    } else {
        text = file + " could not be started: " + errorText(error) + ".";
    }
    return StrBuffer::makeUtf8(text);
}

bool ToolLocator::isExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}
