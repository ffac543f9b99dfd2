#include "search_listing.h"

#include "entrez_calls.h"
#include "entrez_term.h"
#include "eutils_query.h"
#include "pubmed_slices.h"

#include <charconv>
#include <map>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;

// A part of the search as NCBI keeps it: the query that made its set (and its answer, once
// asked), and where in the set the page's records are.
struct Piece
{
    std::string query;
    SearchAnswer set;
    std::int64_t offset = 0;
    int count = 0;
};

std::string rangeQuery(const DatabaseInfo& database, const std::string& joinedPrefix,
                       const PmidRange& range)
{
    return historySearchQuery(
        database,
        joinedPrefix + std::to_string(range.first) + ":" + std::to_string(range.last) + "[uid]", 0);
}

std::uint64_t newestPmid(const SearchAnswer& search)
{
    std::uint64_t pmid = kTopPmid;
    if (!search.ids.empty()) {
        const std::string& id = search.ids.front();
        std::from_chars(id.data(), id.data() + id.size(), pmid);
    }
    return pmid;
}

// The pieces of a PubMed search too large to list at once: its PMID ranges.
Status slicedPieces(EutilsClient& client, const DatabaseInfo& database, const std::string& term,
                    const SearchAnswer& search, std::int64_t start, int count,
                    std::vector<Piece>& pieces)
{
    // "(term) AND ", to which each range is added.
    std::string prefix;
    Status status = joinedTerm(term, {},
                               "so that the search can be paged past the 9,999 records NCBI "
                               "lists of it at once",
                               prefix);
    if (!status.ok())
        return status;
    std::map<std::pair<std::uint64_t, std::uint64_t>, SearchAnswer> counted; // by range
    const RangeCounter counter = [&](const PmidRange& range, std::int64_t& found) {
        SearchAnswer& part = counted[{range.first, range.last}];
        Status searched = callSearch(client, rangeQuery(database, prefix, range), part);
        if (searched.ok() && !part.error.empty())
            searched =
                Status::fail(ErrorCode::Failure,
                             client.serviceName() + " could not count the records of PMIDs " +
                                 std::to_string(range.first) + " to " + std::to_string(range.last) +
                                 ": " + part.error + ". Please try again.");
        found = part.count;
        return searched;
    };
    std::vector<Slice> slices;
    status = findSlices(search.count, newestPmid(search), start, count, counter, slices);
    for (const Slice& slice : slices) {
        const std::int64_t from = std::max(start, slice.ranksBefore);
        const std::int64_t to = std::min(start + count, slice.ranksBefore + slice.count);
        const auto known = counted.find({slice.range.first, slice.range.last});
        const bool same = known != counted.end() && !known->second.webEnv.empty();
        pieces.push_back({rangeQuery(database, prefix, slice.range),
                          same ? known->second : SearchAnswer(), from - slice.ranksBefore,
                          static_cast<int>(to - from)});
    }
    return status;
}

// A piece's summaries from its History set; a forgotten set is searched again, once.
Status pieceSummaries(EutilsClient& client, const DatabaseInfo& database, const Piece& piece,
                      std::vector<DocSum>& docs)
{
    SearchAnswer set = piece.set;
    for (bool again = false;; again = true) {
        if (again || set.webEnv.empty()) {
            if (Status status = callSearch(client, piece.query, set, again); !status.ok())
                return status;
        }
        SummaryAnswer summaries;
        Status status = callSummaries(
            client,
            historySummaryQuery(database, set.webEnv, set.queryKey, piece.offset, piece.count),
            client.settings().searchCacheSeconds, summaries);
        if (!status.ok())
            return status;
        if (summaries.error.empty() || unknownRecordsOnly(summaries.error)) {
            for (DocSum& doc : summaries.docs) {
                if (doc.error.empty())
                    docs.push_back(std::move(doc));
            }
            return Status::pass();
        }
        if (again || !historyExpired(summaries.error))
            return Status::fail(ErrorCode::Failure, client.serviceName() +
                                                        " could not summarise the records it "
                                                        "found: " +
                                                        summaries.error + ". Please try again.");
    }
}

} // namespace

Status listSearch(EutilsClient& client, const DatabaseInfo& database, const std::string& term,
                  std::int64_t start, int count, SearchListing& listing)
{
    const bool pubmed = database.database == Database::Pubmed;
    // A PubMed search names its newest record, which sizes the PMID ranges if it is cut.
    const std::string query = historySearchQuery(database, term, pubmed ? 1 : 0);
    Status status = callSearch(client, query, listing.search);
    if (!status.ok())
        return status;
    const SearchAnswer& search = listing.search;
    if (!search.error.empty())
        return Status::fail(ErrorCode::BadRequest,
                            client.serviceName() + " could not run the query \"" + term +
                                "\": " + search.error +
                                ". Check the query's spelling and its [field] tags.");
    if (start >= search.count)
        return Status::pass();
    std::vector<Piece> pieces;
    if (pubmed && search.count > kPubmedListMost)
        status = slicedPieces(client, database, term, search, start, count, pieces);
    else
        pieces.push_back({query, search, start,
                          static_cast<int>(std::min<std::int64_t>(count, search.count - start))});
    for (const Piece& piece : pieces) {
        if (!status.ok())
            break;
        status = pieceSummaries(client, database, piece, listing.docs);
    }
    return status;
}

} // namespace Dbscout::Ncbi
