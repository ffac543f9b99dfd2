#pragma once
// Readers of NCBI's XML answers to esearch and esummary (version 1.0 document summaries). Each is
// a pure function over the answer's bytes, which come from the network and are not trusted: any
// byte sequence ends in a filled answer or a Failure whose message says what was wrong.

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
};

struct DocSum
{
    std::string uid;
    // Every named item in document order; list items ("Author") come before their list.
    std::vector<std::pair<std::string, std::string>> items;

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

} // namespace Dbscout::Ncbi
