#pragma once
// The subsets and queries used with each data source, most recent first, without repeats.

#include "settings/reg_str_map.h"

namespace Dbscout {

using QueryHistory = CRegStrMap<CRegStrList>;

// How many queries of each data source are kept from one run to the next.
constexpr int kQueryHistoryKept = 15;

// Puts query first in the address's list (creating the entry), dropping an equal older one.
// An empty query records nothing.
void recordQuery(QueryHistory& history, const std::string& address, const std::string& query);

// The address's queries in list order, creating an empty entry when there is none.
const CRegStrList& queriesOf(QueryHistory& history, const std::string& address);

} // namespace Dbscout
