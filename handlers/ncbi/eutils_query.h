#pragma once
// The E-utilities requests the handler makes. A query is the utility and its parameters, without
// the caller's identity (tool, email, API key): that is also how the cache knows an answer again.

#include "entrez_database.h"
#include "service_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

// esearch: the exact count of term's matches and the UIDs of one page of them.
std::string searchQuery(const DatabaseInfo& database, std::string_view term, std::int64_t start,
                        int count);
// esummary (document summaries, version 1.0, XML) of the UIDs.
std::string summaryQuery(const DatabaseInfo& database, const std::vector<std::string>& uids);
// efetch of one record as text: GenBank, GenPept or MEDLINE.
std::string fetchQuery(const DatabaseInfo& database, std::string_view id);

// The address of query at the settings' E-utilities, with tool, email and API key.
std::string requestAddress(const ServiceSettings& settings, std::string_view query);

} // namespace Dbscout::Ncbi
