#pragma once
// The handler's E-utilities calls, each answer read and judged on arrival: an answer that is not
// what was asked for (a web page, a cut or malformed document, text that is not records) is asked
// again and never kept; an answer carrying NCBI's own error is used once and never kept; only
// whole, meaningful answers enter the cache.

#include "answer_readers.h"
#include "eutils_client.h"
#include "flat_records.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

// An esearch; fresh passes the cache by (a History set that NCBI has forgotten).
Status callSearch(EutilsClient& client, std::string_view query, SearchAnswer& answer,
                  bool fresh = false);
// An esummary, kept for maxAgeSeconds.
Status callSummaries(EutilsClient& client, std::string_view query, int maxAgeSeconds,
                     SummaryAnswer& answer);
// An efetch of text records, never kept as a whole (the caller keeps each record that stands on
// its own); records view body.
Status callRecords(EutilsClient& client, RecordText format, std::string_view query,
                   std::string& body, std::vector<FlatRecord>& records);

} // namespace Dbscout::Ncbi
