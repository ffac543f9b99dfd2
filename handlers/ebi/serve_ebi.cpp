#include "serve_ebi.h"

#include "ebi_settings.h"
#include "ena_search.h"
#include "read_only_serving.h"
#include "record_fetch.h"
#include "uniprot_search.h"

namespace Dbscout::Ebi {
namespace {

std::string howToSearch(const SourceInfo& source)
{
    return "Type what to search " + std::string(source.sourceName) +
           " for into the Subset/Query box and press Go, as in " +
           (source.source == Source::UniProtKB ? "UniProt's" : "ENA's") +
           " own search: for example " + std::string(source.example) +
           (source.source == Source::UniProtKB ? ", insulin, or an accession such as P01308."
                                               : ", insulin, or an accession such as X56734.") +
           " A filter from the box's list narrows the search.";
}

} // namespace

Status serveListing(WebClient& client, const EbiRequest& request, std::string& page)
{
    const SourceInfo& source = *request.source;
    Listing listing;
    listing.source = &source;
    listing.pageSize = request.pageSize;
    listing.start = request.start;
    const bool uniprot = source.source == Source::UniProtKB;
    Web::FilteredQuery query;
    if (Status status = Web::filteredQuery(source.filters, request.query.value_or(std::string()),
                                           query, uniprot ? Web::TypedTerm() : enaTerm);
        !status.ok())
        return status;
    if (query.term.empty()) {
        // Neither service lists a whole database, and the panel lists with an empty query
        // whenever the user picks the data source: a quiet empty page with the filters in the
        // subset box, rather than an error box at every pick.
        listing.remarks.push_back(howToSearch(source));
        page = Web::listingPage(listing);
        return Status::pass();
    }
    listing.caption = query.caption;
    Status status = uniprot
                        ? listUniProt(client, query.term, request.start, request.pageSize, listing)
                        : listEna(client, query.term, request.start, request.pageSize, listing);
    if (!status.ok())
        return status;
    if (listing.found == 0)
        listing.rows.push_back({{},
                                "Nothing found",
                                {std::string(source.sourceName) + " found no record for \"" +
                                 query.term + "\". Check the spelling, or try fewer words."},
                                false});
    if (!uniprot && query.term != request.query.value_or(std::string()))
        listing.remarks.push_back("ENA searched for: " + query.term);
    page = Web::listingPage(listing);
    return Status::pass();
}

namespace {

const Web::SourceServing<SourceInfo> kServing{
    "ebi", "EBI",
    "add its accession, as in ebi://uniprotkb/protein/P01308 or ebi://ena/dnarna/X56734.1",
    parseEbiRequest};

} // namespace

Web::Service serviceOf(const SourceInfo& source)
{
    return ebiService(loadEbiSettings(), source);
}

int serveEbiRequest(const std::string& urlText, int out)
{
    return Web::serveSourceRequest(urlText, kServing, out);
}

} // namespace Dbscout::Ebi
