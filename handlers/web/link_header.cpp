#include "link_header.h"

#include "ascii_text.h"

namespace Dbscout::Web {
namespace {

using Handlers::equalsIgnoringCase;
using Handlers::trimmed;

constexpr std::string_view kBlanks = " \t";

// One parameter's value, unquoted: a token, or a quoted string with its backslash escapes.
std::string parameterValue(std::string_view& rest)
{
    rest = trimmed(rest, kBlanks);
    std::string value;
    if (!rest.starts_with('"')) {
        const size_t end = std::min(rest.find_first_of(";,"), rest.size());
        value = trimmed(rest.substr(0, end), kBlanks);
        rest.remove_prefix(end);
        return value;
    }
    size_t at = 1;
    for (; at < rest.size() && rest[at] != '"'; ++at) {
        if (rest[at] == '\\' && at + 1 < rest.size())
            ++at;
        value += rest[at];
    }
    rest.remove_prefix(std::min(rest.size(), at + 1));
    return value;
}

bool namesRelation(std::string_view relations, std::string_view relation)
{
    while (!(relations = trimmed(relations, kBlanks)).empty()) {
        const size_t end = std::min(relations.find_first_of(kBlanks), relations.size());
        if (equalsIgnoringCase(relations.substr(0, end), relation))
            return true;
        relations.remove_prefix(end);
    }
    return false;
}

// Passes over what is left of a link that does not read, up to the comma that ends it.
void skipLink(std::string_view& rest)
{
    bool quoted = false;
    size_t at = 0;
    for (; at < rest.size() && (quoted || rest[at] != ','); ++at) {
        if (rest[at] == '\\' && quoted)
            ++at;
        else if (rest[at] == '"')
            quoted = !quoted;
    }
    rest.remove_prefix(std::min(rest.size(), at));
}

} // namespace

std::optional<std::string> linkTarget(std::string_view value, std::string_view relation)
{
    std::string_view rest = value;
    while (!rest.empty()) {
        rest = trimmed(rest, " \t,");
        const size_t close = rest.find('>');
        if (!rest.starts_with('<') || close == std::string_view::npos) {
            skipLink(rest);
            continue;
        }
        const std::string_view target = trimmed(rest.substr(1, close - 1), kBlanks);
        rest.remove_prefix(close + 1);
        bool wanted = false;
        while ((rest = trimmed(rest, kBlanks)).starts_with(';')) {
            rest.remove_prefix(1);
            const size_t equals = rest.find_first_of("=;,");
            const std::string_view name = trimmed(rest.substr(0, equals), kBlanks);
            if (equals == std::string_view::npos || rest[equals] != '=') {
                rest.remove_prefix(equals == std::string_view::npos ? rest.size() : equals);
                continue; // a parameter without a value
            }
            rest.remove_prefix(equals + 1);
            const std::string parameter = parameterValue(rest);
            wanted =
                wanted || (equalsIgnoringCase(name, "rel") && namesRelation(parameter, relation));
        }
        if (wanted && !target.empty())
            return std::string(target);
        skipLink(rest);
    }
    return std::nullopt;
}

} // namespace Dbscout::Web
