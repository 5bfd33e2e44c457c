#pragma once

#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// What one attempt's command is built from: the tool the catalogue chose for the link, the job's
// options and the attempt number (0 for the first).
struct ToolRequest {
    std::u16string_view Tool;
    std::u16string_view Url;
    std::u16string_view Id;
    std::u16string_view Password;
    bool OnlyMp3 { false };
    int32_t Attempt { 0 };
    // A private file that holds the login as the tool's own options (LoginFile); when given, the
    // command names it instead of carrying the login itself.
    std::string_view LoginFile {};
};

}
