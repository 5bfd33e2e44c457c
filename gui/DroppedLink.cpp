#include "gui/DroppedLink.h"

#include "foundation/str/Utf8.h"

#include <algorithm>

namespace s::gui {

namespace {

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v' || c == 0 || c == 0xA0
        || c == 0xFEFF;
}

// The first line of a text, up to a line feed or carriage return.
std::u16string_view firstLine(std::u16string_view text)
{
    size_t end = text.find_first_of(u"\r\n");
    return end == std::u16string_view::npos ? text : text.substr(0, end);
}

std::optional<std::u16string> taken(std::u16string_view line)
{
    std::u16string_view link = DroppedLink::trimmed(line);
    if (link.size() > DroppedLink::MaxLength || !DroppedLink::isWebLink(link))
        return std::nullopt;
    return std::u16string(link);
}

// Decodes at most the bytes a link of the largest accepted length can take, and a little more
// to see that it is longer; a drag may carry megabytes.
constexpr size_t MaxBytes = DroppedLink::MaxLength * 4 + 8;

std::u16string decodeUtf8(std::span<const uint8_t> bytes)
{
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        bytes = bytes.subspan(3);
    bytes = bytes.first(std::min(bytes.size(), MaxBytes));
    std::u16string text(str::Utf8::maxDecodedSize(bytes.size()), u'\0');
    text.resize(str::Utf8::decode(bytes.data(), bytes.size(), text.data()));
    return text;
}

std::u16string decodeUtf16(std::span<const uint8_t> bytes, bool bigEndian)
{
    bytes = bytes.first(std::min(bytes.size(), MaxBytes) & ~size_t(1));
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = bigEndian ? char16_t((bytes[i] << 8) | bytes[i + 1]) : char16_t(bytes[i] | (bytes[i + 1] << 8));
        text.push_back(unit);
    }
    return text;
}

}

std::u16string_view DroppedLink::trimmed(std::u16string_view text)
{
    size_t begin = 0;
    while (begin < text.size() && isSpace(text[begin]))
        ++begin;
    size_t end = text.size();
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool DroppedLink::isWebLink(std::u16string_view text)
{
    auto startsWith = [&](std::u16string_view prefix) {
        if (text.size() <= prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            char16_t c = text[i];
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
            if (c != prefix[i])
                return false;
        }
        return true;
    };
    return startsWith(u"http://") || startsWith(u"https://");
}

std::optional<std::u16string> DroppedLink::fromMozUrl(std::span<const uint8_t> bytes)
{
    // 1. The encoding: a byte-order mark decides; without one, a NUL in the second byte means
    //    UTF-16 little endian (a link starts with an ASCII letter), anything else is UTF-8.
    std::u16string text;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        text = decodeUtf16(bytes.subspan(2), false);
    else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        text = decodeUtf16(bytes.subspan(2), true);
    else if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
        text = decodeUtf16(bytes, false);
    else
        text = decodeUtf8(bytes);
    // 2. The link is the first line; a final NUL ends it too.
    std::u16string_view view = text;
    size_t nul = view.find(u'\0');
    if (nul != std::u16string_view::npos)
        view = view.substr(0, nul);
    return taken(firstLine(view));
}

std::optional<std::u16string> DroppedLink::fromUriList(std::span<const uint8_t> bytes)
{
    std::u16string text = decodeUtf8(bytes);
    std::u16string_view rest = text;
    size_t nul = rest.find(u'\0');
    if (nul != std::u16string_view::npos)
        rest = rest.substr(0, nul);
    // The first entry that is not a comment or blank; only that one counts.
    while (!rest.empty()) {
        std::u16string_view line = firstLine(rest);
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        std::u16string_view entry = trimmed(line);
        if (entry.empty() || entry.front() == u'#')
            continue;
        return taken(entry);
    }
    return std::nullopt;
}

}
