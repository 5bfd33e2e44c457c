#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace s::lang {

// The English names by which system languages are matched against the packs' English names.
//
// A language id (LANGID) carries a primary language in its low byte and a region above it. A few
// whole ids have names of their own (the Chinese scripts, Brazilian and European Portuguese,
// Croatian, the Serbian scripts, Bosnian, the two Sorbian languages); every other id is named
// after its primary language; ids whose primary language has no name give "Unknown".
class LanguageNames {
public:
    // "CHINESE_SIMPLIFIED", "ENGLISH", "PORTUGUESE_PORTUGAL", "Unknown" ...
    static std::u16string_view upperCaseName(uint16_t langId);
    // The same in display form: lower case with the first letter capitalised
    // ("Chinese_simplified", "English", "Unknown").
    static std::u16string nameOf(uint16_t langId);
    // The primary language's name for the low byte of an id, or empty.
    static std::u16string_view primaryName(uint8_t primary);
    // How many primary languages have names.
    static uint32_t primaryNameCount();
};

}
