#pragma once
// Keeping the request's password out of sight: while a handler runs, other local users can read
// its command line in /proc/PID/cmdline, so the handler overwrites the password there first.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Dbscout::Handlers {

// Where passwords stand in a request URL, as (offset, length): every pass= value and the
// password of user:password@ before the host.
std::vector<std::pair<size_t, size_t>> passwordSpans(std::string_view url);

// The request URL of a handler's arguments (those after the program): the first one, unchanged,
// blanks and tabs included; empty when there is none. Its passwords are then overwritten with
// "*" in the argument memory itself.
std::string takeRequestUrl(int count, char** arguments);

} // namespace Dbscout::Handlers
