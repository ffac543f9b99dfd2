#pragma once
// A web handler (ncbi, ebi) as the panel runs it, against a stand-in for its service: a Python
// program on a loopback port (its common part is standin_base.py) that serves recorded answers
// and misbehaves on demand. A WebHandlerWorld gives each test its own settings store, cache
// folder and rate limits; a WebStandIn is the stand-in process and the folder the two share.

#include "molb/molb_harness.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace WebTest {

using MolbTest::ProcessResult;

struct Arrival
{
    double seconds;      // the stand-in's monotonic clock
    std::string method;  // GET or POST
    std::string request; // PATH?PARAMETERS, a POST's from its body
};

class WebStandIn
{
public:
    // Runs "script fixtures controlFolder"; a stand-in that names no port within ten seconds
    // fails the test, calling it by service's name.
    WebStandIn(const std::string& script, const std::string& fixtures,
               const std::string& controlFolder, const std::string& service);
    ~WebStandIn();

    std::string address() const; // http://127.0.0.1:PORT/
    // Misbehaviours for the next requests, one a request (see the stand-in's usage).
    void plan(const std::vector<std::string>& steps);
    // The requests that arrived, in order, but the tests' own questions (marked tool=oracle).
    std::vector<Arrival> arrivals() const;
    size_t requests() const { return arrivals().size(); }

private:
    std::string m_folder;
    std::unique_ptr<MolbTest::Child> m_child;
    int m_port = 0;
};

// The settings store, the cache folder ($XDG_CACHE_HOME) and so the rate limits of one test; the
// handler reads its settings under settingsKey.
class WebHandlerWorld
{
public:
    explicit WebHandlerWorld(std::string settingsKey);
    ~WebHandlerWorld();

    std::string cacheFolder() const; // $XDG_CACHE_HOME/dbscout
    // A DWORD or text value under the handler's settings key.
    void setSetting(const char* name, unsigned number);
    void setSetting(const char* name, const std::string& text);

protected:
    // The folder a stand-in shares with the test.
    std::string standInFolder() const { return m_env.file("standin"); }

private:
    DbscoutTest::TestEnv m_env;
    std::string m_settingsKey;
    std::string m_savedCache;
    bool m_hadCache = false;
};

// A WebHandlerWorld with its stand-in, started once the world's folders exist and gone before
// they go.
template <typename StandIn> class StandInWorld : public WebHandlerWorld
{
public:
    explicit StandInWorld(std::string settingsKey)
        : WebHandlerWorld(std::move(settingsKey)),
          m_standIn(std::make_unique<StandIn>(standInFolder()))
    {}

    StandIn& standIn() { return *m_standIn; }

private:
    std::unique_ptr<StandIn> m_standIn;
};

// The most requests that arrived within any one second.
size_t busiestSecond(std::vector<Arrival> arrivals);
// Runs job(0) ... job(jobs - 1) on threads threads at once, each taking the next job when done
// with one; returns how many jobs failed (returned false).
int failedJobsTogether(int jobs, int threads, const std::function<bool(int job)>& job);

// base with "?start=S&page=P&query=Q", the query escaped as the panel escapes it.
std::string listingOf(const std::string& base, const std::string& query, std::int64_t start,
                      int page);
std::string escaped(const std::string& text); // as the panel escapes a query (EscapeQueryText)
// The ids of a page's rows, in order.
std::vector<std::string> idsOf(const Dbscout::ResultPage& page);
// The body text of an error page, or a failure when the page is no error page.
std::string errorText(const ProcessResult& result);
// The whole file at path, or empty text when there is none.
std::string fileText(const std::string& path);

} // namespace WebTest
