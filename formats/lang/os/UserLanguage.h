#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace s::lang::os {

// The user's display language, as a language id (LANGID) of the kind the packs' language names
// are defined for, read from the locale: LANGUAGE (its first entry that names a known language),
// then the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty. "C" and "POSIX"
// mean English (United States).
class UserLanguage {
public:
    // The language id for one locale name such as "ja_JP.UTF-8", "sr_RS@latin", "pt-BR" or
    // "zh_Hant_TW"; 0 for a language without an id, and for an empty or malformed name.
    static uint16_t langIdOfLocale(std::string_view locale);
    // The language id from these environment values (null or empty = not set).
    static uint16_t langIdOfEnvironment(const char* language, const char* lcAll, const char* lcMessages, const char* lang);
    // The language id of this process's environment.
    static uint16_t langId();
    // The display name of langId() (LanguageNames::nameOf), computed once per process.
    static const std::u16string& name();
};

}
