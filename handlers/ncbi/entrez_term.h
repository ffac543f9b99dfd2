#pragma once
// What a typed query asks NCBI: an Entrez query as the user typed it in NCBI's own search box, one
// of the database's filters by name (as the subset box offers them), or a filter's name followed
// by a query, which searches within the filter.

#include "entrez_database.h"

#include <string>
#include <string_view>

namespace Dbscout::Ncbi {

struct EntrezTerm
{
    std::string term;    // for esearch's term=; empty when the query is blank
    std::string caption; // the filter's name when the query is just that name, else empty
};

EntrezTerm entrezTerm(const DatabaseInfo& database, std::string_view query);

} // namespace Dbscout::Ncbi
