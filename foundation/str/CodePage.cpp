#include "foundation/str/CodePage.h"

#include "foundation/str/StrBuffer.h"
#include "foundation/str/Utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

namespace s::system::codepage {

namespace {

constexpr uint32_t namedOnly = 0xFFFFFFFF;

// Windows code pages whose iconv names are not simply "CP" followed by the number.
struct KnownPage {
    uint32_t number;
    const char* charset;
};

constexpr KnownPage knownPages[] = {
    { CodePage::utf16LE, "UTF-16LE" },
    { CodePage::utf16BE, "UTF-16BE" },
    { CodePage::utf8, "UTF-8" },
    { 936, "GBK" },
    { 950, "BIG5" },
    { 10000, "MACINTOSH" },
    { 20127, "ASCII" },
    { 20866, "KOI8-R" },
    { 21866, "KOI8-U" },
    { 28591, "ISO-8859-1" },
    { 28592, "ISO-8859-2" },
    { 28593, "ISO-8859-3" },
    { 28594, "ISO-8859-4" },
    { 28595, "ISO-8859-5" },
    { 28596, "ISO-8859-6" },
    { 28597, "ISO-8859-7" },
    { 28598, "ISO-8859-8" },
    { 28599, "ISO-8859-9" },
    { 28603, "ISO-8859-13" },
    { 28605, "ISO-8859-15" },
    { 50220, "ISO-2022-JP" },
    { 51932, "EUC-JP" },
    { 51936, "EUC-CN" },
    { 51949, "EUC-KR" },
    { 54936, "GB18030" },
};

bool isUtf8Name(const std::string& name)
{
    return strcasecmp(name.c_str(), "UTF-8") == 0 || strcasecmp(name.c_str(), "UTF8") == 0;
}

void appendUnits(str::strbuffer::StrBuffer& out, const char16_t* units, size_t count)
{
    out.append(units, static_cast<uint32_t>(count));
}

}

thread::Pooled<CodePage> CodePage::make(uint32_t number)
{
    thread::Pooled<CodePage> page;
    page->setNumber(number);
    return page;
}

void CodePage::reset()
{
    setNumber(ansi);
}

std::string CodePage::localeCharset()
{
    // The environment's locale, whether or not the process has called setlocale.
    static const std::string charset = [] {
        locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (!locale)
            return std::string("ASCII");
        std::string name = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
        return name.empty() ? std::string("ASCII") : name;
    }();
    return charset;
}

void CodePage::setNumber(uint32_t number)
{
    m_number = number;
    if (number == ansi || number == oem) {
        m_charset = localeCharset();
        return;
    }
    for (const KnownPage& page : knownPages) {
        if (page.number == number) {
            m_charset = page.charset;
            return;
        }
    }
    char name[16];
    std::snprintf(name, sizeof name, "CP%u", number);
    m_charset = name;
}

void CodePage::setCharset(std::string_view name)
{
    m_charset.assign(name);
    m_number = namedOnly;
    if (isUtf8Name(m_charset))
        m_number = utf8;
    else if (strcasecmp(m_charset.c_str(), "UTF-16LE") == 0)
        m_number = utf16LE;
    else if (strcasecmp(m_charset.c_str(), "UTF-16BE") == 0)
        m_number = utf16BE;
}

void CodePage::encode(const char16_t* units, size_t count, std::string& out) const
{
    if (count == 0)
        return;
    if (isUtf8Name(m_charset)) {
        size_t start = out.size();
        out.resize(start + str::Utf8::maxEncodedSize(count));
        out.resize(start + str::Utf8::encode(units, count, reinterpret_cast<uint8_t*>(out.data() + start)));
        return;
    }
    iconv_t cd = iconv_open(m_charset.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // A set that iconv does not know: keep ASCII, mark the rest.
        for (size_t i = 0; i < count; ++i) {
            char16_t u = units[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
                ++i;
            out += u < 0x80 ? static_cast<char>(u) : '?';
        }
        return;
    }
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units));
    size_t inLeft = count * sizeof(char16_t);
    char chunk[4096];
    while (inLeft > 0) {
        char* o = chunk;
        size_t outLeft = sizeof chunk;
        size_t result = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(chunk, static_cast<size_t>(o - chunk));
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // A unit the set cannot hold (or a broken surrogate) becomes "?" as one character.
        out += '?';
        char16_t u;
        std::memcpy(&u, in, sizeof u);
        size_t skip = 2;
        if (u >= 0xD800 && u <= 0xDBFF && inLeft >= 4) {
            char16_t next;
            std::memcpy(&next, in + 2, sizeof next);
            if (next >= 0xDC00 && next <= 0xDFFF)
                skip = 4;
        }
        skip = skip < inLeft ? skip : inLeft;
        in += skip;
        inLeft -= skip;
    }
    char* o = chunk;
    size_t outLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &o, &outLeft); // back to the initial shift state
    out.append(chunk, static_cast<size_t>(o - chunk));
    iconv_close(cd);
}

void CodePage::decode(const uint8_t* bytes, size_t count, str::strbuffer::StrBuffer& out) const
{
    if (count == 0)
        return;
    if (isUtf8Name(m_charset)) {
        out.fromUtf8(bytes, static_cast<int64_t>(count), true);
        return;
    }
    constexpr char16_t replacement = 0xFFFD;
    iconv_t cd = iconv_open("UTF-16LE", m_charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (size_t i = 0; i < count; ++i)
            out.append(bytes[i] < 0x80 ? static_cast<char16_t>(bytes[i]) : replacement);
        return;
    }
    char* in = reinterpret_cast<char*>(const_cast<uint8_t*>(bytes));
    size_t inLeft = count;
    char16_t chunk[2048];
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(chunk);
        size_t outLeft = sizeof chunk;
        size_t result = iconv(cd, &in, &inLeft, &o, &outLeft);
        appendUnits(out, chunk, static_cast<size_t>(reinterpret_cast<char16_t*>(o) - chunk));
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        out.append(replacement);
        if (errno == EINVAL)
            break; // the input ends inside a character
        ++in;
        --inLeft;
    }
    iconv_close(cd);
}

}
