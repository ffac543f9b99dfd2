#pragma once
// What a typed query asks NCBI: an Entrez query as typed in NCBI's own search box, a filter of the
// database by name, or a filter's name followed by a query (the web handlers' shared reading,
// filtered_query.h).

#include "entrez_database.h"
#include "filtered_query.h"

namespace Dbscout::Ncbi {

using Handlers::Status;
using EntrezTerm = Web::FilteredQuery;
using Web::joinedTerm;
using Web::unbalancedPart;

inline Status entrezTerm(const DatabaseInfo& database, std::string_view query, EntrezTerm& result)
{
    return Web::filteredQuery(database.filters, query, result);
}

} // namespace Dbscout::Ncbi
