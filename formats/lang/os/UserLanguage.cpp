#include "formats/lang/os/UserLanguage.h"

#include "formats/lang/LanguageNames.h"

#include <cstdlib>
#include <string>

namespace s::lang::os {

namespace {

constexpr uint16_t englishUnitedStates = 0x0409;

// Sub-language 1 (the language's main region) of a primary language.
constexpr uint16_t defaultId(uint8_t primary)
{
    return static_cast<uint16_t>(primary | (1 << 10));
}

struct LanguageCode {
    std::string_view code;
    uint8_t primary;
};

// Locale language codes (two-letter where one exists, otherwise three-letter) and the primary
// language the platform files them under.
constexpr LanguageCode languageCodes[] = {
    { "af", 0x36 }, { "am", 0x5E }, { "ar", 0x01 }, { "arn", 0x7A }, { "as", 0x4D }, { "az", 0x2C },
    { "ba", 0x6D }, { "be", 0x23 }, { "ber", 0x5F }, { "bg", 0x02 }, { "bn", 0x45 }, { "bo", 0x51 },
    { "br", 0x7E }, { "bs", 0x1A }, { "ca", 0x03 }, { "chr", 0x5C }, { "co", 0x83 }, { "cs", 0x05 },
    { "cy", 0x52 }, { "da", 0x06 }, { "de", 0x07 }, { "dsb", 0x2E }, { "dv", 0x65 }, { "el", 0x08 },
    { "en", 0x09 }, { "es", 0x0A }, { "et", 0x25 }, { "eu", 0x2D }, { "fa", 0x29 }, { "ff", 0x67 },
    { "fi", 0x0B }, { "fil", 0x64 }, { "fo", 0x38 }, { "fr", 0x0C }, { "fy", 0x62 }, { "ga", 0x3C },
    { "gl", 0x56 }, { "gsw", 0x84 }, { "gu", 0x47 }, { "ha", 0x68 }, { "he", 0x0D }, { "hi", 0x39 },
    { "hr", 0x1A }, { "hsb", 0x2E }, { "hu", 0x0E }, { "hy", 0x2B }, { "id", 0x21 }, { "ig", 0x70 },
    { "ii", 0x78 }, { "in", 0x21 }, { "is", 0x0F }, { "it", 0x10 }, { "iu", 0x5D }, { "iw", 0x0D },
    { "ja", 0x11 }, { "ka", 0x37 }, { "kk", 0x3F }, { "kl", 0x6F }, { "km", 0x53 }, { "kn", 0x4B },
    { "ko", 0x12 }, { "kok", 0x57 }, { "ks", 0x60 }, { "ky", 0x40 }, { "lb", 0x6E }, { "lo", 0x54 },
    { "lt", 0x27 }, { "lv", 0x26 }, { "mi", 0x81 }, { "mk", 0x2F }, { "ml", 0x4C }, { "mn", 0x50 },
    { "mni", 0x58 }, { "moh", 0x7C }, { "mr", 0x4E }, { "ms", 0x3E }, { "mt", 0x3A }, { "nb", 0x14 },
    { "ne", 0x61 }, { "nl", 0x13 }, { "nn", 0x14 }, { "no", 0x14 }, { "nso", 0x6C }, { "oc", 0x82 },
    { "or", 0x48 }, { "pa", 0x46 }, { "pl", 0x15 }, { "prs", 0x8C }, { "ps", 0x63 }, { "pt", 0x16 },
    { "quc", 0x86 }, { "quz", 0x6B }, { "rm", 0x17 }, { "ro", 0x18 }, { "ru", 0x19 }, { "rw", 0x87 },
    { "sa", 0x4F }, { "sah", 0x85 }, { "sd", 0x59 }, { "se", 0x3B }, { "si", 0x5B }, { "sk", 0x1B },
    { "sl", 0x24 }, { "sq", 0x1C }, { "sr", 0x1A }, { "sv", 0x1D }, { "sw", 0x41 }, { "syr", 0x5A },
    { "ta", 0x49 }, { "te", 0x4A }, { "tg", 0x28 }, { "th", 0x1E }, { "ti", 0x73 }, { "tk", 0x42 },
    { "tl", 0x64 }, { "tn", 0x32 }, { "tr", 0x1F }, { "tt", 0x44 }, { "tzm", 0x5F }, { "ug", 0x80 },
    { "uk", 0x22 }, { "ur", 0x20 }, { "uz", 0x43 }, { "vi", 0x2A }, { "wo", 0x88 }, { "xh", 0x34 },
    { "yo", 0x6A }, { "zh", 0x04 }, { "zu", 0x35 },
};

struct RegionalId {
    std::string_view language;
    std::string_view region;
    uint16_t langId;
};

// Regions with ids of their own, for the languages whose regions the program or the platform
// tells apart. Chinese and Serbian are decided in code (their script matters as well).
constexpr RegionalId regionalIds[] = {
    { "ar", "IQ", 0x0801 }, { "ar", "EG", 0x0C01 }, { "ar", "LY", 0x1001 }, { "ar", "DZ", 0x1401 },
    { "ar", "MA", 0x1801 }, { "ar", "TN", 0x1C01 }, { "ar", "OM", 0x2001 }, { "ar", "YE", 0x2401 },
    { "ar", "SY", 0x2801 }, { "ar", "JO", 0x2C01 }, { "ar", "LB", 0x3001 }, { "ar", "KW", 0x3401 },
    { "ar", "AE", 0x3801 }, { "ar", "BH", 0x3C01 }, { "ar", "QA", 0x4001 },
    { "de", "CH", 0x0807 }, { "de", "AT", 0x0C07 }, { "de", "LU", 0x1007 }, { "de", "LI", 0x1407 },
    { "en", "GB", 0x0809 }, { "en", "AU", 0x0C09 }, { "en", "CA", 0x1009 }, { "en", "NZ", 0x1409 },
    { "en", "IE", 0x1809 }, { "en", "ZA", 0x1C09 }, { "en", "JM", 0x2009 }, { "en", "BZ", 0x2809 },
    { "en", "TT", 0x2C09 }, { "en", "ZW", 0x3009 }, { "en", "PH", 0x3409 }, { "en", "IN", 0x4009 },
    { "en", "MY", 0x4409 }, { "en", "SG", 0x4809 },
    { "es", "ES", 0x0C0A }, { "es", "MX", 0x080A }, { "es", "GT", 0x100A }, { "es", "CR", 0x140A },
    { "es", "PA", 0x180A }, { "es", "DO", 0x1C0A }, { "es", "VE", 0x200A }, { "es", "CO", 0x240A },
    { "es", "PE", 0x280A }, { "es", "AR", 0x2C0A }, { "es", "EC", 0x300A }, { "es", "CL", 0x340A },
    { "es", "UY", 0x380A }, { "es", "PY", 0x3C0A }, { "es", "BO", 0x400A }, { "es", "SV", 0x440A },
    { "es", "HN", 0x480A }, { "es", "NI", 0x4C0A }, { "es", "PR", 0x500A }, { "es", "US", 0x540A },
    { "fa", "AF", 0x048C },
    { "fr", "BE", 0x080C }, { "fr", "CA", 0x0C0C }, { "fr", "CH", 0x100C }, { "fr", "LU", 0x140C },
    { "fr", "MC", 0x180C },
    { "hr", "BA", 0x101A },
    { "it", "CH", 0x0810 },
    { "ms", "BN", 0x083E },
    { "nl", "BE", 0x0813 },
    { "pt", "BR", 0x0416 },
    { "ro", "MD", 0x0818 },
    { "ru", "MD", 0x0819 },
    { "sv", "FI", 0x081D },
};

// A locale name taken apart: language[_-]script?[_-]region?[.codeset][@modifier].
struct LocaleParts {
    std::string language;
    std::string script;
    std::string region;
    std::string modifier;
};

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return out;
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out;
}

bool allOf(std::string_view text, bool (*test)(char))
{
    for (char c : text) {
        if (!test(c))
            return false;
    }
    return !text.empty();
}

bool splitLocale(std::string_view locale, LocaleParts& parts)
{
    size_t at = locale.find('@');
    if (at != std::string_view::npos) {
        parts.modifier = lowerAscii(locale.substr(at + 1));
        locale = locale.substr(0, at);
    }
    size_t dot = locale.find('.');
    if (dot != std::string_view::npos)
        locale = locale.substr(0, dot);

    // Step 1: the language, two or three letters.
    size_t end = locale.find_first_of("_-");
    std::string_view language = locale.substr(0, end);
    if (language.size() < 2 || language.size() > 3 || !allOf(language, isAsciiLetter))
        return false;
    parts.language = lowerAscii(language);

    // Step 2: an optional four-letter script, then an optional region (two letters or three
    // digits); anything further (variants) is ignored.
    while (end != std::string_view::npos) {
        locale = locale.substr(end + 1);
        end = locale.find_first_of("_-");
        std::string_view piece = locale.substr(0, end);
        if (piece.size() == 4 && allOf(piece, isAsciiLetter) && parts.script.empty() && parts.region.empty()) {
            parts.script = lowerAscii(piece);
        } else if (parts.region.empty()
            && ((piece.size() == 2 && allOf(piece, isAsciiLetter))
                || (piece.size() == 3 && allOf(piece, [](char c) { return c >= '0' && c <= '9'; })))) {
            parts.region = upperAscii(piece);
        } else {
            break;
        }
    }
    return true;
}

uint16_t chineseId(const LocaleParts& parts)
{
    const std::string& r = parts.region;
    bool traditionalRegion = r == "TW" || r == "HK" || r == "MO";
    bool simplifiedRegion = r == "CN" || r == "SG";
    if (parts.script == "hant" && !traditionalRegion)
        return 0x7C04;
    if (parts.script == "hans" && !simplifiedRegion)
        return 0x0004;
    if (r == "TW")
        return 0x0404;
    if (r == "HK")
        return 0x0C04;
    if (r == "MO")
        return 0x1404;
    if (r == "SG")
        return 0x1004;
    return 0x0804;
}

uint16_t serbianId(const LocaleParts& parts)
{
    bool latin = parts.modifier == "latin" || parts.script == "latn";
    bool cyrillic = parts.modifier == "cyrillic" || parts.script == "cyrl";
    // Montenegro writes Latin unless told otherwise; Serbia and Bosnia default to Cyrillic.
    if (!latin && !cyrillic)
        latin = parts.region == "ME";
    bool bosnia = parts.region == "BA";
    if (latin)
        return bosnia ? 0x181A : 0x081A;
    return bosnia ? 0x1C1A : 0x0C1A;
}

uint16_t bosnianId(const LocaleParts& parts)
{
    bool cyrillic = parts.modifier == "cyrillic" || parts.script == "cyrl";
    return cyrillic ? 0x201A : 0x141A;
}

}

uint16_t UserLanguage::langIdOfLocale(std::string_view locale)
{
    if (locale == "C" || locale == "POSIX" || locale.starts_with("C.") || locale.starts_with("C@")
        || locale.starts_with("POSIX."))
        return englishUnitedStates;

    LocaleParts parts;
    if (!splitLocale(locale, parts))
        return 0;
    const std::string& language = parts.language;

    // Step 1: the languages whose script or region picks a name of its own.
    if (language == "zh")
        return chineseId(parts);
    if (language == "sr")
        return serbianId(parts);
    if (language == "bs")
        return bosnianId(parts);
    if (language == "pt")
        return parts.region == "BR" ? 0x0416 : 0x0816;
    if (language == "nn")
        return 0x0814;
    if (language == "dsb")
        return 0x082E;
    if (language == "prs")
        return 0x048C;

    // Step 2: a region with an id of its own.
    for (const RegionalId& entry : regionalIds) {
        if (entry.language == language && entry.region == parts.region)
            return entry.langId;
    }

    // Step 3: the language's main region.
    for (const LanguageCode& entry : languageCodes) {
        if (entry.code == language)
            return defaultId(entry.primary);
    }
    return 0;
}

uint16_t UserLanguage::langIdOfEnvironment(const char* language, const char* lcAll, const char* lcMessages, const char* lang)
{
    // LANGUAGE is a list of preferences; its first entry that names a known language wins.
    if (language && *language) {
        std::string_view list(language);
        while (!list.empty()) {
            size_t colon = list.find(':');
            uint16_t id = langIdOfLocale(list.substr(0, colon));
            if (id != 0)
                return id;
            if (colon == std::string_view::npos)
                break;
            list = list.substr(colon + 1);
        }
    }
    for (const char* value : { lcAll, lcMessages, lang }) {
        if (value && *value)
            return langIdOfLocale(value);
    }
    // Nothing set: the C locale.
    return englishUnitedStates;
}

uint16_t UserLanguage::langId()
{
    return langIdOfEnvironment(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

const std::u16string& UserLanguage::name()
{
    static const std::u16string computed = LanguageNames::nameOf(langId());
    return computed;
}

}
