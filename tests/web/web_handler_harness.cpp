#include "web_handler_harness.h"

#include "request/url_escape.h"

#include <dbscout/registry.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace WebTest {

WebStandIn::WebStandIn(const std::string& script, const std::string& fixtures,
                       const std::string& controlFolder, const std::string& service)
    : m_folder(controlFolder)
{
    std::filesystem::create_directories(m_folder);
    m_child = std::make_unique<MolbTest::Child>(
        "/usr/bin/python3", std::vector<std::string>{script, fixtures, m_folder},
        std::vector<std::string>{}, true);
    for (int i = 0; i < 1000 && m_port == 0; ++i) {
        const std::string port = fileText(m_folder + "/port");
        m_port = port.empty() ? 0 : std::atoi(port.c_str());
        if (m_port == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_port == 0)
        ADD_FAILURE() << "the " << service << " stand-in did not start";
}

WebStandIn::~WebStandIn()
{
    // The stand-in ends when its input closes.
    m_child->closeInput();
    m_child->waitExit(std::chrono::milliseconds(5000));
}

std::string WebStandIn::address() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/";
}

void WebStandIn::plan(const std::vector<std::string>& steps)
{
    // Written aside and renamed, so that the stand-in never reads half a plan.
    std::ofstream out(m_folder + "/plan.new");
    for (const std::string& step : steps)
        out << step << '\n';
    out.close();
    std::filesystem::rename(m_folder + "/plan.new", m_folder + "/plan");
}

std::vector<Arrival> WebStandIn::arrivals() const
{
    std::vector<Arrival> arrivals;
    std::istringstream lines(fileText(m_folder + "/arrivals"));
    for (std::string line; std::getline(lines, line);) {
        if (line.find("&tool=oracle") != std::string::npos)
            continue;
        const size_t blank = line.find(' ');
        const size_t second = line.find(' ', blank + 1);
        arrivals.push_back({std::atof(line.substr(0, blank).c_str()),
                            line.substr(blank + 1, second - blank - 1), line.substr(second + 1)});
    }
    return arrivals;
}

WebHandlerWorld::WebHandlerWorld(std::string settingsKey) : m_settingsKey(std::move(settingsKey))
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    m_hadCache = cache != nullptr;
    m_savedCache = cache ? cache : "";
    setenv("XDG_CACHE_HOME", m_env.file("cache").c_str(), 1);
}

WebHandlerWorld::~WebHandlerWorld()
{
    if (m_hadCache)
        setenv("XDG_CACHE_HOME", m_savedCache.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
}

std::string WebHandlerWorld::cacheFolder() const
{
    return m_env.file("cache") + "/dbscout";
}

void WebHandlerWorld::setSetting(const char* name, unsigned number)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, m_settingsKey.c_str()), ERROR_SUCCESS);
    const DWORD value = number;
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value),
              ERROR_SUCCESS);
}

void WebHandlerWorld::setSetting(const char* name, const std::string& text)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, m_settingsKey.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

size_t busiestSecond(std::vector<Arrival> arrivals)
{
    std::sort(arrivals.begin(), arrivals.end(),
              [](const Arrival& a, const Arrival& b) { return a.seconds < b.seconds; });
    size_t most = 0;
    for (size_t first = 0, last = 0; first < arrivals.size(); ++first) {
        last = std::max(last, first);
        while (last + 1 < arrivals.size() &&
               arrivals[last + 1].seconds - arrivals[first].seconds < 1.0)
            ++last;
        most = std::max(most, last - first + 1);
    }
    return most;
}

int failedJobsTogether(int jobs, int threads, const std::function<bool(int job)>& job)
{
    std::atomic<int> next{0};
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int worker = 0; worker < threads; ++worker) {
        workers.emplace_back([&] {
            for (int taken = next++; taken < jobs; taken = next++)
                failures += !job(taken);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    return failures;
}

std::string listingOf(const std::string& base, const std::string& query, std::int64_t start,
                      int page)
{
    return base + "?start=" + std::to_string(start) + "&page=" + std::to_string(page) +
           "&query=" + escaped(query);
}

std::string escaped(const std::string& text)
{
    std::string out;
    Dbscout::EscapeQueryText(text.data(), static_cast<int>(text.size()), out);
    return out;
}

std::vector<std::string> idsOf(const Dbscout::ResultPage& page)
{
    std::vector<std::string> ids;
    for (const Dbscout::ResultRow& row : page.rows)
        ids.push_back(row.id);
    return ids;
}

std::string errorText(const ProcessResult& result)
{
    const Dbscout::ResultPage page = MolbTest::parseResultPage(result.output);
    EXPECT_EQ(page.status, "ERROR") << result.output;
    return page.message;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace WebTest
