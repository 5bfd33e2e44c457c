#include "app/UpdateCheck.h"

#include "app/os/AppWindow.h"
#include "engine/net/HttpFetch.h"
#include "formats/lang/Localizer.h"
#include "foundation/str/StrBuffer.h"

#include <chrono>

namespace s::app {

namespace {

constexpr int32_t webPageId = 500003;
constexpr int32_t versionTextId = 500010;

std::string utf8(std::u16string_view text)
{
    thread::Pooled<str::strbuffer::StrBuffer> buffer;
    buffer->assign(text);
    return buffer->toStdUtf8();
}

int64_t systemNowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}

bool UpdateCheck::hasVersionShape(std::u16string_view version)
{
    size_t dot = version.rfind(u'.');
    return dot != std::u16string_view::npos && dot > 0 && dot + 3 == version.size();
}

bool UpdateCheck::offersUpdate(std::string_view answer, std::u16string_view version)
{
    if (answer.size() < 5 || answer[0] != '*')
        return false;
    std::string own = utf8(version);
    return own.empty() || answer.find(own) == std::string_view::npos;
}

UpdateCheck::Outcome UpdateCheck::run(os::AppWindow& window, lang::Localizer& language, const Hooks& hooks)
{
    if (language.text(updateTextId).empty())
        return Outcome::NoUpdateText;

    // Step 1: the hour now and of the last check.
    int64_t nowMs = hooks.nowMs ? hooks.nowMs() : systemNowMs();
    int64_t hourNow = nowMs / 1000 / 3600;
    int32_t hour = hourNow > INT32_MAX ? INT32_MAX : hourNow < 0 ? 0 : int32_t(hourNow);
    int32_t last = window.getUpdateHour();

    // Step 2: a first start only remembers when it was.
    if (last == 0) {
        window.setUpdateHour(hour);
        return Outcome::FirstRun;
    }
    // Step 3: at most one request in 30 days.
    if (int64_t(hour) < int64_t(last) + spacingHours)
        return Outcome::TooSoon;

    // Step 4: a version text of another shape switches the check off.
    std::u16string version(language.text(versionTextId));
    if (!hasVersionShape(version))
        return Outcome::VersionShape;

    // Step 5 and 6: the request; a connection that cannot be made is tried again next start.
    std::string url = utf8(language.text(versionPageId)) + "check/";
    net::HttpFetch::Request request;
    request.Url = url;
    request.UserAgent = hooks.userAgent;
    request.TimeLimitMs = timeLimitMs;
    request.BodyCap = answerCap;
    net::HttpFetch::Response response = net::HttpFetch::get(request);
    if (response.Outcome == net::HttpFetch::Result::CouldNotConnect)
        return Outcome::NoConnection;

    Outcome outcome = Outcome::NoNewer;
    if (response.Outcome == net::HttpFetch::Result::Ok && offersUpdate(response.Body, version)) {
        // Step 7: ask, and open the program's page on yes.
        std::u16string title(language.text(questionTitleId));
        std::u16string message = title + u" \r\n" + std::u16string(language.text(questionTextId));
        bool yes = hooks.ask && hooks.ask(title, message);
        outcome = yes ? Outcome::Opened : Outcome::Declined;
        if (yes && hooks.openUrl)
            hooks.openUrl(std::u16string(language.text(webPageId)));
    }

    // Step 8: the hour of this check.
    window.setUpdateHour(hour);
    return outcome;
}

}
