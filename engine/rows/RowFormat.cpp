#include "engine/rows/RowFormat.h"

#include "engine/rows/RowTexts.h"
#include "foundation/str/StrBuffer.h"

#include <array>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

namespace {

void appendNumber(uint64_t value, str::strbuffer::StrBuffer& out)
{
    char16_t digits[20];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value);
    while (count)
        out.append(digits[--count]);
}

void appendTwoDigits(uint64_t value, str::strbuffer::StrBuffer& out)
{
    if (value < 10)
        out.append(u'0');
    appendNumber(value, out);
}

// Cuts the value into 10-bit groups (B, K, M, G, T; bits above 49 do not count) and writes the
// highest non-zero group of K and up with the next lower one as hundredths.
void formatBytes(int64_t value, const std::array<std::u16string_view, 5>& units, str::strbuffer::StrBuffer& out)
{
    if (value < 0)
        return;
    uint64_t groups[5];
    for (int i = 0; i < 5; ++i)
        groups[i] = (static_cast<uint64_t>(value) >> (10 * i)) & 1023;
    for (int i = 4; i >= 1; --i) {
        if (groups[i] == 0)
            continue;
        appendNumber(groups[i], out);
        out.append(u'.');
        appendTwoDigits((groups[i - 1] * 100) >> 10, out);
        out.append(units[i]);
        return;
    }
    appendNumber(groups[0], out);
    out.append(units[0]);
}

}

void RowFormat::FormatSize(int64_t bytes, str::strbuffer::StrBuffer& out)
{
    static constexpr std::array<std::u16string_view, 5> units { u" B", u" KB", u" MB", u" GB", u" TB" };
    formatBytes(bytes, units, out);
}

void RowFormat::FormatSpeed(int64_t bytesPerSecond, str::strbuffer::StrBuffer& out)
{
    static constexpr std::array<std::u16string_view, 5> units { u" B/s", u" KB/s", u" MB/s", u" GB/s", u" TB/s" };
    formatBytes(bytesPerSecond, units, out);
}

int32_t RowFormat::FoldPercentTenths(int32_t tenths)
{
    if (tenths > 1000)
        tenths -= 1000 * ((tenths - 1001) / 1000 + 1);
    return tenths;
}

void RowFormat::FormatPercent(int32_t tenths, str::strbuffer::StrBuffer& out)
{
    if (tenths < 0)
        return;
    int32_t value = FoldPercentTenths(tenths);
    appendNumber(static_cast<uint64_t>(value / 10), out);
    out.append(u'.');
    appendNumber(static_cast<uint64_t>(value % 10), out);
    out.append(u" %");
}

void RowFormat::FormatDuration(int64_t milliseconds, str::strbuffer::StrBuffer& out)
{
    if (milliseconds < 0)
        return;
    uint64_t seconds = static_cast<uint64_t>(milliseconds) / 1000;
    uint64_t minutes = seconds / 60;
    uint64_t hours = minutes / 60;
    uint64_t days = hours / 24;
    auto pair = [&out](uint64_t major, TimeUnit majorUnit, uint64_t minor, TimeUnit minorUnit) {
        appendNumber(major, out);
        out.append(RowTexts::unit(majorUnit));
        out.append(u' ');
        appendNumber(minor, out);
        out.append(RowTexts::unit(minorUnit));
    };
    if (days >= 1) {
        pair(days, TimeUnit::Day, hours % 24, TimeUnit::Hour);
    } else if (hours > 0) {
        pair(hours, TimeUnit::Hour, minutes % 60, TimeUnit::Minute);
    } else if (minutes % 60 > 0) {
        pair(minutes % 60, TimeUnit::Minute, seconds % 60, TimeUnit::Second);
    } else {
        appendNumber(seconds % 60, out);
        out.append(RowTexts::unit(TimeUnit::Second));
    }
}

void RowFormat::FormatState(int32_t state, str::strbuffer::StrBuffer& out)
{
    out.append(RowTexts::state(state));
}

int32_t RowFormat::PercentTenths(double percent)
{
    // Cut toward zero, as a conversion does; values beyond the 32-bit range do not occur (at most
    // 500.0 %), but are kept inside it all the same.
    double tenths = percent * 10.0;
    if (tenths != tenths)
        return -1;
    if (tenths >= 2147483647.0)
        return 2147483647;
    if (tenths <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int32_t>(tenths);
}

}
