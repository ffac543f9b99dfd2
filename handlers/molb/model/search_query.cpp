#include "model/search_query.h"

#include "model/names.h"

#include <charconv>

namespace Dbscout::Molb {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Splits at blanks outside double quotes and drops the quotes.
bool splitTerms(std::string_view text, std::vector<std::string>& terms)
{
    std::string term;
    bool quoted = false;
    bool inTerm = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inTerm = true;
        } else if (isBlank(c) && !quoted) {
            if (inTerm)
                terms.push_back(std::move(term));
            term.clear();
            inTerm = false;
        } else {
            term += c;
            inTerm = true;
        }
    }
    if (inTerm)
        terms.push_back(std::move(term));
    return !quoted;
}

bool hasWordCharacter(std::string_view word)
{
    for (unsigned char c : word) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80)
            return true;
    }
    return false;
}

// "length>100", "hits<5": a comparison on a numeric field of the kind.
bool takeComparison(Kind kind, const std::string& term, SearchQuery& query, Status& status)
{
    const size_t op = term.find_first_of("<>");
    if (op == std::string::npos || op == 0)
        return false;
    const std::optional<Field> field = fieldForFilter(kind, std::string_view(term).substr(0, op));
    if (!field || !isNumericField(*field))
        return false;
    SearchFilter filter;
    filter.field = *field;
    filter.op = term[op] == '>' ? SearchFilter::Op::Greater : SearchFilter::Op::Less;
    const char* begin = term.data() + op + 1;
    const char* end = term.data() + term.size();
    const auto [stop, error] = std::from_chars(begin, end, filter.number);
    if (begin == end || error != std::errc() || stop != end)
        status = Status::fail(ErrorCode::BadRequest,
                              quotedForMessage(term) + " must compare with a whole number.");
    query.filters.push_back(std::move(filter));
    return true;
}

bool takeFieldMatch(Kind kind, const std::string& term, SearchQuery& query)
{
    const size_t colon = term.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == term.size())
        return false;
    const std::optional<Field> field =
        fieldForFilter(kind, std::string_view(term).substr(0, colon));
    if (!field)
        return false;
    SearchFilter filter;
    filter.field = *field;
    filter.text = term.substr(colon + 1);
    query.filters.push_back(std::move(filter));
    return true;
}

} // namespace

Status parseSearchQuery(Kind kind, std::string_view text, SearchQuery& query)
{
    query = SearchQuery();
    std::vector<std::string> terms;
    if (!splitTerms(text, terms))
        return Status::fail(ErrorCode::BadRequest, "The query has an unmatched double quote.");
    if (terms.size() > kMaxSearchTerms)
        return Status::fail(ErrorCode::BadRequest, "The query has more than " +
                                                       std::to_string(kMaxSearchTerms) + " terms.");
    for (const std::string& term : terms) {
        Status status = Status::pass();
        if (takeComparison(kind, term, query, status)) {
            if (!status.ok())
                return status;
            continue;
        }
        if (takeFieldMatch(kind, term, query))
            continue;
        if (hasWordCharacter(term))
            query.words.push_back(term);
        else
            query.matchesNothing = true;
    }
    if (!query.words.empty() || !query.filters.empty())
        query.matchesNothing = false;
    return Status::pass();
}

std::string fullTextExpression(const std::vector<std::string>& words)
{
    std::string expression;
    for (const std::string& word : words) {
        expression += expression.empty() ? "\"" : " AND \"";
        for (char c : word) {
            if (c == '"')
                expression += '"';
            expression += c;
        }
        expression += '"';
    }
    return expression;
}

} // namespace Dbscout::Molb
