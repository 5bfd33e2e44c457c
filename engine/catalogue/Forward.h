#pragma once

#include <cstdint>

namespace s::video::gui::dialogs::videodl {
struct SiteRow;
struct SiteTable;
struct SiteLookup;
enum class LoginMark : std::uint8_t;
}
