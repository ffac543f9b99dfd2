#pragma once
// ebi-handler as the panel runs it, against a stand-in for UniProt's and ENA's services
// (ebi_standin.py) on a loopback port that serves real records and misbehaves on demand. Every
// EbiWorld has its own settings store (pointing both addresses at its stand-in), cache folder and
// rate limits.

#include "molb/molb_harness.h"
#include "support/test_env.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace EbiTest {

using MolbTest::ProcessResult;

struct Arrival
{
    double seconds;      // the stand-in's monotonic clock
    std::string request; // PATH?PARAMETERS
};

// The stand-in's truth about a search: its size, and the ids of [start, start + count) in the
// service's order (accession.version for ENA).
struct Truth
{
    std::int64_t total = -1;
    std::vector<std::string> ids;
};

class EbiStandIn
{
public:
    explicit EbiStandIn(const std::string& controlFolder);
    ~EbiStandIn();

    std::string address() const; // http://127.0.0.1:PORT/
    // Misbehaviours for the next requests, one a request (see ebi_standin.py).
    void plan(const std::vector<std::string>& steps);
    std::vector<Arrival> arrivals() const;
    size_t requests() const { return arrivals().size(); }
    // source is uniprot or ena.
    Truth truth(const std::string& source, const std::string& query, std::int64_t start,
                int count) const;

private:
    std::string m_folder;
    std::unique_ptr<MolbTest::Child> m_child;
    int m_port = 0;
};

class EbiWorld
{
public:
    EbiWorld();
    ~EbiWorld();

    EbiStandIn& standIn() { return *m_standIn; }
    // A DWORD or text value under the handler's settings key.
    void setSetting(const char* name, unsigned number);
    void setSetting(const char* name, const std::string& text);

private:
    DbscoutTest::TestEnv m_env;
    std::string m_savedCache;
    bool m_hadCache = false;
    std::unique_ptr<EbiStandIn> m_standIn;
};

// The handler with the URL as its one argument.
ProcessResult runEbi(const std::string& url);
// "?start=S&page=P&query=Q" with the query escaped as the panel escapes it.
std::string listingOf(const std::string& base, const std::string& query, std::int64_t start,
                      int page);
// The body text of an error page, or a failure when the page is no error page.
std::string errorText(const ProcessResult& result);

} // namespace EbiTest
