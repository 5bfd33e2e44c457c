#include "engine/catalogue/LookUpSite.h"

#include "engine/catalogue/SiteIndex.h"

#include <cstdint>

namespace s::video::gui::dialogs::videodl {

namespace {

using namespace siteindex;

constexpr std::size_t NoRow = SIZE_MAX;

bool OccursAt(std::u16string_view link, std::size_t at, std::u16string_view key)
{
    if (key.size() > link.size() - at)
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (Fold(link[at + i]) != key[i])
            return false;
    }
    return true;
}

// The lowest row number (table A's rows first) whose match text occurs in the link, or NoRow.
// Equivalent to walking every row in table order, but only the rows filed under the three units
// at each position of the link are tried.
std::size_t FirstMatchingRow(std::u16string_view link)
{
    if (link.size() < KeyPrefix)
        return NoRow;
    std::size_t best = NoRow;
    char16_t first = Fold(link[0]);
    char16_t second = Fold(link[1]);
    for (std::size_t at = 0; at + KeyPrefix <= link.size(); ++at) {
        const char16_t third = Fold(link[at + 2]);
        const std::uint32_t bucket = BucketOf(first, second, third);
        for (std::size_t k = BucketStart[bucket], end = BucketStart[bucket + 1]; k < end; ++k) {
            const std::size_t row = BucketRows[k];
            // A bucket is in ascending row order: nothing further on can beat what we have.
            if (row >= best)
                break;
            if (OccursAt(link, at, Keys[row])) {
                best = row;
                break;
            }
        }
        if (best == 0)
            break;
        first = second;
        second = third;
    }
    return best;
}

SiteLookup FromRow(const SiteTable& table, std::size_t index)
{
    const SiteRow& row = table.rows[index];
    SiteLookup result;
    result.tool = table.tool;
    result.login = static_cast<LoginMark>(row.login[0] - u'0');
    result.adult = row.adult[0] == u'1';
    result.row = &row;
    return result;
}

}

SiteLookup LookUpSite(std::u16string_view link, bool useDefault)
{
    // Steps 1 and 2: the first matching row of the youtube-dl table, else of the you-get table.
    const std::size_t row = FirstMatchingRow(link);
    if (row < CountA)
        return FromRow(TableA, row);
    if (row != NoRow)
        return FromRow(TableB, row - CountA);

    // Step 3: no row matched.
    SiteLookup result;
    if (useDefault)
        result.tool = ToolYoutubeDl;
    return result;
}

const SiteTable& YoutubeDlSites()
{
    return TableA;
}

const SiteTable& YouGetSites()
{
    return TableB;
}

}
