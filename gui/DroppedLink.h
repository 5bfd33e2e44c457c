#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace s::gui {

// Reads the link out of the data of a drag, in the two forms desktops use for links:
//
// - "text/x-moz-url": the link, a line feed and the page title, in UTF-16 (little endian unless a
//   byte-order mark says otherwise), often ending in a NUL; some sources put UTF-8 there.
// - "text/uri-list": one URI per line, lines starting with "#" are comments; the first entry counts.
//   (On X11 a browser's x-moz-url offer arrives in this form, holding the bare link without a
//   line end.)
//
// The link is taken exactly as given, only trimmed of surrounding white space. Only web links
// (http and https) are taken: a file, a script or anything else is no link to download. A link
// longer than MaxLength is refused rather than cut, since a cut link is another link.
class DroppedLink {
public:
    static constexpr size_t MaxLength = 64 * 1024;

    static std::optional<std::u16string> fromMozUrl(std::span<const uint8_t> bytes);
    static std::optional<std::u16string> fromUriList(std::span<const uint8_t> bytes);

    // "http://" or "https://" (any case) followed by something.
    static bool isWebLink(std::u16string_view text);
    static std::u16string_view trimmed(std::u16string_view text);
};

}
