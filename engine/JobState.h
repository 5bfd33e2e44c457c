#pragma once

#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Where a download job stands. The values are stored in the list file and used as the sort key
// of the list's state column, so they never change.
enum class JobState : int32_t {
    None = -1,
    Error = 0,
    Canceled = 1,
    Pending = 2,
    Paused = 3,
    Canceling = 4,
    Retrying = 5,
    Initializing = 6,
    Downloading = 7,
    Merging = 8,
    Converting = 9,
    Completed = 10,
};

inline constexpr int32_t JobStateCount = 11; // Error .. Completed

// The name under which the list file stores a state; empty for the states that are never
// stored (None, Merging, Converting).
std::u16string_view StoredName(JobState state);

// The state a stored name stands for, letter case ignored; false (and `state` untouched) for a
// name that is not one of the stored ones.
bool StateFromStoredName(std::u16string_view name, JobState& state);

// The language text that shows a state in the list; 0 for None and for values out of range.
int32_t DisplayTextId(JobState state);

}
