#pragma once
// The agent's life: one per user and folder (a lock decides between agents started at once),
// a thread for each request, and an end once it has had no request and no open connection for
// the idle time, or once its socket is gone.

#include <string>

namespace Dbscout::Molb {

// Serves the socket in folder until idle; returns the exit status.
int runAgent(const std::string& folder);

} // namespace Dbscout::Molb
