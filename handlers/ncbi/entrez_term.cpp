#include "entrez_term.h"

#include <strings.h>

namespace Dbscout::Ncbi {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

} // namespace

EntrezTerm entrezTerm(const DatabaseInfo& database, std::string_view query)
{
    query = trimmed(query);
    EntrezTerm result;
    for (const EntrezFilter& filter : database.filters) {
        if (!startsWithIgnoringCase(query, filter.name))
            continue;
        std::string_view rest = query.substr(filter.name.size());
        if (rest.empty()) {
            result.term = filter.term;
            result.caption = filter.name;
            return result;
        }
        // "RefSeq insulin" or "RefSeq: insulin": the filter picked, a query typed after it.
        if (rest.front() != ':' && kBlanks.find(rest.front()) == std::string_view::npos)
            continue;
        // The caption stays empty, so that the query box keeps what the user typed.
        rest = trimmed(rest.front() == ':' ? rest.substr(1) : rest);
        result.term = rest.empty() ? std::string(filter.term)
                                   : "(" + std::string(rest) + ") AND " + std::string(filter.term);
        return result;
    }
    result.term = query;
    return result;
}

} // namespace Dbscout::Ncbi
