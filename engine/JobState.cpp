#include "engine/JobState.h"

#include <array>

namespace s::video::gui::dialogs::videodl {

namespace {

struct StateEntry {
    std::u16string_view storedName;
    int32_t textId;
};

// Indexed by the state's value, Error (0) to Completed (10).
constexpr std::array<StateEntry, JobStateCount> States { {
    { u"Error", 3820000 },
    { u"Canceled", 3820100 },
    { u"Pending", 3820200 },
    { u"Paused", 3820300 },
    { u"Canceling", 3820400 },
    { u"Retrying", 3820500 },
    { u"Initializing", 3820600 },
    { u"Downloading", 3820700 },
    { u"", 3820750 }, // Merging: a passing state, read back as Canceled
    { u"", 3820770 }, // Converting: likewise
    { u"Completed", 3820800 },
} };

const StateEntry* EntryOf(JobState state)
{
    auto value = static_cast<int32_t>(state);
    if (value < 0 || value >= JobStateCount)
        return nullptr;
    return &States[static_cast<size_t>(value)];
}

char16_t AsciiLower(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

}

std::u16string_view StoredName(JobState state)
{
    const StateEntry* entry = EntryOf(state);
    return entry ? entry->storedName : std::u16string_view {};
}

bool StateFromStoredName(std::u16string_view name, JobState& state)
{
    if (name.empty())
        return false;
    for (size_t i = 0; i < States.size(); ++i) {
        if (!States[i].storedName.empty() && EqualsIgnoreCase(States[i].storedName, name)) {
            state = static_cast<JobState>(i);
            return true;
        }
    }
    return false;
}

int32_t DisplayTextId(JobState state)
{
    const StateEntry* entry = EntryOf(state);
    return entry ? entry->textId : 0;
}

}
