#pragma once
// Names that requests and administrators give: which database names are valid, and how a
// message repeats a name it was given.

#include <cstddef>
#include <string>
#include <string_view>

namespace Dbscout::Molb {

// Letters, digits, "_", "-" and "." (not first), 1 to 128 bytes: a name that is safe as a file
// name and as part of a server role name.
bool isValidDatabaseName(std::string_view name);

// How much of a name or term from a request a message repeats.
inline constexpr size_t kMaxShownBytes = 64;
// text in double quotes for a message, cut after kMaxShownBytes bytes (with "..."), so that a
// hostile request cannot make its own error page huge.
std::string quotedForMessage(std::string_view text);

} // namespace Dbscout::Molb
