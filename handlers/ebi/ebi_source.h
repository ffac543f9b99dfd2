#pragma once
// The two EBI data sources the handler serves, with what the panel shows of each: the kind
// keyword of its pages, its columns and the filters its subset box offers.

#include "listing_page.h"

#include <string_view>

namespace Dbscout::Ebi {

enum class Source { UniProtKB, Ena };

using Filter = Web::QueryFilter;

// The name is the address segment, uniprotkb or ena; the kind protein or dnarna.
struct SourceInfo : Web::WebSource
{
    Source source;
    std::string_view example; // a query to offer in messages, in the service's own syntax
};

// The source an address names (letter case aside), or nullptr.
const SourceInfo* sourceNamed(std::string_view name);

} // namespace Dbscout::Ebi
