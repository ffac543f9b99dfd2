#include "serve_ebi.h"

#include "ebi_settings.h"
#include "ena_search.h"
#include "read_only_answers.h"
#include "record_fetch.h"
#include "uniprot_search.h"
#include "write_all.h"

namespace Dbscout::Ebi {
namespace {

using Handlers::ErrorCode;

using Web::kExitFailed;
using Web::kExitPartly;
using Web::kExitServed;
using Web::refusal;

int answerError(int out, const SourceInfo* source, const Status& status)
{
    static_cast<void>(Handlers::writeAll(out, errorPage(source, status.message())));
    return Web::exitStatusOf(status);
}

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
        page = listingPage(listing);
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
    page = listingPage(listing);
    return Status::pass();
}

} // namespace

int serveEbiRequest(const std::string& urlText, int out)
{
    EbiRequest request;
    if (Status status = parseEbiRequest(urlText, request); !status.ok())
        return answerError(out, request.source, status);
    const SourceInfo& source = *request.source;
    if (request.command == Command::Write)
        return answerError(
            out, &source,
            refusal(std::string(source.sourceName) +
                    " is read-only: its records cannot be saved, checked in or out, put into "
                    "subsets or given access rights. Open the record and save a copy into a molb "
                    "database to work on it."));
    if (request.command == Command::Unknown)
        return answerError(out, &source,
                           refusal("The command \"" + request.commandWord +
                                   "\" is not served by the ebi handler."));
    WebClient client(ebiService(loadEbiSettings(), source), Web::cacheFolder());
    if (request.command == Command::Fetch) {
        if (request.ids.empty())
            return answerError(out, &source,
                               refusal("The address names no record to open: add its accession, "
                                       "as in ebi://uniprotkb/protein/P01308 or "
                                       "ebi://ena/dnarna/X56734.1."));
        FetchOutcome outcome;
        const Status status = fetchRecords(client, source, request.ids, out, outcome);
        if (!status.ok())
            // Once records went out no page can follow; the exit status tells the failure.
            return outcome.started ? kExitFailed : answerError(out, &source, status);
        return outcome.missing.empty() ? kExitServed : kExitPartly;
    }
    std::string page;
    if (Status status = serveListing(client, request, page); !status.ok())
        return answerError(out, &source, status);
    return Handlers::writeAll(out, page) ? kExitServed : kExitFailed;
}

} // namespace Dbscout::Ebi
