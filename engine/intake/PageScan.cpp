#include "engine/intake/PageScan.h"

#include "engine/intake/LinkText.h"
#include "engine/intake/YouTubeLinks.h"

namespace s::video::gui::dialogs::videodl {

namespace {

constexpr size_t npos = std::u16string_view::npos;

// Embedded players: the id runs from the pattern to the first double quote after its first unit,
// or, without one, to the first space after it.
void embedIds(std::u16string_view body, std::vector<std::u16string_view>& ids)
{
    std::u16string_view pattern = YouTubeLinks::EmbedPattern;
    size_t at = LinkText::findIgnoreCase(body, pattern);
    while (at != npos) {
        size_t start = at + pattern.size();
        if (start >= body.size())
            break;
        size_t end = body.find(u'"', start + 1);
        if (end == npos)
            end = body.find(u' ', start + 1);
        if (end != npos)
            ids.push_back(body.substr(start, end - start));
        at = LinkText::findIgnoreCase(body, pattern, start);
    }
}

// Watch and short links: a whole id after the pattern, with more of the page after it.
void fixedIds(std::u16string_view body, std::u16string_view pattern, std::vector<std::u16string_view>& ids)
{
    size_t at = LinkText::findIgnoreCase(body, pattern);
    while (at != npos) {
        size_t start = at + pattern.size();
        if (start + YouTubeLinks::IdLength < body.size())
            ids.push_back(body.substr(start, YouTubeLinks::IdLength));
        at = LinkText::findIgnoreCase(body, pattern, start);
    }
}

}

std::vector<std::u16string_view> PageScan::ids(std::u16string_view body)
{
    std::vector<std::u16string_view> found;
    embedIds(body, found);
    if (!found.empty())
        return found;
    fixedIds(body, YouTubeLinks::WatchPattern, found);
    fixedIds(body, YouTubeLinks::ShortPattern, found);
    return found;
}

bool PageScan::scan(std::u16string_view body, std::u16string& first, std::vector<std::u16string>& extras)
{
    std::vector<std::u16string_view> found = ids(body);
    if (found.empty())
        return false;
    first = YouTubeLinks::watchLink(found.front());
    for (size_t i = 1; i < found.size() && extras.size() < MaxExtraLinks; ++i) {
        std::u16string link = YouTubeLinks::watchLink(found[i]);
        if (LinkText::sameLink(link, first))
            continue;
        bool known = false;
        for (const std::u16string& extra : extras)
            known = known || LinkText::sameLink(link, extra);
        if (!known)
            extras.push_back(std::move(link));
    }
    return true;
}

}
