#include "uniprot_search.h"

#include "ebi_answers.h"
#include "link_header.h"
#include "percent_decoding.h"
#include "request_parameters.h"

namespace Dbscout::Ebi {
namespace {

using Handlers::ErrorCode;
using Web::AnswerJudgement;
using Web::AnswerUse;
using Web::WebAnswer;

// Accession, Entry Name, Protein names, Organism, Length, Date of last modification.
constexpr std::string_view kRowFields =
    "accession,id,protein_name,organism_name,length,date_modified";
constexpr size_t kRowColumns = 6;
constexpr std::string_view kWalkFields = "accession";

struct Block
{
    TsvTable table;
    std::int64_t total = 0;
    std::string next; // the next block's cursor; empty at the search's end
};

std::string searchQuery(const std::string& query, std::string_view fields,
                        const std::string& cursor)
{
    return "uniprotkb/search?query=" + encoded(query) +
           "&format=tsv&fields=" + std::string(fields) + "&size=" + std::to_string(kUniProtBlock) +
           (cursor.empty() ? "" : "&cursor=" + encoded(cursor));
}

// Where the cache keeps the cursor of the block at row at.
std::string cursorQuery(const std::string& query, std::int64_t at)
{
    return "uniprotkb/search#cursor?at=" + std::to_string(at) + "&query=" + encoded(query);
}

// The cursor= of the Link header's next page, or empty text.
std::string nextCursor(const WebAnswer& answer)
{
    const std::optional<std::string> target = Web::linkTarget(answer.header("Link"), "next");
    if (!target)
        return {};
    const size_t question = target->find('?');
    Handlers::ParameterReader reader(question == std::string::npos
                                         ? std::string_view()
                                         : std::string_view(*target).substr(question + 1));
    std::string cursor;
    for (Handlers::Parameter parameter; reader.next(parameter);) {
        if (parameter.name == "cursor" && Handlers::percentDecode(parameter.value, cursor))
            return cursor;
    }
    return {};
}

Status askBlock(WebClient& client, const std::string& query, std::string_view fields,
                size_t columns, const std::string& cursor, Block& block)
{
    const auto judge = [columns](const WebAnswer& answer) {
        TsvTable table;
        if (Status status = readTsv(answer.body, columns, table); !status.ok())
            return Web::judgementOf(status);
        std::int64_t total = 0;
        if (!readCount(answer.header("X-Total-Results"), total).ok())
            return AnswerJudgement{AnswerUse::NotData, "an answer without its total "
                                                       "(X-Total-Results)"};
        return AnswerJudgement{AnswerUse::Keep, {}};
    };
    WebAnswer answer;
    Status status = client.answer(searchQuery(query, fields, cursor),
                                  client.settings().searchCacheSeconds, judge, answer);
    if (!status.ok())
        return searchFailure(status);
    // The cache holds only answers the judge kept, so these read again.
    static_cast<void>(readTsv(answer.body, columns, block.table));
    static_cast<void>(readCount(answer.header("X-Total-Results"), block.total));
    block.next = nextCursor(answer);
    return Status::pass();
}

// The cursor of the block at row at (a multiple of the block), walked to from the nearest one
// known; reached tells whether the search goes that far (when not, total is its size).
Status cursorAt(WebClient& client, const std::string& query, std::int64_t at, std::string& cursor,
                bool& reached, std::int64_t& total)
{
    const int keepSeconds = client.settings().searchCacheSeconds;
    std::int64_t known = at;
    cursor.clear();
    for (; known > 0; known -= kUniProtBlock) {
        if (std::optional<std::string> kept =
                client.cached(cursorQuery(query, known), keepSeconds)) {
            cursor = std::move(*kept);
            break;
        }
    }
    reached = true;
    if ((at - known) / kUniProtBlock > kMostBlocksWalked)
        return Status::fail(
            ErrorCode::BadRequest,
            "UniProt pages by cursor, so row " + std::to_string(at + 1) + " of this search is " +
                std::to_string((at - known) / kUniProtBlock) +
                " requests away from the nearest page the panel has seen. Narrow the search "
                "(a filter, an organism, reviewed:true), or go there in steps of at most " +
                std::to_string(kMostBlocksWalked * kUniProtBlock) + " rows.");
    for (; known < at; known += kUniProtBlock) {
        Block block;
        if (Status status = askBlock(client, query, kWalkFields, 1, cursor, block); !status.ok())
            return status;
        total = block.total;
        if (block.next.empty()) {
            reached = false;
            return Status::pass();
        }
        cursor = std::move(block.next);
        client.keep(cursorQuery(query, known + kUniProtBlock), cursor);
    }
    return Status::pass();
}

ListedRow rowOf(std::vector<std::string>& cells)
{
    ListedRow row;
    row.id = cells[0];
    row.name = cells[0];
    row.cells.assign(std::make_move_iterator(cells.begin() + 1),
                     std::make_move_iterator(cells.end()));
    return row;
}

} // namespace

Status listUniProt(WebClient& client, const std::string& query, std::int64_t start, int count,
                   Listing& listing)
{
    const std::int64_t first = start / kUniProtBlock * kUniProtBlock;
    std::string cursor;
    bool reached = true;
    if (Status status = cursorAt(client, query, first, cursor, reached, listing.found);
        !status.ok() || !reached)
        return status;
    for (std::int64_t at = first; at < start + count; at += kUniProtBlock) {
        Block block;
        if (Status status = askBlock(client, query, kRowFields, kRowColumns, cursor, block);
            !status.ok())
            return status;
        listing.found = block.total;
        const std::int64_t size = static_cast<std::int64_t>(block.table.rows.size());
        for (std::int64_t i = std::max<std::int64_t>(0, start - at);
             i < std::min<std::int64_t>(size, start + count - at); ++i)
            listing.rows.push_back(rowOf(block.table.rows[static_cast<size_t>(i)]));
        if (block.next.empty())
            break;
        cursor = std::move(block.next);
        client.keep(cursorQuery(query, at + kUniProtBlock), cursor);
    }
    return Status::pass();
}

} // namespace Dbscout::Ebi
