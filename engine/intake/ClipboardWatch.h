#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

class IMainInputs;

// Takes links copied to the clipboard while the main window watches it. The first changes after
// the watch begins are the desktop settling (a clipboard manager restoring its last entry), not
// the user, and are ignored for a moment.
class ClipboardWatch {
public:
    static constexpr int64_t SettleMs = 1500;

    // The watch begins at `nowMs` (any steady millisecond clock; the same for changed()).
    void begin(int64_t nowMs);

    // A change of the clipboard to `text`. Ignored while the window owns the clipboard (it put the
    // text there itself) and during the settling moment. Otherwise every line that qualifies, in
    // order, goes into the link box; with "Auto-Start from Clipboard" each is taken at once
    // through `takeLink` (intake, not interactive, from the clipboard); without it the first one
    // stays in the link box, focused and selected, and the rest are left. Returns the number of
    // qualifying lines handled.
    int changed(bool ownedByWindow, int64_t nowMs, std::u16string_view text, IMainInputs& window, const std::function<void()>& takeLink);

private:
    // End of the settling moment; 0 once a change got past it.
    int64_t m_settledAt { 0 };
};

}
