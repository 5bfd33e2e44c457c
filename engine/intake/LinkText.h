#pragma once

#include <cstddef>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// The small text rules of link intake: blanks, web-link prefixes, sameness of links, and the
// tests that a dropped text and a clipboard line must pass.
class LinkText {
public:
    // What counts as a blank around a link: space, line feed, ideographic space, tab, carriage
    // return.
    static constexpr std::u16string_view Blanks = u" \n\u3000\t\r";

    static std::u16string_view trim(std::u16string_view text);
    static std::u16string_view trimEnd(std::u16string_view text);

    // Letters A-Z and a-z compared without regard to case, every other unit exactly.
    static bool startsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
    static bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
    // The first occurrence of `what` at or after `from`, or npos.
    static size_t findIgnoreCase(std::u16string_view text, std::u16string_view what, size_t from = 0);

    // Begins with "http://" or "https://", letters in any case.
    static bool isWebLink(std::u16string_view text);

    // Two links name the same download: same length, equal with letters in any case.
    static bool sameLink(std::u16string_view a, std::u16string_view b);

    // A dropped text with its trailing blanks removed, when it is a web link; empty otherwise.
    static std::u16string_view takeDropped(std::u16string_view dropped);

    // A clipboard line (trailing blanks already removed) is taken when it is a web link longer
    // than 8 units with a "/" at index 8 or later that is not its last unit: "http://a/" is not,
    // "http://a/b" is.
    static bool qualifiesFromClipboard(std::u16string_view line);
};

}
