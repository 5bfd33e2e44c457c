#pragma once

#include "foundation/str/Forward.h"

#include <cstdint>

namespace s::video::gui::dialogs::videodl {

// The texts of a job row's values and of the main window's status line. Written digit by digit:
// no locale takes part, so there is never a thousands separator and the decimal point is always
// ".", whatever the process locale says. Each appends to `out`.
class RowFormat {
public:
    // Bytes in 1024-based units with two decimals ("1.07 KB", "1.00 MB"); below 1 KB the plain
    // count ("1023 B"). Negative values give nothing.
    static void FormatSize(int64_t bytes, str::strbuffer::StrBuffer& out);
    // The same with "/s" after the unit.
    static void FormatSpeed(int64_t bytesPerSecond, str::strbuffer::StrBuffer& out);
    // Tenths of a percent ("45.3 %"). A value above 1000 is the mark of a failed run and is
    // folded back into 1 .. 1000 first (4455 shows 45.5 %, 4000 shows 100.0 %). Negative values
    // give nothing.
    static void FormatPercent(int32_t tenths, str::strbuffer::StrBuffer& out);
    // Milliseconds as the two largest units ("1d 0h", "23h 59m", "1m 5s", "59s") with the time
    // unit texts. Negative values give nothing.
    static void FormatDuration(int64_t milliseconds, str::strbuffer::StrBuffer& out);
    // The state text; nothing for None and values outside the states.
    static void FormatState(int32_t state, str::strbuffer::StrBuffer& out);

    // A job's progress as the row keeps it: tenths of a percent, cut toward zero.
    static int32_t PercentTenths(double percent);
    // The fold of FormatPercent, on its own.
    static int32_t FoldPercentTenths(int32_t tenths);
};

}
