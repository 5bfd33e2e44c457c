#pragma once

#include "engine/JobState.h"

#include <functional>
#include <string_view>

namespace s::lang {
class Localizer;
}

namespace s::video::gui::dialogs::videodl {

enum class TimeUnit : int {
    Day = 0,
    Hour = 1,
    Minute = 2,
    Second = 3,
};

// The process-wide texts of the job rows: one per state Error .. Completed, and the four time
// units. They start as built-in English texts and are filled once from the language pack while
// the main window builds itself, before any row exists; after that they are only read, from any
// thread, so they need no lock.
class RowTexts {
public:
    static constexpr size_t MaxStateLength = 255;
    static constexpr size_t MaxUnitLength = 63;

    // Copies the state and time-unit texts of the localizer's current language. A text that the
    // language lacks keeps its built-in form; one longer than its entry allows is cut there.
    static void fill(lang::Localizer& localizer);
    // The same from any source of texts by id (tests, tools).
    static void fill(const std::function<std::u16string_view(int32_t id)>& textOf);
    // The built-in texts again.
    static void restoreBuiltIn();

    // Empty for None and for values outside Error .. Completed.
    static std::u16string_view state(int32_t state);
    static std::u16string_view state(JobState state) { return RowTexts::state(static_cast<int32_t>(state)); }
    static std::u16string_view unit(TimeUnit unit);

    // The language text ids of the time units.
    static int32_t unitTextId(TimeUnit unit);
};

}
