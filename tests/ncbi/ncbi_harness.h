#pragma once
// ncbi-handler as the panel runs it, against a stand-in for E-utilities (eutils_standin.py) on a
// loopback port that serves NCBI's recorded answers and misbehaves on demand. Every NcbiWorld has
// its own settings store (pointing BaseAddress at its stand-in), cache folder and rate limit.

#include "molb/molb_harness.h"
#include "support/test_env.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace NcbiTest {

using MolbTest::ProcessResult;

struct Arrival
{
    double seconds;      // the stand-in's monotonic clock
    std::string method;  // GET or POST
    std::string request; // PATH?PARAMETERS, a POST's from its body
};

class EutilsStandIn
{
public:
    explicit EutilsStandIn(const std::string& controlFolder);
    ~EutilsStandIn();

    std::string baseAddress() const; // http://127.0.0.1:PORT/entrez/eutils/
    // Misbehaviours for the next requests, one a request (see eutils_standin.py).
    void plan(const std::vector<std::string>& steps);
    // The requests that arrived, in order, but the tests' own questions below.
    std::vector<Arrival> arrivals() const;
    size_t requests() const { return arrivals().size(); }

    // The tests' own questions to the stand-in, as NCBI's truth about a search: its count, and
    // the ids of [start, start + count) in NCBI's order (accession.versions for sequences).
    std::int64_t count(const std::string& database, const std::string& term) const;
    std::vector<std::string> ids(const std::string& database, const std::string& term,
                                 std::int64_t start, int count) const;

private:
    std::string ask(const std::string& utility, const std::string& parameters) const;

    std::string m_folder;
    std::unique_ptr<MolbTest::Child> m_child;
    int m_port = 0;
};

class NcbiWorld
{
public:
    NcbiWorld();
    ~NcbiWorld();

    EutilsStandIn& standIn() { return *m_standIn; }
    std::string cacheFolder() const; // $XDG_CACHE_HOME/dbscout
    // A DWORD or text value under the handler's settings key.
    void setSetting(const char* name, unsigned number);
    void setSetting(const char* name, const std::string& text);

private:
    DbscoutTest::TestEnv m_env;
    std::string m_savedCache;
    bool m_hadCache = false;
    std::unique_ptr<EutilsStandIn> m_standIn;
};

std::string handlerPath();
// The handler with the URL as its one argument; environment adds NAME=VALUE entries.
ProcessResult runNcbi(const std::string& url, const std::vector<std::string>& environment = {});
std::string fixture(const std::string& name); // a file of tests/fixtures/ncbi, whole, unzipped
std::string escaped(const std::string& text); // as the panel escapes a query (EscapeQueryText)

} // namespace NcbiTest
