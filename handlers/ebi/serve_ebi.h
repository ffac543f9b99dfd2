#pragma once
// Serving one request URL of the ebi scheme: a listing (a search of UniProtKB or ENA), the subset
// directory (the source's filters), records as text, or a clear refusal of what the read-only
// sources cannot do.

#include "ebi_request.h"

#include <string>

namespace Dbscout::Ebi {

// Serves urlText, answering on out. Returns the exit status: 0 served, 1 refused or nothing of
// it found (error page), 2 the service or the network failed (error page, or records cut short),
// 3 records served but some of those asked for the service does not have.
int serveEbiRequest(const std::string& urlText, int out);

} // namespace Dbscout::Ebi
