#pragma once

#include <cstddef>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// One known site, compiled into the program. The texts are NUL-terminated UTF-16 constants.
// A table ends with a row whose five texts are all null.
struct SiteRow {
    const char16_t* name;
    const char16_t* match; // fragment that occurs in the site's links
    const char16_t* home;  // the site's home page
    const char16_t* login; // "0" no login, "1" login required, "2" login accepted
    const char16_t* adult; // "0" or "1"

    constexpr bool isEnd() const { return match == nullptr; }
};

// The sites one downloader tool handles.
struct SiteTable {
    std::u16string_view tool; // ToolYoutubeDl or ToolYouGet
    const SiteRow* rows;      // closed by an all-null row
    std::size_t scanLimit;    // a scan stops here even when the closing row has not come yet

    // Rows a scan looks at: up to the closing row or the scan limit, whichever comes first.
    constexpr std::size_t rowCount() const
    {
        std::size_t count = 0;
        while (count < scanLimit && !rows[count].isEnd())
            ++count;
        return count;
    }
};

}
