#include "engine/intake/YouTubeLinks.h"

#include "engine/intake/LinkText.h"

namespace s::video::gui::dialogs::videodl {

namespace {

void replaceAllIgnoreCase(std::u16string& text, std::u16string_view from, std::u16string_view to)
{
    size_t at = LinkText::findIgnoreCase(text, from);
    while (at != std::u16string::npos) {
        text.replace(at, from.size(), to);
        at = LinkText::findIgnoreCase(text, from, at + to.size());
    }
}

}

bool YouTubeLinks::rewriteShortLink(std::u16string& link)
{
    for (std::u16string_view prefix : { ShortLinkPrefix, SecureShortLinkPrefix }) {
        if (link.size() >= prefix.size() + IdLength && LinkText::startsWithIgnoreCase(link, prefix)) {
            replaceAllIgnoreCase(link, prefix, WatchLinkPrefix);
            return true;
        }
    }
    return false;
}

std::u16string YouTubeLinks::watchLink(std::u16string_view id)
{
    std::u16string link(WatchLinkPrefix);
    link += id;
    return link;
}

}
