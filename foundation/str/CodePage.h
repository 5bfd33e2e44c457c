#pragma once

#include "foundation/base/IObject.h"
#include "foundation/str/Forward.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace s::system::codepage {

// A character set that text is converted to and from, named by its Windows code-page number
// (1252, 932, 1200 = UTF-16LE, 1201 = UTF-16BE, 65001 = UTF-8, 0 = the "ANSI" page, 1 = the
// "OEM" page) or directly by an iconv charset name. UTF-16 pages are copied or byte-swapped,
// UTF-8 goes through the library's own codec, every other page through iconv. Both "ANSI" and
// "OEM" are the character set of the user's locale (LC_ALL / LC_CTYPE / LANG).
//
// Units that the page cannot represent become "?"; bytes that are not valid in the page become
// U+FFFD. No byte-order mark is written or expected.
class CodePage final : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(CodePage, "s_system_codepage_CodePage")
public:
    static constexpr uint32_t ansi = 0;
    static constexpr uint32_t oem = 1;
    static constexpr uint32_t utf16LE = 1200;
    static constexpr uint32_t utf16BE = 1201;
    static constexpr uint32_t utf8 = 65001;

    // A pooled page selected by number.
    static thread::Pooled<CodePage> make(uint32_t number);

    // Back to the "ANSI" page.
    void reset() override;

    void setNumber(uint32_t number);
    // An iconv charset name ("ISO-8859-15", "GB18030"); the number becomes 0xFFFFFFFF unless
    // the name is one of the UTF pages, whose numbers it takes.
    void setCharset(std::string_view name);

    uint32_t number() const { return m_number; }
    // The iconv name the page converts with ("UTF-16LE", "CP1252", the locale's set, ...).
    const char* charset() const { return m_charset.c_str(); }

    // The locale's character set name as iconv knows it ("UTF-8", "ISO-8859-1", ...).
    static std::string localeCharset();

    // Appends the page's bytes for the units to out.
    void encode(const char16_t* units, size_t count, std::string& out) const;
    // Appends the units for the page's bytes to out.
    void decode(const uint8_t* bytes, size_t count, str::strbuffer::StrBuffer& out) const;

private:
    uint32_t m_number { ansi };
    std::string m_charset;
};

}
