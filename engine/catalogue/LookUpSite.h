#pragma once

#include "engine/catalogue/SiteLookup.h"
#include "engine/catalogue/SiteRow.h"

#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Finds the tool for a link. A row matches when its match text occurs anywhere in the link,
// letters A-Z compared without regard to case and every other unit exactly; the first matching
// row of the youtube-dl table wins, then the first of the you-get table. When nothing matches,
// `useDefault` gives youtube-dl with marks "0", otherwise the result has no tool.
// Never allocates; safe to call from any thread.
SiteLookup LookUpSite(std::u16string_view link, bool useDefault);

// The compiled-in tables, in lookup order.
const SiteTable& YoutubeDlSites();
const SiteTable& YouGetSites();

}
