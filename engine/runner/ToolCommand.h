#pragma once

#include "engine/runner/ToolRequest.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <string>
#include <vector>

namespace s::video::gui::dialogs::videodl {

class ToolLocator;

// How one attempt starts its tool. The process gets `Arguments`: the tool file, the options, "--"
// and the link last, so neither link nor login can turn into an option of the tool. `Text` is the
// same command as one line, the way logs and tests show it and the way the old-build decision
// reads it: the "vdl" file name, the quoted link, then the options with the login's values quoted
// ("vdl/youtube-dl "URL" -u "ID" -p "PW" --no-mtime -i ..."; you-get's line has two spaces before
// the link). Texts go into it as they are; only Arguments are what runs.
class ToolCommand {
public:
    thread::Pooled<str::StrBuffer> Text;
    std::vector<std::string> Arguments;
    // The attempt runs the old build of youtube-dl.
    bool OldTool { false };

    // The command of one attempt. For youtube-dl: the login (or, given a login file, only
    // "--config-location FILE"), "--no-mtime -i", the MP3 options when asked for; a first attempt
    // that is not MP3-only, whose link holds the match text of the catalogue's YouTube row (letter
    // case counts), runs the old build where one is installed, and its line names
    // "youtube-dl_old " wherever it said "youtube-dl "; every other attempt ends in
    // "--merge-output-format mkv". For you-get: the link alone.
    static ToolCommand build(const ToolRequest& request, const ToolLocator& tools);
};

}
