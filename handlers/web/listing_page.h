#pragma once
// A read-only web handler's data sources as the panel shows them, and the pages the handler
// answers of them. The pages' version, 1.0, tells the panel that the sources' records cannot be
// checked out, saved or given access rights, so that it offers none of those commands. An error
// page's title names the source ("NCBI PubMed"), for hosts and readers of status pages, and its
// message starts with it too, since the panel's result list shows no title of a result page.

#include "filtered_query.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Web {

// What the panel shows of one source; each handler's description of a source starts with it.
struct WebSource
{
    std::string_view name;                 // the address segment
    std::string_view sourceName;           // how messages name it: "UniProtKB", "NCBI PubMed"
    std::string_view kindKeyword;          // the page title: dnarna, protein or citation
    std::vector<std::string_view> headers; // the link's column first
    std::span<const QueryFilter> filters;  // the subset box's
};

struct ListedRow
{
    std::string id;                 // what fetches it: an accession(.version), a PMID
    std::string name;               // the link column's text
    std::vector<std::string> cells; // the further columns, in the source's header order
    bool openable = true;           // a row naming what the service does not have cannot be opened
};

struct Listing
{
    const WebSource* source = nullptr;
    std::string caption; // the filter listed, when the query is just its name
    std::int64_t found = 0;
    std::int64_t start = 0;
    int pageSize = 0;
    std::vector<ListedRow> rows;
    std::vector<std::string> remarks; // paragraphs for a person reading the page
};

// The source's filters are the page's subset directory; no row may be written.
std::string listingPage(const Listing& listing);
// source may be null when the request named none: the title is then service ("EBI"), a literal.
std::string errorPage(const WebSource* source, const char* service, const std::string& message);

} // namespace Dbscout::Web
