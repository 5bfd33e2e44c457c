#pragma once

// The compiled-in site tables and the index that lets a lookup skip the rows that cannot match.
// tools/gen-sites writes the definitions from data/sites-*.tsv at build time.
//
// Rows of both tables are numbered together, the youtube-dl table first, so the lowest matching
// number is the answer of a walk through table A and then table B. Each row is filed under a
// bucket chosen by the first three units of its lower-cased match text; a lookup hashes the
// three units at each position of the folded link and tries only that bucket's rows, which are
// stored in ascending number.

#include "engine/catalogue/SiteRow.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace s::video::gui::dialogs::videodl::siteindex {

inline constexpr unsigned BucketBits = 12;
inline constexpr std::size_t BucketCount = std::size_t(1) << BucketBits;
inline constexpr std::size_t KeyPrefix = 3; // every match text is at least this long

// Folds A-Z to a-z and leaves every other unit as it is.
constexpr char16_t Fold(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + (u'a' - u'A')) : unit;
}

// Bucket of three folded units. tools/gen-sites computes the same function.
constexpr std::uint32_t BucketOf(char16_t a, char16_t b, char16_t c)
{
    constexpr std::uint32_t mix = 0x9E3779B1u;
    std::uint32_t h = a;
    h = h * mix + b;
    h = h * mix + c;
    h *= mix;
    return h >> (32 - BucketBits);
}

extern const SiteTable TableA; // youtube-dl
extern const SiteTable TableB; // you-get
extern const std::size_t CountA; // rows of table A; row numbers from here on are table B's

extern const std::u16string_view Keys[];               // lower-cased match texts, A's rows then B's
extern const std::uint16_t BucketStart[BucketCount + 1]; // bucket k holds BucketRows[BucketStart[k] .. BucketStart[k+1])
extern const std::uint16_t BucketRows[];

}
