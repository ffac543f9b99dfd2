#pragma once
// Registered handler commands: the exported lookup and splitting (dbscout/handlers.h), and the
// panel's choice of command for a URL.

#include <dbscout/handlers.h>

#include <string>

namespace Dbscout {

// The command that serves url, chosen by its first four characters ("ncbi" or "molb", in any
// case); empty for any other URL.
const std::string& handlerCommandForUrl(const std::string& url, const std::string& molbCommand,
                                        const std::string& ncbiCommand);

} // namespace Dbscout
