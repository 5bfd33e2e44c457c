#pragma once

#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

struct SiteRow;

// The downloader tools, compared by value by the runner and the output parser. Both views point
// at NUL-terminated literals, so data() can be handed on as a C string.
inline constexpr std::u16string_view ToolYoutubeDl = u"youtube-dl";
inline constexpr std::u16string_view ToolYouGet = u"you-get";

// A site's login mark: the row texts "0", "1" and "2".
enum class LoginMark : std::uint8_t {
    NotNeeded = 0,
    Required = 1, // the link is taken only while the user asks for logins
    Accepted = 2, // the login is passed to the tool when the job has one
};

// What LookUpSite found for a link.
struct SiteLookup {
    std::u16string_view tool;                  // empty when no tool handles the link
    LoginMark login { LoginMark::NotNeeded };  // the matched row's marks, else "0" and "0"
    bool adult { false };
    const SiteRow* row { nullptr };            // the row that matched; null when none did

    bool hasTool() const { return !tool.empty(); }
    bool matchedRow() const { return row != nullptr; }
};

}
