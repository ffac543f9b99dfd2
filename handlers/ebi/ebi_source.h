#pragma once
// The two EBI data sources the handler serves, with what the panel shows of each: the kind
// keyword of its pages, its columns and the filters its subset box offers.

#include "filtered_query.h"

#include <span>
#include <string_view>
#include <vector>

namespace Dbscout::Ebi {

enum class Source { UniProtKB, Ena };

using Filter = Web::QueryFilter;

struct SourceInfo
{
    Source source;
    std::string_view name;                 // the address segment: uniprotkb, ena
    std::string_view sourceName;           // how messages name it: "UniProtKB"
    std::string_view kindKeyword;          // the page title: protein, dnarna
    std::vector<std::string_view> headers; // the link's column first
    std::span<const Filter> filters;
    std::string_view example; // a query to offer in messages, in the service's own syntax
};

// The source an address names (letter case aside), or nullptr.
const SourceInfo* sourceNamed(std::string_view name);

} // namespace Dbscout::Ebi
