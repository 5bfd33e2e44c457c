#pragma once

#include "foundation/thread/Pool.h"
#include "gui/drawer/skin/SkinBase.h"

#include <array>
#include <cstdint>

namespace s::gui::drawer::skin {

// A skin of the "ThinWindow" family, built from fifteen palette colours W1..W15 (window background
// and frame, disabled lines, lines, group frame, text, text halo, scroll track, checked fill,
// checked text, list background and text, alternate rows, the counter's two series).
class ThinWindow final : public SkinBase {
    S_POOLED_CLASS(ThinWindow, "s_gui_drawer_skin_ThinWindow")
public:
    // The palette as people write it, RRGGBB with red first.
    using Palette = std::array<uint32_t, 15>;

    ThinWindow() = default;
    static ThinWindow* make(std::u16string_view name, const Palette& rrggbb);
};

}
