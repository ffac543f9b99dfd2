#pragma once
// One page of a UniProtKB or ENA search as the panel lists it (the web handlers' Listing), and
// what both services' searches ask alike.

#include "ebi_source.h"
#include "web_client.h"

#include <string>
#include <string_view>

namespace Dbscout::Ebi {

using Handlers::Status;
using Web::WebClient;

using Web::ListedRow;
using Web::Listing;

// A search's failure: HTTP 404 at a search's address is the settings' fault, not a record
// missing.
Status searchFailure(const Status& status);

// The service's query (percent-encoded) as a request parameter.
std::string encoded(std::string_view text);

} // namespace Dbscout::Ebi
