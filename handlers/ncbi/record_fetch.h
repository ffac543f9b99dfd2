#pragma once
// command=fetch: records as text, GenBank, GenPept or MEDLINE. One record streams as it arrives;
// several come in the order asked, each once, fetched in batches of kFetchBatch (by POST when
// long), each record kept in the cache on its own. docs/ncbi.md states the contract for several:
// how a reader tells the records apart, what happens to ids NCBI does not know, the exit status.

#include "entrez_database.h"
#include "eutils_query.h"
#include "read_only_serving.h"

#include <string>
#include <vector>

namespace Dbscout::Ncbi {

// Ids per efetch: NCBI asks for POST beyond about 200 ids and batches of about 500 at most when
// they are accession.versions; several hundred records make one answer.
inline constexpr size_t kFetchBatch = 200;

using Web::FetchOutcome;

// Writes the records of ids (distinct, at least one) to out. Fails with NotFound, naming them,
// when NCBI has none of them; with the failure otherwise, outcome.started telling whether
// records went out before it.
Status fetchRecords(WebClient& client, const DatabaseInfo& database,
                    const std::vector<std::string>& ids, int out, FetchOutcome& outcome);

} // namespace Dbscout::Ncbi
