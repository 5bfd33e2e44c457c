#pragma once

#include "foundation/str/Ascii.h"

#include <cstdint>

namespace s::str {

// The one place that says how the library ignores case.
//
// Two rules exist, chosen per operation (see StrBuffer.h):
//  - ASCII: "A"-"Z" pair with "a"-"z" and nothing else (finds, starts/ends, replace, hashes).
//  - Folding: each UTF-16 unit on its own is mapped by Unicode simple case folding (one unit to
//    one unit; mappings that need more units or leave the basic plane are not applied). This is
//    the rule of the platform's wcsnicmp-style comparisons, used by compareIgnoreCase,
//    equalsIgnoreCase and matchesAtIgnoreCase. Surrogates and unassigned units fold to
//    themselves, so a comparison never depends on the process locale.
// lower() and upper() are the simple per-unit lower-case and upper-case mappings that toLower()
// and toUpper() apply, again independent of the locale.
class CaseFold {
public:
    static char16_t asciiLower(char16_t unit) { return ascii::toLower(unit); }
    static char16_t asciiUpper(char16_t unit) { return ascii::toUpper(unit); }

    static char16_t fold(char16_t unit) { return unit < 0x80 ? asciiLower(unit) : lookup(s_fold, s_foldCount, unit); }
    static char16_t lower(char16_t unit) { return unit < 0x80 ? asciiLower(unit) : lookup(s_lower, s_lowerCount, unit); }
    static char16_t upper(char16_t unit) { return unit < 0x80 ? asciiUpper(unit) : lookup(s_upper, s_upperCount, unit); }

    struct Pair {
        char16_t from;
        char16_t to;
    };

private:
    static char16_t lookup(const Pair* table, uint32_t count, char16_t unit);

    static const Pair s_fold[];
    static const uint32_t s_foldCount;
    static const Pair s_lower[];
    static const uint32_t s_lowerCount;
    static const Pair s_upper[];
    static const uint32_t s_upperCount;
};

}
