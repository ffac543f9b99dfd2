#pragma once
// The E-utilities requests the handler makes. A query is the utility and its parameters, without
// the caller's identity (tool, email, API key): that is also how the cache knows an answer again.

#include "entrez_database.h"
#include "http_client.h"
#include "service_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

// A request whose address would be longer than this goes as a POST: NCBI refuses long addresses
// (HTTP 414) and asks for POST beyond a few hundred characters.
inline constexpr size_t kMaxGetAddressBytes = 2000;

// esearch of term, its set kept on NCBI's History server (usehistory): the exact count, the
// WebEnv and query key of the set, and its first `count` UIDs (accession.version identifiers
// for nucleotide and protein, so that records are named as NCBI names them).
std::string historySearchQuery(const DatabaseInfo& database, std::string_view term, int count);
// esummary of the UIDs: version 2.0 for nucleotide and protein (their organism and length),
// version 1.0 for PubMed.
std::string summaryQuery(const DatabaseInfo& database, const std::vector<std::string>& uids);
// esummary of count records from start of a set on the History server.
std::string historySummaryQuery(const DatabaseInfo& database, std::string_view webEnv,
                                std::string_view queryKey, std::int64_t start, int count);
// efetch of records as text: GenBank, GenPept or MEDLINE, in the order of the ids.
std::string fetchQuery(const DatabaseInfo& database, const std::vector<std::string>& ids);

// The request of query at the settings' E-utilities, with tool, email and API key: a GET, or a
// POST of the parameters when the address would be too long.
HttpRequest httpRequestFor(const ServiceSettings& settings, std::string_view query);

} // namespace Dbscout::Ncbi
