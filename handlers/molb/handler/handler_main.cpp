// molb-handler: serves one request URL of the molb scheme and exits.

#include "model/shared_names.h"
#include "serve/commands.h"

#include <csignal>
#include <unistd.h>

int main(int argc, char** argv)
{
    // First of all, before anyone can read it in /proc/PID/cmdline for longer than need be.
    const std::string url = Dbscout::Molb::takeRequestUrl(argc - 1, argv + 1);
    // A reader that goes away must end a write with an error, not the process with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    return Dbscout::Molb::serveRequest(url, STDIN_FILENO, STDOUT_FILENO);
}
