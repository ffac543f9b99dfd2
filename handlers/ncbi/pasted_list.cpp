#include "pasted_list.h"

#include <unordered_set>

namespace Dbscout::Ncbi {
namespace {

constexpr std::string_view kSeparators = " \t\r\n,;";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// How many of text's first characters pass test, from at.
size_t run(std::string_view text, size_t at, bool (*test)(char))
{
    size_t end = at;
    while (end < text.size() && test(text[end]))
        ++end;
    return end - at;
}

bool isNumber(std::string_view text, size_t most)
{
    return !text.empty() && text.size() <= most && run(text, 0, isDigit) == text.size();
}

// NCBI's accession formats: 1 to 6 letters, for RefSeq an underscore and up to 4 more, then 5 to
// 12 digits (X55053, AC007323, NM_000410, NZ_CP012345, KBUV00000000); and a PDB chain
// (1MRR_A). Either may carry a version (.5).
bool isAccession(std::string_view token)
{
    const size_t dot = token.find('.');
    if (dot != std::string_view::npos && !isNumber(token.substr(dot + 1), 4))
        return false;
    const std::string_view name = token.substr(0, dot);
    const bool pdb = name.size() >= 6 && name.size() <= 9 && isDigit(name[0]) && name[4] == '_';
    if (pdb) {
        const auto alnum = [](char c) { return isDigit(c) || isLetter(c); };
        for (size_t i = 1; i < name.size(); ++i) {
            if (i != 4 && !alnum(name[i]))
                return false;
        }
        return true;
    }
    size_t at = run(name, 0, isLetter);
    if (at < 1 || at > 6)
        return false;
    if (at < name.size() && name[at] == '_') {
        const size_t more = run(name, at + 1, isLetter);
        if (more > 4)
            return false;
        at += 1 + more;
    }
    const size_t digits = run(name, at, isDigit);
    return digits >= 5 && digits <= 12 && at + digits == name.size();
}

std::string capitals(std::string_view token)
{
    std::string out(token);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

} // namespace

bool isRecordName(const DatabaseInfo& database, std::string_view token)
{
    if (database.database == Database::Pubmed)
        return isNumber(token, 10);
    return isNumber(token, 12) || isAccession(capitals(token));
}

std::vector<std::string> pastedList(const DatabaseInfo& database, std::string_view query)
{
    std::vector<std::string> ids;
    std::unordered_set<std::string> seen;
    for (size_t at = query.find_first_not_of(kSeparators); at != std::string_view::npos;
         at = query.find_first_not_of(kSeparators, at)) {
        const size_t end = std::min(query.find_first_of(kSeparators, at), query.size());
        const std::string_view token = query.substr(at, end - at);
        at = end;
        if (!isRecordName(database, token))
            return {};
        std::string id = capitals(token);
        if (seen.insert(id).second)
            ids.push_back(std::move(id));
        if (ids.size() > kMaxPastedIds)
            return {};
    }
    return ids;
}

} // namespace Dbscout::Ncbi
