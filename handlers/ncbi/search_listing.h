#pragma once
// One page of an Entrez search in NCBI's order. The search's set stays on NCBI's History server
// (usehistory), so that every page of it, near or far, is one esummary from that set once the
// set is known; a set NCBI has forgotten (an expired WebEnv) is searched again without a word to
// the user. A PubMed search of more than 9,999 records is cut into PMID ranges (pubmed_slices.h),
// each a set of its own.

#include "answer_readers.h"
#include "entrez_database.h"
#include "eutils_client.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Ncbi {

struct SearchListing
{
    SearchAnswer search;      // the whole search: its exact count and NCBI's words about it
    std::vector<DocSum> docs; // the page's summaries, in NCBI's order
};

// The records at ranks [start, start + count) of term's search. A failed search fails with what
// NCBI said.
Status listSearch(EutilsClient& client, const DatabaseInfo& database, const std::string& term,
                  std::int64_t start, int count, SearchListing& listing);

} // namespace Dbscout::Ncbi
