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
};

}
