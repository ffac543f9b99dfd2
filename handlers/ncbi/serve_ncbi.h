#pragma once
// Serving one request URL of the ncbi scheme: a listing (a search, or a pasted list of record
// names), the subset directory (the database's filters), records as text, or a clear refusal
// of what NCBI's read-only databases cannot do.

#include "eutils_query.h"
#include "ncbi_request.h"
#include "record_fetch.h"

#include <string>

namespace Dbscout::Ncbi {

// command=dir: a result page, or an error page's message in the Status.
Status serveListing(WebClient& client, const NcbiRequest& request, std::string& page);
// How database is asked, from the settings as they are now.
Web::Service serviceOf(const DatabaseInfo& database);

// Serves urlText, answering on out. Returns the exit status: 0 served, 1 refused or nothing of
// it found (error page), 2 NCBI or the network failed (error page, or records cut short), 3
// records served but some of those asked for NCBI does not have.
int serveNcbiRequest(const std::string& urlText, int out);

} // namespace Dbscout::Ncbi
