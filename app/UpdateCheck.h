#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace s::lang {
class Localizer;
}
namespace s::app::os {
class AppWindow;
}

namespace s::app {

// The check for a newer version, once per start and at most one request in 30 days: the
// program's version page + "check/" answers a text starting with "*" that does not name the
// running version when a newer one exists. The hour of the last check is kept in the main
// window's "Version" section ("Update").
class UpdateCheck {
public:
    static constexpr int32_t spacingHours = 720;
    static constexpr int timeLimitMs = 8000;
    // The answer is a short text; anything beyond this is not read.
    static constexpr size_t answerCap = 64 * 1024;

    static constexpr int32_t updateTextId = 400200;
    static constexpr int32_t questionTitleId = 400210;
    static constexpr int32_t questionTextId = 400230;
    static constexpr int32_t versionPageId = 500006;

    enum class Outcome {
        // The language has no update text: the check is switched off.
        NoUpdateText,
        // The first start: the hour is stored, nothing is asked.
        FirstRun,
        // Less than 30 days since the last check.
        TooSoon,
        // The version text does not have two digits after its last dot: the check is off.
        VersionShape,
        // No connection could be made: tried again at the next start.
        NoConnection,
        // Asked, and nothing newer (or the fetch failed after connecting).
        NoNewer,
        // A newer version: the user said no.
        Declined,
        // A newer version: the user said yes and the program's page was opened.
        Opened,
    };

    struct Hooks {
        // Milliseconds since 1970; the system clock by default.
        std::function<int64_t()> nowMs;
        // Shows the question (title, message); true for yes. Without one nothing is asked.
        std::function<bool(const std::u16string& title, const std::u16string& message)> ask;
        // Opens the program's web page.
        std::function<void(const std::u16string& url)> openUrl;
        // The user agent of the request.
        std::string userAgent { "Fetchwick" };
    };

    static Outcome run(os::AppWindow& window, lang::Localizer& language, const Hooks& hooks);

    // Two characters after the last dot, which is not the first character ("0.10", "1.05").
    static bool hasVersionShape(std::u16string_view version);
    // At least five characters, a leading "*", and no mention of the running version.
    static bool offersUpdate(std::string_view answer, std::u16string_view version);
};

}
