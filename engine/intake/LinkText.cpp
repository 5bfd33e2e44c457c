#include "engine/intake/LinkText.h"

#include "foundation/str/StrBuffer.h"

namespace s::video::gui::dialogs::videodl {

namespace {

char16_t asciiLower(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

bool matchesAt(std::u16string_view text, size_t at, std::u16string_view what)
{
    if (at > text.size() || text.size() - at < what.size())
        return false;
    for (size_t i = 0; i < what.size(); ++i) {
        if (asciiLower(text[at + i]) != asciiLower(what[i]))
            return false;
    }
    return true;
}

}

std::u16string_view LinkText::trim(std::u16string_view text)
{
    size_t first = text.find_first_not_of(Blanks);
    if (first == std::u16string_view::npos)
        return {};
    return trimEnd(text.substr(first));
}

std::u16string_view LinkText::trimEnd(std::u16string_view text)
{
    size_t last = text.find_last_not_of(Blanks);
    return last == std::u16string_view::npos ? std::u16string_view() : text.substr(0, last + 1);
}

bool LinkText::startsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix)
{
    return matchesAt(text, 0, prefix);
}

bool LinkText::equalsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && matchesAt(a, 0, b);
}

size_t LinkText::findIgnoreCase(std::u16string_view text, std::u16string_view what, size_t from)
{
    if (what.empty())
        return from <= text.size() ? from : std::u16string_view::npos;
    for (size_t at = from; at + what.size() <= text.size(); ++at) {
        if (matchesAt(text, at, what))
            return at;
    }
    return std::u16string_view::npos;
}

bool LinkText::isWebLink(std::u16string_view text)
{
    return startsWithIgnoreCase(text, u"http://") || startsWithIgnoreCase(text, u"https://");
}

bool LinkText::sameLink(std::u16string_view a, std::u16string_view b)
{
    // Links are compared the way the user sees them: any letter, not only A-Z, in any case.
    return a.size() == b.size() && str::strbuffer::StrBuffer::compareUnitsIgnoreCase(a, b) == 0;
}

std::u16string_view LinkText::takeDropped(std::u16string_view dropped)
{
    std::u16string_view link = trimEnd(dropped);
    return isWebLink(link) ? link : std::u16string_view();
}

bool LinkText::qualifiesFromClipboard(std::u16string_view line)
{
    if (!isWebLink(line) || line.size() <= 8)
        return false;
    size_t slash = line.find(u'/', 8);
    return slash != std::u16string_view::npos && slash + 1 < line.size();
}

}
