#pragma once

#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <string>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Finds the file that runs for a downloader: "vdl/<name>" in the program folder when it is there,
// else for youtube-dl "yt-dlp" or "youtube-dl" on the PATH, for you-get "you-get" on the PATH. The
// old build of youtube-dl only ever comes from "vdl". When nothing is found the "vdl" path stands
// in (its start then fails, and describeStartFailure says what to install).
//
// Only absolute PATH entries count: a relative one would depend on the folder the program happens
// to run in. The PATH is read at each look-up, so a tool installed while the program runs is found
// at the next start.
class ToolLocator {
public:
    // Tools in `programDir` + "vdl/" (a "/" is added when missing).
    explicit ToolLocator(std::u16string_view programDir);
    ToolLocator(const ToolLocator&) = delete;
    ToolLocator& operator=(const ToolLocator&) = delete;

    // The locator of the running program: the folder of its own executable.
    static const ToolLocator& forThisProgram();

    // The folder whose "vdl" holds the tools, with a trailing "/".
    std::u16string_view programDir() const { return m_programDir; }

    // The file to start for `tool` ("youtube-dl" or "you-get"), as a UTF-8 path.
    std::string toolFile(std::u16string_view tool, bool oldTool) const;

    // The "vdl" path of a tool, whether or not it is there.
    std::string vdlFile(std::u16string_view tool, bool oldTool) const;

    // Whether the old build of youtube-dl is installed (it is only ever taken from "vdl").
    bool hasOldBuild() const;

    // One line for the job's log (without its line end) that says why `file` did not start
    // (`error` is the errno of the failed start) and what to install or change.
    thread::Pooled<str::StrBuffer> describeStartFailure(std::u16string_view tool, bool oldTool, const std::string& file, int error) const;

    // Whether `path` is a regular file this process may run.
    static bool isExecutableFile(const std::string& path);

private:
    std::u16string m_programDir;
};

}
