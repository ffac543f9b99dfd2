#pragma once
// The search language of query=: words, "field:value" and "field>N" / "field<N" filters.

#include "model/object_kind.h"
#include "model/shared_names.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

inline constexpr size_t kMaxSearchTerms = 32;

struct SearchFilter
{
    enum class Op { Contains, Greater, Less };
    Field field = Field::Name;
    Op op = Op::Contains;
    std::string text;        // Contains: the text looked for, without regard to ASCII case
    std::int64_t number = 0; // Greater and Less
};

struct SearchQuery
{
    std::vector<std::string> words; // each must occur in name, accession, description or organism
    std::vector<SearchFilter> filters;
    bool matchesNothing = false; // only words without letters or digits were given
};

// Splits text into terms. Double quotes group blanks into one term ("field:\"two words\"").
// An unknown field name makes the term an ordinary word.
Status parseSearchQuery(Kind kind, std::string_view text, SearchQuery& query);

// The full-text expression for the words. Every word is quoted, so no search text can reach the
// full-text query syntax.
std::string fullTextExpression(const std::vector<std::string>& words);

} // namespace Dbscout::Molb
