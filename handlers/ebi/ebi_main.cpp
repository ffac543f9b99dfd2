// ebi-handler: serves one request URL of the ebi scheme from UniProt's or ENA's web services and
// exits.

#include "credentials.h"
#include "serve_ebi.h"

#include <csignal>
#include <unistd.h>

int main(int argc, char** argv)
{
    const std::string url = Dbscout::Handlers::takeRequestUrl(argc - 1, argv + 1);
    // A reader that goes away must end a write with an error, not the process with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    return Dbscout::Ebi::serveEbiRequest(url, STDOUT_FILENO);
}
