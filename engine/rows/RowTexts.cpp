#include "engine/rows/RowTexts.h"

#include "formats/lang/Localizer.h"

#include <array>
#include <string>

namespace s::video::gui::dialogs::videodl {

namespace {

constexpr std::array<std::u16string_view, JobStateCount> BuiltInStates {
    u"Error", u"Canceled", u"Pending...", u"Paused", u"Canceling...", u"Retrying...",
    u"Initializing...", u"Downloading", u"Merging Files...", u"Converting...", u"Completed!",
};
constexpr std::array<std::u16string_view, 4> BuiltInUnits { u"d", u"h", u"m", u"s" };
constexpr std::array<int32_t, 4> UnitTextIds { 3810010, 3810020, 3810030, 3810040 };

// Set up before main() runs, so a read before any fill needs no lock either.
std::array<std::u16string, JobStateCount> s_states = [] {
    std::array<std::u16string, JobStateCount> texts;
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = BuiltInStates[i];
    return texts;
}();
std::array<std::u16string, 4> s_units = [] {
    std::array<std::u16string, 4> texts;
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = BuiltInUnits[i];
    return texts;
}();

// At most `limit` units, never ending inside a surrogate pair.
std::u16string_view cut(std::u16string_view text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t length = limit;
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    return text.substr(0, length);
}

}

void RowTexts::fill(lang::Localizer& localizer)
{
    fill([&localizer](int32_t id) { return localizer.text(id); });
}

void RowTexts::fill(const std::function<std::u16string_view(int32_t id)>& textOf)
{
    restoreBuiltIn();
    for (int32_t value = 0; value < JobStateCount; ++value) {
        std::u16string_view text = textOf(DisplayTextId(static_cast<JobState>(value)));
        if (!text.empty())
            s_states[value] = cut(text, MaxStateLength);
    }
    for (size_t i = 0; i < s_units.size(); ++i) {
        std::u16string_view text = textOf(UnitTextIds[i]);
        if (!text.empty())
            s_units[i] = cut(text, MaxUnitLength);
    }
}

void RowTexts::restoreBuiltIn()
{
    for (size_t i = 0; i < s_states.size(); ++i)
        s_states[i] = BuiltInStates[i];
    for (size_t i = 0; i < s_units.size(); ++i)
        s_units[i] = BuiltInUnits[i];
}

std::u16string_view RowTexts::state(int32_t state)
{
    if (state < 0 || state >= JobStateCount)
        return {};
    return s_states[state];
}

std::u16string_view RowTexts::unit(TimeUnit unit)
{
    return s_units[static_cast<size_t>(unit)];
}

int32_t RowTexts::unitTextId(TimeUnit unit)
{
    return UnitTextIds[static_cast<size_t>(unit)];
}

}
