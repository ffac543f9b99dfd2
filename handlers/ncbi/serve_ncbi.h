#pragma once
// Serving one request URL of the ncbi scheme: a listing (search and summaries), the subset
// directory (the database's filters), a record as text, or a clear refusal of what NCBI's
// read-only databases cannot do.

#include "eutils_client.h"
#include "ncbi_request.h"

#include <string>

namespace Dbscout::Ncbi {

// command=dir: a result page, or an error page's message in the Status.
Status serveListing(EutilsClient& client, const NcbiRequest& request, std::string& page);
// command=fetch: the record's text on out. started tells whether bytes went out before a failure.
Status serveFetch(EutilsClient& client, const NcbiRequest& request, int out, bool& started);

// Serves urlText, answering on out. Returns the exit status: 0 served, 1 refused (error page),
// 2 NCBI or the network failed (error page, or a record cut short).
int serveNcbiRequest(const std::string& urlText, int out);

} // namespace Dbscout::Ncbi
