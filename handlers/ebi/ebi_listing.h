#pragma once
// One page of a UniProtKB or ENA search as the panel lists it, and the pages the handler answers.

#include "ebi_source.h"
#include "web_client.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Ebi {

using Handlers::Status;
using Web::WebClient;

struct ListedRow
{
    std::string id;                 // what fetches it: the accession (UniProtKB), accession.version
    std::string name;               // the link column's text
    std::vector<std::string> cells; // the further columns, in the source's header order
    bool openable = true;           // a row that says nothing was found cannot be opened
};

struct Listing
{
    const SourceInfo* source = nullptr;
    std::string caption; // the filter listed, when the query is just its name
    std::int64_t found = 0;
    std::int64_t start = 0;
    int pageSize = 0;
    std::vector<ListedRow> rows;
    std::vector<std::string> remarks;
};

// A search's failure: HTTP 404 at a search's address is the settings' fault, not a record
// missing.
Status searchFailure(const Status& status);

// The service's query (percent-encoded) as a request parameter.
std::string encoded(std::string_view text);

std::string listingPage(const Listing& listing);
std::string errorPage(const SourceInfo* source, const std::string& message);

} // namespace Dbscout::Ebi
