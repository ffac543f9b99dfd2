#pragma once
// What molb-handler and molb-agent say to each other. A server request costs a handler a TLS
// session, a password exchange and a new server backend when it connects itself; the agent, one
// per user, keeps the connections of recent requests open and serves the next request of the same
// login on one of them.
//
// Over the agent's socket the handler sends one request: the URL, the environment variables that
// steer the server client (PG*), and the object's bytes, with the write end of a pipe for the
// answer and its own standard error attached. The agent answers kAgentAccepted once it holds the
// whole request, writes the answer page into the pipe, closes it, then sends the exit status as
// one byte. A request whose connection ends before kAgentAccepted was never served.

#include "model/shared_names.h"

#include <string>
#include <vector>

namespace Dbscout::Molb {

inline constexpr char kAgentAccepted = 'A';

struct AgentRequest
{
    std::string url;
    std::vector<std::string> environment; // NAME=VALUE
    std::string input;
    int answerFd = -1; // the answer pipe's write end
    int errorFd = -1;  // the handler's standard error
};

// The folder of the user's agent socket, $XDG_RUNTIME_DIR/molb or else /tmp/molb-agent-UID:
// made private when missing, refused when another user owns it or others may enter it.
Status agentFolder(std::string& folder);
// Makes folder when missing; fails unless it is this user's and closed to everyone else.
Status ensurePrivateFolder(const std::string& folder);
std::string agentSocketPath(const std::string& folder);
// How long the agent keeps an unused connection, and itself without requests:
// MOLB_AGENT_IDLE_SECONDS, 60 by default.
int agentIdleSeconds();

Status sendAgentRequest(int socket, const AgentRequest& request);
// Takes the whole request, its two descriptors included (closed by the caller).
Status receiveAgentRequest(int socket, AgentRequest& request);

} // namespace Dbscout::Molb
