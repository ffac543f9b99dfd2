#pragma once
// Who is asking and what a mode lets them do. A mode is three characters for owner, group and
// everybody else, each "-" (no access), "r" (read) or "w" (read and write).

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

// The requesting user after authentication.
struct Session
{
    bool everyoneOwns = false; // a store without users: every request acts as the owner
    std::string user;          // empty in a store without users when no user= was given
    std::vector<std::string> groups;
};

enum class Right { None, Read, Write };

// Owner may write, everybody may read: what a new object or subset gets unless told otherwise.
inline constexpr const char* kDefaultMode = "wrr";

// The session of the administration tool: acts as the owner of everything.
Session adminSession();

bool isValidMode(std::string_view mode);
// The right that mode grants to the session on something owned by owner and group.
Right rightOf(const Session& session, const std::string& owner, const std::string& group,
              std::string_view mode);
// The value of a listing row's access attribute: "", "r" or "rw".
const char* accessText(Right right);

// A requested mode change: three of "-", "r", "w" and "*" (leave that position as it is).
bool isValidModeChange(std::string_view change);
// current with change applied; change must be valid.
std::string applyModeChange(std::string_view current, std::string_view change);

struct ObjectRow;
// Fills row.right for the session; a row it may not read keeps only its mode, so that a listing
// shows where it stands without telling what it is.
void redactUnreadable(const Session& session, ObjectRow& row);

} // namespace Dbscout::Molb
