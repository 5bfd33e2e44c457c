#include "formats/xml/Escape.h"

#include "formats/xml/Text.h"
#include "foundation/str/StrBuffer.h"

#include <algorithm>

namespace s::xml {

void escape(str::strbuffer::StrBuffer& out, const char16_t* units, uint32_t count, EscapeMode mode)
{
    bool isText = mode == EscapeMode::Text;
    out.reserve(out.length() + count);
    for (uint32_t i = 0; i < count; ++i) {
        char16_t c = units[i];
        switch (c) {
        case u'&':
            out.append(u"&amp;", 5);
            break;
        case u'<':
            out.append(u"&lt;", 4);
            break;
        case u'>':
            if (isText)
                out.append(u"&gt;", 4);
            else
                out.append(c);
            break;
        case u'"':
            if (isText)
                out.append(c);
            else
                out.append(u"&quot;", 6);
            break;
        case u' ':
            if (isText)
                out.append(u"&#160;", 6);
            else
                out.append(c);
            break;
        case u'\r':
            out.append(u"&#13;", 5);
            break;
        case u'\n':
            out.append(u"&#10;", 5);
            break;
        default:
            out.append(c);
        }
    }
}

namespace {

struct Entity {
    const char16_t* name; // including "&" and ";"
    uint32_t length;
    char16_t value;
    bool text;      // decoded in element text
    bool attribute; // decoded in attribute values
    bool guards;    // what it produces is never trimmed away
};

constexpr Entity entities[] = {
    { u"&amp;", 5, u'&', true, true, false },
    { u"&lt;", 4, u'<', true, true, false },
    { u"&gt;", 4, u'>', true, false, false },
    { u"&quot;", 6, u'"', false, true, false },
    { u"&#160;", 6, u' ', true, false, true },
    { u"&#13;", 5, u'\r', true, true, true },
    { u"&#10;", 5, u'\n', true, true, true },
};

bool matchesAt(const char16_t* p, const char16_t* end, const Entity& e)
{
    if (static_cast<uint32_t>(end - p) < e.length)
        return false;
    for (uint32_t i = 0; i < e.length; ++i) {
        if (p[i] != e.name[i])
            return false;
    }
    return true;
}

bool isTrailingSpace(char16_t c)
{
    return c == u' ' || c == u'\n' || c == u'\u3000' || c == u'\t' || c == u'\r';
}

}

void unescape(str::strbuffer::StrBuffer& out, const char16_t* units, uint32_t count, EscapeMode mode)
{
    bool isText = mode == EscapeMode::Text;
    const char16_t* p = units;
    const char16_t* end = units + count;
    if (isText) {
        while (p < end && text::isSpace(*p))
            ++p;
    }
    uint32_t keep = out.length(); // never trimmed below this
    out.reserve(out.length() + static_cast<uint32_t>(end - p));
    while (p < end) {
        char16_t c = *p;
        if (c != u'&') {
            out.append(c);
            ++p;
            continue;
        }
        const Entity* found = nullptr;
        for (const Entity& e : entities) {
            if ((isText ? e.text : e.attribute) && matchesAt(p, end, e)) {
                found = &e;
                break;
            }
        }
        if (!found) {
            out.append(c);
            ++p;
            continue;
        }
        out.append(found->value);
        p += found->length;
        if (found->guards)
            keep = out.length();
    }
    if (isText) {
        uint32_t length = out.length();
        while (length > keep && isTrailingSpace(out.at(length - 1)))
            --length;
        out.setLength(length);
    }
}

}
