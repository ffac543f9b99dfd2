#pragma once
// What a typed query asks a web service: a query as the user typed it in the service's own search
// box, one of the source's filters by name (as the subset box offers them), or a filter's name
// followed by a query, which searches within the filter. The user's text stays the user's: a term
// joined to it (a filter, a range) goes outside it, and text that would capture the joined term
// (an open quote, bracket or parenthesis) is refused with what is unbalanced.

#include "status.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace Dbscout::Web {

using Handlers::Status;

// A subset of a source as a term of the service's query language; the subset box offers it by
// name.
struct QueryFilter
{
    std::string_view name;
    std::string_view term;
};

struct FilteredQuery
{
    std::string term;    // for the service's query; empty when the query is blank
    std::string caption; // the filter's name when the query is just that name, else empty
};

// What the user's own text becomes in the service's query language (for a service whose search
// takes only its own fields, plain words and accessions made into them).
using TypedTerm = std::function<std::string(std::string_view typed)>;

// The term of query, the user's text made a term by typedTerm when given; a query within a filter
// whose text is unbalanced fails with BadRequest.
Status filteredQuery(std::span<const QueryFilter> filters, std::string_view query,
                     FilteredQuery& result, const TypedTerm& typedTerm = {});

// What in text would capture a term joined after it ("leaves a quoted phrase open" and what to
// do), or empty when nothing would.
std::string unbalancedPart(std::string_view text);

// "(text) AND restriction", or a BadRequest naming what is unbalanced in text; purpose ends the
// message ("so that the filter RefSeq stays outside it").
Status joinedTerm(std::string_view text, std::string_view restriction, std::string_view purpose,
                  std::string& joined);

} // namespace Dbscout::Web
