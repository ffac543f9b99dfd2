#pragma once
// An ENA sequence search, page by page: ENA's portal search pages by offset and counts a search
// on its own (the count endpoint), so a page costs two requests, each kept in the cache. ENA's
// search takes only its own query language; the user's plain words and accessions are made into
// it.

#include "ebi_listing.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Dbscout::Ebi {

// The user's text as ENA's portal search takes it: a query in ENA's own language (a field with
// "=", a function such as tax_eq(9606)) as typed; an accession as accession="X56734" (its
// version left out: ENA searches accessions); plain words as words of the description, all of
// them, as description="*insulin*" AND ...
std::string enaTerm(std::string_view typed);

// The rows [start, start + count) of query's search into listing, and listing.found.
Status listEna(WebClient& client, const std::string& query, std::int64_t start, int count,
               Listing& listing);

} // namespace Dbscout::Ebi
