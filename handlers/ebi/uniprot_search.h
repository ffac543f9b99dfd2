#pragma once
// A UniProtKB search, page by page. UniProt pages by cursor: each answer names the next page in
// its Link header, and a position cannot be asked for by number. The handler therefore reads a
// search in blocks of UniProt's largest page (500 rows) and keeps, like answers, the cursor of
// every block start it has met; a far block is reached by walking from the nearest known cursor
// with the largest page and the fewest fields (the accession alone). Any start, Next, Previous and
// Go to then give exactly the search's rows [start, start + count), without gap or overlap.

#include "ebi_listing.h"

#include <cstdint>
#include <string>

namespace Dbscout::Ebi {

inline constexpr int kUniProtBlock = 500;
// The most blocks walked for one page (100,000 rows): beyond it the page is refused rather than
// left waiting for minutes.
inline constexpr int kMostBlocksWalked = 200;

// The rows [start, start + count) of query's search into listing, and listing.found.
Status listUniProt(WebClient& client, const std::string& query, std::int64_t start, int count,
                   Listing& listing);

} // namespace Dbscout::Ebi
