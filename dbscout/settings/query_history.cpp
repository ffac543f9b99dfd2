#include "settings/query_history.h"

#include <algorithm>

namespace Dbscout {

void recordQuery(QueryHistory& history, const std::string& address, const std::string& query)
{
    if (query.empty())
        return;
    CRegStrList& list = history[address];
    list.erase(std::remove(list.begin(), list.end(), query), list.end());
    list.insert(list.begin(), query);
}

const CRegStrList& queriesOf(QueryHistory& history, const std::string& address)
{
    return history[address];
}

} // namespace Dbscout
