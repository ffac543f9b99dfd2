#include "ena_search.h"

#include "ascii_text.h"
#include "ebi_answers.h"

namespace Dbscout::Ebi {
namespace {

using Web::WebAnswer;

// accession, sequence_version, description, scientific_name, base_count, last_updated.
constexpr std::string_view kRowFields =
    "accession,sequence_version,description,scientific_name,base_count,last_updated";
constexpr size_t kRowColumns = 6;

bool isAccession(std::string_view text)
{
    const size_t digits = text.find_first_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos || digits > 6)
        return false;
    for (char c : text.substr(0, digits)) {
        if (!(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z') && c != '_')
            return false;
    }
    const std::string_view number = text.substr(digits, text.find('.') - digits);
    const std::string_view version =
        text.find('.') == std::string_view::npos ? "1" : text.substr(text.find('.') + 1);
    return number.size() >= 5 && number.find_first_not_of("0123456789") == std::string_view::npos &&
           !version.empty() && version.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isEnaQuery(std::string_view text)
{
    return text.find_first_of("=()\"<>*") != std::string_view::npos;
}

} // namespace

std::string enaTerm(std::string_view typed)
{
    typed = Handlers::trimmed(typed);
    if (isEnaQuery(typed))
        return std::string(typed);
    if (isAccession(typed))
        return "accession=\"" + std::string(typed.substr(0, typed.find('.'))) + "\"";
    std::string term;
    while (!(typed = Handlers::trimmed(typed)).empty()) {
        const size_t end = std::min(typed.find_first_of(Handlers::kAsciiBlanks), typed.size());
        const std::string_view word = typed.substr(0, end);
        typed.remove_prefix(end);
        if (word == "AND" || word == "OR" || word == "NOT")
            continue;
        term += (term.empty() ? "" : " AND ") + ("description=\"*" + std::string(word) + "*\"");
    }
    return term;
}

Status listEna(WebClient& client, const std::string& query, std::int64_t start, int count,
               Listing& listing)
{
    const int keepSeconds = client.settings().searchCacheSeconds;
    std::string body;
    Status status = client.answer(
        "portal/api/count?result=sequence&query=" + encoded(query), keepSeconds,
        [](const WebAnswer& answer) {
            std::int64_t found = 0;
            return Web::judgementOf(readCount(answer.body, found));
        },
        body);
    if (!status.ok())
        return searchFailure(status);
    static_cast<void>(readCount(body, listing.found));
    if (start >= listing.found)
        return Status::pass();
    status = client.answer(
        "portal/api/search?result=sequence&query=" + encoded(query) +
            "&fields=" + std::string(kRowFields) + "&format=tsv&limit=" + std::to_string(count) +
            "&offset=" + std::to_string(start),
        keepSeconds,
        [](const WebAnswer& answer) {
            TsvTable table;
            return Web::judgementOf(readTsv(answer.body, kRowColumns, table));
        },
        body);
    if (!status.ok())
        return searchFailure(status);
    TsvTable table;
    static_cast<void>(readTsv(body, kRowColumns, table));
    for (std::vector<std::string>& cells : table.rows) {
        ListedRow row;
        row.id = cells[1].empty() ? cells[0] : cells[0] + "." + cells[1];
        row.name = row.id;
        row.cells = {std::move(cells[2]), std::move(cells[3]), std::move(cells[4]),
                     std::move(cells[5])};
        listing.rows.push_back(std::move(row));
    }
    return Status::pass();
}

} // namespace Dbscout::Ebi
