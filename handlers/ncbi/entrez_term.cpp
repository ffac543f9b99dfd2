#include "entrez_term.h"

#include "ascii_text.h"

namespace Dbscout::Ncbi {
namespace {

using Handlers::kAsciiBlanks;
using Handlers::startsWithIgnoringCase;
using Handlers::trimmed;

constexpr size_t kQuotedBytes = 80;

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
        if (rest.front() != ':' && kAsciiBlanks.find(rest.front()) == std::string_view::npos)
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
