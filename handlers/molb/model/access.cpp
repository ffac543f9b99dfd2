#include "model/access.h"

#include "model/store.h"

#include <algorithm>

namespace Dbscout::Molb {

Session adminSession()
{
    Session session;
    session.everyoneOwns = true;
    return session;
}

bool isValidMode(std::string_view mode)
{
    return mode.size() == 3 && std::all_of(mode.begin(), mode.end(),
                                           [](char c) { return c == '-' || c == 'r' || c == 'w'; });
}

Right rightOf(const Session& session, const std::string& owner, const std::string& group,
              std::string_view mode)
{
    if (session.everyoneOwns)
        return Right::Write;
    if (!isValidMode(mode))
        return Right::None;
    size_t position = 2;
    if (!session.user.empty() && session.user == owner)
        position = 0;
    else if (!group.empty() &&
             std::find(session.groups.begin(), session.groups.end(), group) != session.groups.end())
        position = 1;
    switch (mode[position]) {
    case 'w':
        return Right::Write;
    case 'r':
        return Right::Read;
    default:
        return Right::None;
    }
}

const char* accessText(Right right)
{
    return right == Right::Write ? "rw" : right == Right::Read ? "r" : "";
}

bool isValidModeChange(std::string_view change)
{
    return change.size() == 3 && std::all_of(change.begin(), change.end(), [](char c) {
               return c == '-' || c == 'r' || c == 'w' || c == '*';
           });
}

std::string applyModeChange(std::string_view current, std::string_view change)
{
    std::string mode(current);
    mode.resize(3, '-');
    for (size_t i = 0; i < 3; ++i) {
        if (change[i] != '*')
            mode[i] = change[i];
    }
    return mode;
}

void redactUnreadable(const Session& session, ObjectRow& row)
{
    row.right = rightOf(session, row.owner, row.group, row.mode);
    if (row.right != Right::None)
        return;
    ObjectRow hidden;
    hidden.mode = std::move(row.mode);
    row = std::move(hidden);
}

} // namespace Dbscout::Molb
