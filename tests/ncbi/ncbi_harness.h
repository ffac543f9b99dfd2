#pragma once
// ncbi-handler as the panel runs it, against a stand-in for E-utilities (eutils_standin.py) on a
// loopback port that serves NCBI's recorded answers and misbehaves on demand. Every NcbiWorld has
// its own settings store (pointing BaseAddress at its stand-in), cache folder and rate limit.

#include "web_handler_harness.h"

#include <cstdint>
#include <string>
#include <vector>

namespace NcbiTest {

using namespace WebTest;

class EutilsStandIn : public WebStandIn
{
public:
    explicit EutilsStandIn(const std::string& controlFolder);

    std::string baseAddress() const { return address() + "entrez/eutils/"; }

    // The tests' own questions to the stand-in, as NCBI's truth about a search: its count, and
    // the ids of [start, start + count) in NCBI's order (accession.versions for sequences).
    std::int64_t count(const std::string& database, const std::string& term) const;
    std::vector<std::string> ids(const std::string& database, const std::string& term,
                                 std::int64_t start, int count) const;

private:
    std::string ask(const std::string& utility, const std::string& parameters) const;
};

// BaseAddress points at the stand-in.
struct NcbiWorld : StandInWorld<EutilsStandIn>
{
    NcbiWorld();
};

std::string handlerPath();
// The handler with the URL as its one argument; environment adds NAME=VALUE entries.
ProcessResult runNcbi(const std::string& url, const std::vector<std::string>& environment = {});
std::string fixture(const std::string& name); // a file of tests/fixtures/ncbi, whole, unzipped

} // namespace NcbiTest
