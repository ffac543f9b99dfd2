#pragma once
// ebi-handler as the panel runs it, against a stand-in for UniProt's and ENA's services
// (ebi_standin.py) on a loopback port that serves real records and misbehaves on demand. Every
// EbiWorld has its own settings store (pointing both addresses at its stand-in), cache folder and
// rate limits.

#include "web_handler_harness.h"

#include <cstdint>
#include <string>
#include <vector>

namespace EbiTest {

using namespace WebTest;

// The stand-in's truth about a search: its size, and the ids of [start, start + count) in the
// service's order (accession.version for ENA).
struct Truth
{
    std::int64_t total = -1;
    std::vector<std::string> ids;
};

class EbiStandIn : public WebStandIn
{
public:
    explicit EbiStandIn(const std::string& controlFolder);

    // source is uniprot or ena.
    Truth truth(const std::string& source, const std::string& query, std::int64_t start,
                int count) const;
};

// Both services' addresses point at the stand-in.
struct EbiWorld : StandInWorld<EbiStandIn>
{
    EbiWorld();
};

// The handler with the URL as its one argument.
ProcessResult runEbi(const std::string& url);

} // namespace EbiTest
