#include "serve_ncbi.h"

#include "entrez_term.h"
#include "named_records.h"
#include "pasted_list.h"
#include "read_only_serving.h"
#include "search_listing.h"

namespace Dbscout::Ncbi {
namespace {

std::string quotedList(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "\"" : ", \"") + text + "\"";
    return out;
}

// What NCBI said about a search, for a person reading the page.
void addRemarks(const SearchAnswer& search, std::vector<std::string>& remarks)
{
    if (!search.notFound.empty())
        remarks.push_back("NCBI found nothing for " + quotedList(search.notFound) + ".");
    for (const std::string& warning : search.warnings)
        remarks.push_back("NCBI: " + warning);
    if (!search.queryTranslation.empty())
        remarks.push_back("NCBI read the query as: " + search.queryTranslation);
}

// "Nothing found" is an answer, not a failure: one row that cannot be opened says what NCBI
// found and how it read the query, where the panel shows it, and the count stays 0.
ListedRecord nothingFound(const DatabaseInfo& database, const std::string& term,
                          const SearchAnswer& search)
{
    std::string said = std::string(database.sourceName) + " found no record for \"" + term + "\"";
    if (!search.notFound.empty() && search.notFound != std::vector<std::string>{term})
        said += "; nothing at all for " + quotedList(search.notFound);
    if (!search.queryTranslation.empty())
        said += "; it read the query as " + search.queryTranslation;
    return ListedRecord{{},
                        "Nothing found",
                        {said + ". Check the spelling, or try fewer words.", "", "", ""},
                        false};
}

Status searchPage(WebClient& client, const std::string& term, const NcbiRequest& request,
                  Web::Listing& listing)
{
    const DatabaseInfo& database = *request.source;
    SearchListing found;
    if (Status status = listSearch(client, database, term, request.start, request.pageSize, found);
        !status.ok())
        return status;
    listing.found = found.search.count;
    addRemarks(found.search, listing.remarks);
    if (found.search.count == 0)
        listing.rows.push_back(nothingFound(database, term, found.search));
    for (const DocSum& doc : found.docs)
        listing.rows.push_back(listedRecord(database, doc));
    return Status::pass();
}

// A pasted list lists exactly its records, in the order given; the count is the list's.
Status namedPage(WebClient& client, const std::vector<std::string>& ids, const NcbiRequest& request,
                 Web::Listing& listing)
{
    listing.found = static_cast<std::int64_t>(ids.size());
    if (request.start >= listing.found)
        return Status::pass();
    const auto first = ids.begin() + request.start;
    const std::vector<std::string> page(
        first, first + std::min<std::int64_t>(request.pageSize, listing.found - request.start));
    Status status = listNamed(client, *request.source, page, listing.rows);
    std::vector<std::string> unknown;
    for (const ListedRecord& record : listing.rows) {
        if (!record.openable)
            unknown.push_back(record.id);
    }
    if (!unknown.empty())
        listing.remarks.push_back(std::string(request.source->sourceName) + " has no record of " +
                                  quotedList(unknown) + ".");
    return status;
}

} // namespace

Status serveListing(WebClient& client, const NcbiRequest& request, std::string& page)
{
    const DatabaseInfo& database = *request.source;
    Web::Listing listing;
    listing.source = &database;
    listing.pageSize = request.pageSize;
    listing.start = request.start;
    EntrezTerm term;
    if (Status status = entrezTerm(database, request.query.value_or(std::string()), term);
        !status.ok())
        return status;
    if (term.term.empty()) {
        // NCBI cannot list a whole database, and the panel lists with an empty query whenever
        // the user picks the data source: a quiet empty page (found 0), with the filters in the
        // subset box, rather than an error box at every pick. The subset-name request (the
        // address alone) gets the same page.
        listing.remarks.push_back(
            "Type what to search NCBI's " + std::string(database.name) +
            " database for into the Subset/Query box and press Go, as in NCBI's own search box: "
            "for example BRCA1[gene] AND human[orgn], insulin, or an accession. A filter from "
            "the box's list narrows the search; a list of accessions or PMIDs lists those "
            "records.");
        page = Web::listingPage(listing);
        return Status::pass();
    }
    listing.caption = term.caption;
    const std::vector<std::string> named = pastedList(database, term.term);
    Status status = named.empty() ? searchPage(client, term.term, request, listing)
                                  : namedPage(client, named, request, listing);
    if (status.ok())
        page = Web::listingPage(listing);
    return status;
}

namespace {

const Web::SourceServing<DatabaseInfo> kServing{
    "ncbi", "NCBI", "add its accession or PMID, as in ncbi://entrez/nucleotide/NM_000410.4",
    parseNcbiRequest};

} // namespace

Web::Service serviceOf(const DatabaseInfo& database)
{
    return eutilsService(loadServiceSettings(), std::string(database.sourceName));
}

int serveNcbiRequest(const std::string& urlText, int out)
{
    return Web::serveSourceRequest(urlText, kServing, out);
}

} // namespace Dbscout::Ncbi
