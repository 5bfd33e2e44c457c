#pragma once

namespace s::video::gui::dialogs::videodl {
class RowFormat;
class RowTexts;
enum class TimeUnit : int;
}
