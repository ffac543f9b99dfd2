#pragma once
// Serving one request URL of the ebi scheme: a listing (a search of UniProtKB or ENA), the subset
// directory (the source's filters), records as text, or a clear refusal of what the read-only
// sources cannot do.

#include "ebi_listing.h"

#include <string>

namespace Dbscout::Ebi {

// command=dir: a result page, or an error page's message in the Status.
Status serveListing(Web::WebClient& client, const EbiRequest& request, std::string& page);
// How source is asked, from the settings as they are now.
Web::Service serviceOf(const SourceInfo& source);

// Serves urlText, answering on out. Returns the exit status: 0 served, 1 refused or nothing of
// it found (error page), 2 the service or the network failed (error page, or records cut short),
// 3 records served but some of those asked for the service does not have.
int serveEbiRequest(const std::string& urlText, int out);

} // namespace Dbscout::Ebi
