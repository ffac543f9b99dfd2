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

// esummary answers at most 500 documents to one request of ours. A query may be a pasted list of
// hundreds of accessions: 64 KiB is the handler's limit, not NCBI's (long queries go to NCBI by
// POST).
inline constexpr Handlers::PageLimit kNcbiPageLimit{500, " for NCBI databases", 64 * 1024};

// The record names, command, query and page come from the web handlers' shared reading; the
// request's source is the database.
using NcbiRequest = Web::SourceRequest<DatabaseInfo>;

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseNcbiRequest(std::string_view text, NcbiRequest& request);

} // namespace Dbscout::Ncbi
