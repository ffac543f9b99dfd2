#include "entrez_term.h"

#include <strings.h>

namespace Dbscout::Ncbi {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";
constexpr size_t kQuotedBytes = 80;

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

std::string shown(std::string_view text)
{
    return "\"" + std::string(text.substr(0, kQuotedBytes)) +
           (text.size() > kQuotedBytes ? "...\"" : "\"");
}

} // namespace

std::string unbalancedPart(std::string_view text)
{
    bool inQuote = false;
    bool inTag = false;
    int open = 0;
    for (char c : text) {
        if (inQuote) {
            inQuote = c != '"';
        } else if (inTag) {
            inTag = c != ']';
        } else if (c == '"') {
            inQuote = true;
        } else if (c == '[') {
            inTag = true;
        } else if (c == '(') {
            ++open;
        } else if (c == ')' && open-- == 0) {
            return "closes a parenthesis it never opened: remove that \")\" or open it with \"(\"";
        }
    }
    if (inQuote)
        return "leaves a quoted phrase open: close it with '\"' or remove the '\"'";
    if (inTag)
        return "leaves a field tag open: close it with \"]\" or remove the \"[\"";
    if (open > 0)
        return "leaves " + std::to_string(open) + (open == 1 ? " parenthesis" : " parentheses") +
               " open: close " + (open == 1 ? "it" : "them") + " with \")\"";
    return {};
}

Status joinedTerm(std::string_view text, std::string_view restriction, std::string_view purpose,
                  std::string& joined)
{
    if (const std::string unbalanced = unbalancedPart(text); !unbalanced.empty())
        return Status::fail(Handlers::ErrorCode::BadRequest, "The query " + shown(text) + " " +
                                                                 unbalanced + ", " +
                                                                 std::string(purpose) + ".");
    joined = "(" + std::string(text) + ") AND " + std::string(restriction);
    return Status::pass();
}

Status entrezTerm(const DatabaseInfo& database, std::string_view query, EntrezTerm& result)
{
    query = trimmed(query);
    result = EntrezTerm();
    for (const EntrezFilter& filter : database.filters) {
        if (!startsWithIgnoringCase(query, filter.name))
            continue;
        std::string_view rest = query.substr(filter.name.size());
        if (rest.empty()) {
            result.term = filter.term;
            result.caption = filter.name;
            return Status::pass();
        }
        // "RefSeq insulin" or "RefSeq: insulin": the filter picked, a query typed after it.
        if (rest.front() != ':' && kBlanks.find(rest.front()) == std::string_view::npos)
            continue;
        // The caption stays empty, so that the query box keeps what the user typed.
        rest = trimmed(rest.front() == ':' ? rest.substr(1) : rest);
        if (rest.empty()) {
            result.term = filter.term;
            return Status::pass();
        }
        return joinedTerm(rest, filter.term,
                          "so that the filter " + std::string(filter.name) + " stays outside it",
                          result.term);
    }
    result.term = query;
    return Status::pass();
}

} // namespace Dbscout::Ncbi
