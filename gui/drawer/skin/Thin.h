#pragma once

#include "foundation/thread/Pool.h"
#include "gui/drawer/skin/SkinBase.h"

#include <array>
#include <cstdint>

namespace s::gui::drawer::skin {

// A skin of the "Thin" family, built from six palette colours: P1 background, P2 lines and frames,
// P3 text, P4 slider track, P5 and P6 the counter's two series.
class Thin final : public SkinBase {
    S_POOLED_CLASS(Thin, "s_gui_drawer_skin_Thin")
public:
    // The palette as people write it, RRGGBB with red first.
    using Palette = std::array<uint32_t, 6>;

    Thin() = default;
    static Thin* make(std::u16string_view name, const Palette& rrggbb);
};

}
