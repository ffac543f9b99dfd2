#pragma once
// The request URL of the ncbi scheme: ncbi://entrez/DATABASE[/KIND][/ID]?PARAMS, with DATABASE
// nucleotide, protein or pubmed, KIND the matching keyword of the panel's data-source split
// (dnarna, protein, citation) and ID an accession, accession.version or PMID. The grammar is in
// docs/ncbi.md.

#include "entrez_database.h"
#include "request_parameters.h"
#include "status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

using Handlers::Status;

// esummary answers at most this many documents to one request of ours.
inline constexpr int kMaxPageSize = 500;
inline constexpr size_t kMaxIdBytes = 64;
// The most records one fetch names (the panel's name box joins a selection with ",").
inline constexpr size_t kMaxIds = 1000;
// A query may be a pasted list of hundreds of accessions: the handler's limit, not NCBI's (long
// queries go to NCBI by POST).
inline constexpr size_t kMaxNcbiQueryBytes = 64 * 1024;

enum class Command {
    Dir,
    Fetch,
    Write,   // put, co, ci, unco, cs, ochmod, schmod: NCBI's databases are read-only
    Unknown, // any other word
};

// The listing's query, start and page size come from the handlers' shared reading.
struct NcbiRequest : Handlers::ListingParameters
{
    const DatabaseInfo* database = nullptr;
    std::vector<std::string> ids; // the path after the database (and kind), split at ",", each once
    Command command = Command::Dir;
    std::string commandWord; // the first command other than dir, as written
};

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseNcbiRequest(std::string_view text, NcbiRequest& request);

} // namespace Dbscout::Ncbi
