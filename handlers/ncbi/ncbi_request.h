#pragma once
// The request URL of the ncbi scheme: ncbi://entrez/DATABASE[/KIND][/ID]?PARAMS, with DATABASE
// nucleotide, protein or pubmed, KIND the matching keyword of the panel's data-source split
// (dnarna, protein, citation) and ID an accession, accession.version or PMID. The grammar is in
// docs/ncbi.md.

#include "entrez_database.h"
#include "read_only_request.h"

#include <string_view>

namespace Dbscout::Ncbi {

using Handlers::Status;
using Web::Command;
using Web::kMaxIdBytes;
using Web::kMaxIds;

// esummary answers at most this many documents to one request of ours.
inline constexpr int kMaxPageSize = 500;
// A query may be a pasted list of hundreds of accessions: the handler's limit, not NCBI's (long
// queries go to NCBI by POST).
inline constexpr size_t kMaxNcbiQueryBytes = 64 * 1024;

// The record names, command, query and page come from the web handlers' shared reading.
struct NcbiRequest : Web::ReadOnlyRequest
{
    const DatabaseInfo* database = nullptr;
};

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseNcbiRequest(std::string_view text, NcbiRequest& request);

} // namespace Dbscout::Ncbi
