#include "serve_ncbi.h"

#include "answer_readers.h"
#include "entrez_term.h"
#include "eutils_query.h"
#include "ncbi_pages.h"
#include "write_all.h"

#include <unordered_map>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;

constexpr int kExitServed = 0;
constexpr int kExitRefused = 1;
constexpr int kExitFailed = 2;

Status refuse(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

int answerError(int out, const Status& status)
{
    static_cast<void>(Handlers::writeAll(out, errorPage(status.message())));
    return status.code() == ErrorCode::BadRequest ? kExitRefused : kExitFailed;
}

std::string joined(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "\"" : ", \"") + text + "\"";
    return out;
}

// NCBI's answer to query (from the cache while it is young enough), read by read. Only an answer
// that reads whole and carries no error of NCBI's own is cached; any other is asked again.
template <class Answer>
Status readAnswer(EutilsClient& client, std::string_view query, int maxAgeSeconds,
                  Status (*read)(std::string_view, Answer&), Answer& answer)
{
    std::string body;
    const Status status = client.answer(
        query, maxAgeSeconds,
        [read](const std::string& bytes) {
            Answer check;
            return read(bytes, check).ok() && check.error.empty();
        },
        body);
    return status.ok() ? read(body, answer) : status;
}

Status search(EutilsClient& client, const DatabaseInfo& database, const std::string& term,
              const NcbiRequest& request, SearchAnswer& answer)
{
    Status status = readAnswer(client, searchQuery(database, term, request.start, request.pageSize),
                               client.settings().searchCacheSeconds, readSearchAnswer, answer);
    if (!status.ok())
        return status;
    if (!answer.error.empty())
        return refuse("NCBI could not run the query \"" + term + "\": " + answer.error +
                      ". Check the query's spelling and its [field] tags.");
    if (answer.count == 0 && !answer.notFound.empty())
        return refuse("NCBI found nothing for " + joined(answer.notFound) + " in " +
                      std::string(database.name) +
                      ": no record holds it. Check the spelling, or try fewer words.");
    return Status::pass();
}

Status summarise(EutilsClient& client, const DatabaseInfo& database,
                 const std::vector<std::string>& uids, std::vector<ListedRecord>& records)
{
    SummaryAnswer answer;
    Status status = readAnswer(client, summaryQuery(database, uids),
                               client.settings().recordCacheSeconds, readSummaryAnswer, answer);
    if (!status.ok())
        return status;
    if (!answer.error.empty() && answer.docs.empty())
        return Status::fail(ErrorCode::Failure, "NCBI could not summarise the records it found: " +
                                                    answer.error + ". Please try again.");
    // In the search's order, which is NCBI's relevance or date order.
    std::unordered_map<std::string_view, const DocSum*> byUid;
    for (const DocSum& doc : answer.docs)
        byUid.emplace(doc.uid, &doc);
    for (const std::string& uid : uids) {
        const auto found = byUid.find(uid);
        records.push_back(found == byUid.end() ? unsummarisedRecord(uid)
                                               : listedRecord(database, *found->second));
    }
    return Status::pass();
}

} // namespace

Status serveListing(EutilsClient& client, const NcbiRequest& request, std::string& page)
{
    const DatabaseInfo& database = *request.database;
    ListingPage listing;
    listing.database = &database;
    listing.pageSize = request.pageSize;
    listing.start = request.start;
    const EntrezTerm term = entrezTerm(database, request.query.value_or(std::string()));
    if (term.term.empty()) {
        // NCBI cannot list a whole database, and the panel lists with an empty query whenever
        // the user picks the data source: a quiet empty page (found 0), with the filters in the
        // subset box, rather than an error box at every pick. The subset-name request (the
        // address alone) gets the same page.
        listing.remarks.push_back(
            "Type what to search NCBI's " + std::string(database.name) +
            " database for into the Subset/Query box and press Go, as in NCBI's own search box: "
            "for example BRCA1[gene] AND human[orgn], insulin, or an accession. A filter from "
            "the box's list narrows the search.");
        page = listingPage(listing);
        return Status::pass();
    }
    listing.caption = term.caption;
    SearchAnswer found;
    Status status = search(client, database, term.term, request, found);
    if (!status.ok())
        return status;
    listing.found = found.count;
    if (!found.ids.empty()) {
        if (status = summarise(client, database, found.ids, listing.records); !status.ok())
            return status;
    }
    page = listingPage(listing);
    return Status::pass();
}

Status serveFetch(EutilsClient& client, const NcbiRequest& request, int out, bool& started)
{
    started = false;
    if (request.id.empty())
        return refuse("The address names no record to open: add its accession or PMID, as in "
                      "ncbi://entrez/nucleotide/NM_000410.4.");
    if (request.id.find(',') != std::string::npos)
        return refuse("Open one NCBI record at a time.");
    bool readerGone = false;
    Status status = client.stream(
        fetchQuery(*request.database, request.id), client.settings().recordCacheSeconds,
        [&](const char* data, size_t length) {
            readerGone = !Handlers::writeAll(out, data, length);
            return !readerGone;
        },
        started);
    if (status.ok() && !started)
        return Status::fail(ErrorCode::Failure, "NCBI sent an empty record for " + request.id +
                                                    ". It may have been withdrawn.");
    return status;
}

int serveNcbiRequest(const std::string& urlText, int out)
{
    NcbiRequest request;
    if (Status status = parseNcbiRequest(urlText, request); !status.ok())
        return answerError(out, status);
    if (request.command == Command::Write)
        return answerError(
            out, refuse("NCBI databases are read-only: their records cannot be saved, checked "
                        "in or out, put into subsets or given access rights. Open the record "
                        "and save a copy into a molb database to work on it."));
    if (request.command == Command::Unknown)
        return answerError(out, refuse("The command \"" + request.commandWord +
                                       "\" is not served by the ncbi handler."));
    EutilsClient client(loadServiceSettings(), cacheFolder());
    if (request.command == Command::Fetch) {
        bool started = false;
        const Status status = serveFetch(client, request, out, started);
        if (status.ok())
            return kExitServed;
        // Once bytes went out no page can follow; the exit status tells the failure.
        return started ? kExitFailed : answerError(out, status);
    }
    std::string page;
    if (Status status = serveListing(client, request, page); !status.ok())
        return answerError(out, status);
    return Handlers::writeAll(out, page) ? kExitServed : kExitFailed;
}

} // namespace Dbscout::Ncbi
