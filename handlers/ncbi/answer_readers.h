#pragma once
// Readers of NCBI's XML answers to esearch and esummary (document summaries of version 1.0 and
// 2.0). Each is a pure function over the answer's bytes, which come from the network and are not
// trusted: any byte sequence ends in a filled answer or a Failure whose message names what came
// instead of the answer ("a search answer cut short or malformed (...)").

#include "status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Dbscout::Ncbi {

using Handlers::Status;

struct SearchAnswer
{
    std::int64_t count = 0;            // every match, not just this page's
    std::vector<std::string> ids;      // the page's UIDs, in NCBI's order
    std::string error;                 // NCBI's own ERROR element, when it sent one
    std::vector<std::string> notFound; // phrases and fields NCBI did not find
    std::vector<std::string> warnings; // its output messages ("No items found.")
    std::string queryTranslation;      // how NCBI read the query
    std::string webEnv;                // where NCBI's History server keeps the set (usehistory)
    std::string queryKey;
};

struct DocSum
{
    std::string uid;
    // Every named item in document order: version 1.0's Item elements (list items before their
    // list), version 2.0's fields (Caption, Title, Organism, ...).
    std::vector<std::pair<std::string, std::string>> items;
    std::string error; // NCBI has no summary of this UID ("cannot get document summary")

    // The first item of that name, or empty text.
    const std::string& item(std::string_view name) const;
};

struct SummaryAnswer
{
    std::vector<DocSum> docs;
    std::string error; // NCBI's own ERROR element, when it sent one
};

Status readSearchAnswer(std::string_view bytes, SearchAnswer& answer);
Status readSummaryAnswer(std::string_view bytes, SummaryAnswer& answer);

// Whether NCBI's error says that a History server set is gone (its WebEnv expired), which a new
// search mends.
bool historyExpired(std::string_view error);
// Whether NCBI's summary error is about unknown records only, rather than the request.
bool unknownRecordsOnly(std::string_view error);

} // namespace Dbscout::Ncbi
