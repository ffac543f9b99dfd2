#pragma once
// molb-handler's side of a server request: hands it to the user's connection agent, starting the
// agent when none answers, and passes the agent's answer on as its own.

#include <string>

namespace Dbscout::Molb {

// Writes the answer to out; returns the exit status the agent gives, or 2 with an error page
// when no agent can serve the request.
int relayToAgent(const std::string& url, std::string input, int out);

} // namespace Dbscout::Molb
