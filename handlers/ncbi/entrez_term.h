#pragma once
// What a typed query asks NCBI: an Entrez query as the user typed it in NCBI's own search box, one
// of the database's filters by name (as the subset box offers them), or a filter's name followed
// by a query, which searches within the filter. The user's text stays the user's: a term joined
// to it (a filter, a PMID range) goes outside it, and text that would capture the joined term
// (an open quote, field tag or parenthesis) is refused with what is unbalanced.

#include "entrez_database.h"
#include "status.h"

#include <string>
#include <string_view>

namespace Dbscout::Ncbi {

using Handlers::Status;

struct EntrezTerm
{
    std::string term;    // for esearch's term=; empty when the query is blank
    std::string caption; // the filter's name when the query is just that name, else empty
};

// The term of query; a query within a filter whose text is unbalanced fails with BadRequest.
Status entrezTerm(const DatabaseInfo& database, std::string_view query, EntrezTerm& result);

// What in text would capture a term joined after it ("leaves a quoted phrase open" and what to
// do), or empty when nothing would.
std::string unbalancedPart(std::string_view text);

// "(text) AND restriction", or a BadRequest naming what is unbalanced in text; purpose ends the
// message ("so that the filter RefSeq stays outside it").
Status joinedTerm(std::string_view text, std::string_view restriction, std::string_view purpose,
                  std::string& joined);

} // namespace Dbscout::Ncbi
