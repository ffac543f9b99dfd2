// molb-agent: the user's connection agent for molb server requests, started by molb-handler
// when none answers, ending by itself when idle. It is not meant to be run by hand.

#include "agent/agent_service.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: molb-agent FOLDER (molb-handler starts it)\n");
        return 2;
    }
    // Answers to handlers that went away must fail as writes, not end the agent.
    std::signal(SIGPIPE, SIG_IGN);
    // Every request brings the server client's settings of the handler that sent it; the
    // environment of whichever handler started the agent must not mix in.
    std::vector<std::string> names;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.starts_with("PG") || text.starts_with("DBSCOUT_MOLB_TEST_PAUSE="))
            names.push_back(text.substr(0, text.find('=')));
    }
    for (const std::string& name : names)
        unsetenv(name.c_str());
    return Dbscout::Molb::runAgent(argv[1]);
}
