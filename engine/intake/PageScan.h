#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace s::video::gui::dialogs::videodl {

// Finds the video service's links embedded in a fetched page. Embedded players win: when the page
// holds any, the watch and short links in its text are not looked at.
class PageScan {
public:
    // A page may list hundreds of videos; intake makes a job of each, so the extras are capped.
    static constexpr size_t MaxExtraLinks = 100;

    // Scans `body` (one unit per byte of the page). The first watch link found goes to `first`;
    // every later one that differs (letters in any case) from it and from those already in
    // `extras` is appended there, up to MaxExtraLinks. False when the page has none.
    static bool scan(std::u16string_view body, std::u16string& first, std::vector<std::u16string>& extras);

    // The ids of the page in order found, duplicates included.
    static std::vector<std::u16string_view> ids(std::u16string_view body);
};

}
