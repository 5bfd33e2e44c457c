#pragma once

#include "engine/Forward.h"
#include "engine/catalogue/SiteLookup.h"

#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Reads one console line of a downloader and updates the job from it: file name and path,
// size, progress, speed, time left, converter duration and the states Downloading, Merging,
// Converting and Completed; publishes to the job's row after each change. The line is as the
// output was cut (it may begin with a line feed and has no carriage return). A line that is not
// recognised changes nothing; nothing here fails.
//
// Knows youtube-dl's lines (and yt-dlp's newer forms of the merge, audio-extraction and
// already-downloaded lines), the converter lines it passes on, you-get's lines and one progress
// form that both print.
void ParseToolLine(DlThread& job, std::u16string_view line, std::u16string_view tool);

// Whole seconds of a converter time such as "00:03:45.67, start: 0" (225), or -1 when the text
// is not of that form. The time must be followed by a comma or a space.
int32_t ParseClock(std::u16string_view text);

}
