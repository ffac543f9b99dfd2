#pragma once
// How a read-only web handler (ncbi, ebi) ends a request: its exit status, and how its messages
// name the records asked for.

#include "status.h"

#include <string>
#include <vector>

namespace Dbscout::Web {

using Handlers::Status;

inline constexpr int kExitServed = 0;
inline constexpr int kExitRefused = 1; // the request was refused, or nothing of it was found
inline constexpr int kExitFailed = 2;  // the service or the network failed
inline constexpr int kExitPartly = 3;  // records served, some of those asked for left out

// The exit status of a request that failed with status.
int exitStatusOf(const Status& status);

// A request refused as malformed or not served, with message.
Status refusal(std::string message);

// The names of ids for a message: all of up to ten, else the first ten "and N more".
std::string listedNames(const std::vector<std::string>& ids);

} // namespace Dbscout::Web
