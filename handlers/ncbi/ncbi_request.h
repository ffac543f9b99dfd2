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

namespace Dbscout::Ncbi {

using Handlers::kMaxQueryBytes;
using Handlers::Status;

// esummary answers at most this many documents to one request of ours.
inline constexpr int kMaxPageSize = 500;
inline constexpr size_t kMaxIdBytes = 64;

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
    std::string id; // the path after the database (and kind); empty when absent
    Command command = Command::Dir;
    std::string commandWord; // the first command other than dir, as written
};

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseNcbiRequest(std::string_view text, NcbiRequest& request);

} // namespace Dbscout::Ncbi
