#pragma once
// command=fetch: entries as UniProt's flat text, sequences as EMBL flat files, in the order asked,
// each once; each streams as it arrives and is kept in the cache on its own. Several records
// follow one another, each ending with its "//" line, as both formats are read.

#include "ebi_listing.h"
#include "read_only_serving.h"

#include <string>
#include <vector>

namespace Dbscout::Ebi {

using Web::FetchOutcome;

// Writes the records of ids (distinct, at least one) to out. Fails with NotFound, naming them,
// when the service has none of them; with the failure otherwise, outcome.started telling whether
// records went out before it.
Status fetchRecords(WebClient& client, const SourceInfo& source,
                    const std::vector<std::string>& ids, int out, FetchOutcome& outcome);

} // namespace Dbscout::Ebi
