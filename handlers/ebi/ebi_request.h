#pragma once
// The request URL of the ebi scheme: ebi://SOURCE/[KIND/][ID]?PARAMS, with SOURCE uniprotkb or
// ena, KIND the matching keyword of the panel's data-source split (protein, dnarna) and ID an
// accession or entry name (UniProtKB), an accession or accession.version (ENA), several joined by
// ",". The grammar is in docs/ebi.md.

#include "ebi_source.h"
#include "read_only_request.h"

#include <string_view>

namespace Dbscout::Ebi {

using Handlers::Status;

// UniProt's largest page is the most rows the handler lists at once.
inline constexpr Handlers::PageLimit kEbiPageLimit{500, " for EBI sources", 8 * 1024};

using EbiRequest = Web::SourceRequest<SourceInfo>;

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseEbiRequest(std::string_view text, EbiRequest& request);

} // namespace Dbscout::Ebi
