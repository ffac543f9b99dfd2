#pragma once
// What a test sees of the molb connection agent of its own runtime folder: the agent's processes,
// their server connections and memory, and a raw connection to the agent's socket. Everything is
// observed from outside, as an administrator would, never asked of the agent itself.

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace MolbTest {

// $XDG_RUNTIME_DIR/molb: the folder of the test's agent, as the handler chooses it.
std::string agentFolder();
std::string agentSocketFile();
// The molb-agent processes serving folder, found by their command lines.
std::vector<pid_t> agentProcesses(const std::string& folder = agentFolder());
// The peak resident memory of a process in KiB (VmHWM), -1 when it is gone.
long peakMemoryKib(pid_t pid);

// Polls condition until it holds or limit passes; whether it held. Waits of the agent tests go
// through here, so that a slow machine makes them slower, not wrong.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(20));

// The server backends of molb requests logged in as role, only those in state when given
// ("idle in transaction"), as the superuser sees them in pg_stat_activity.
int handlerBackends(const std::string& role, const std::string& state = {});

// A connection to the agent's socket, closed with the object; fd is -1 when none answers.
struct AgentConnection
{
    AgentConnection();
    AgentConnection(const AgentConnection&) = delete;
    AgentConnection& operator=(const AgentConnection&) = delete;
    ~AgentConnection();

    // Sends bytes, with descriptors attached when given; false when the agent refused them.
    bool send(const std::string& bytes, const std::vector<int>& descriptors = {});
    // Says the request is whole (shuts the writing side) and reads until the agent closes its end
    // (at most 30 seconds): everything it sent.
    std::string finish();

    int fd = -1;
};

} // namespace MolbTest
