// molb-handler: serves one request URL of the molb scheme and exits.

#include "handler/commands.h"

#include <csignal>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A reader that goes away must end a write with an error, not the process with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // The component splits the registered argument text at blanks, so a URL that holds blanks
    // (a comment, a subset name) arrives in pieces: join them again.
    std::string url;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            url += ' ';
        url += argv[i];
    }
    return Dbscout::Molb::serveRequest(url, STDIN_FILENO, STDOUT_FILENO);
}
