#pragma once
// The two EBI data sources the handler serves, with what the panel shows of each (the kind
// keyword of its pages, its columns and the filters its subset box offers), and the request URL
// that names one: ebi://SOURCE/[KIND/][ID]?PARAMS, with SOURCE uniprotkb or ena, KIND the
// matching keyword of the panel's data-source split (protein, dnarna) and ID an accession or
// entry name (UniProtKB), an accession or accession.version (ENA), several joined by ",". The
// grammar is in docs/ebi.md.

#include "listing_page.h"
#include "read_only_request.h"

#include <string_view>

namespace Dbscout::Ebi {

enum class Source { UniProtKB, Ena };

using Filter = Web::QueryFilter;

// The name is the address segment, uniprotkb or ena; the kind protein or dnarna.
struct SourceInfo : Web::WebSource
{
    Source source;
    std::string_view example; // a query to offer in messages, in the service's own syntax
};

// The source an address names (letter case aside), or nullptr.
const SourceInfo* sourceNamed(std::string_view name);

using Handlers::Status;

// UniProt's largest page is the most rows the handler lists at once.
inline constexpr Handlers::PageLimit kEbiPageLimit{500, " for EBI sources", 8 * 1024};

using EbiRequest = Web::SourceRequest<SourceInfo>;

// Parses text; a malformed URL fails with BadRequest and a message naming the fault and the fix.
Status parseEbiRequest(std::string_view text, EbiRequest& request);

} // namespace Dbscout::Ebi
