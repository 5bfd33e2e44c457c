#pragma once

#include <string>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// The link forms of the video service that intake rewrites into plain watch links. The domain
// agrees with the catalogue's row for the service (".youtube."), which "www.youtube.com" holds.
class YouTubeLinks {
public:
    static constexpr std::u16string_view Domain = u"youtube.com";
    static constexpr std::u16string_view WatchHost = u"www.youtube.com";
    static constexpr std::u16string_view ShortHost = u"youtu.be";

    static constexpr std::u16string_view ShortLinkPrefix = u"http://youtu.be/";
    // Short links are handed out as https today; they are rewritten the same way, so neither form
    // costs a page fetch.
    static constexpr std::u16string_view SecureShortLinkPrefix = u"https://youtu.be/";
    static constexpr std::u16string_view WatchLinkPrefix = u"http://www.youtube.com/watch?v=";

    static constexpr std::u16string_view EmbedPattern = u"youtube.com/embed/";
    static constexpr std::u16string_view WatchPattern = u"youtube.com/watch?v=";
    static constexpr std::u16string_view ShortPattern = u"/youtu.be/";

    // A video id of the watch and short forms.
    static constexpr size_t IdLength = 11;

    // A short link with at least a whole id after its prefix becomes a watch link: every
    // occurrence of the prefix (letters in any case) is replaced by the watch-link prefix. False,
    // and `link` untouched, for anything else.
    static bool rewriteShortLink(std::u16string& link);

    // The watch link of an id.
    static std::u16string watchLink(std::u16string_view id);
};

}
