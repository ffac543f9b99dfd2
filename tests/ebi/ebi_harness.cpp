#include "ebi_harness.h"

#include "request/url_escape.h"

#include <dbscout/registry.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace EbiTest {
namespace {

constexpr const char* kSettingsKey = "Software\\Dbscout\\EBI";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string escaped(const std::string& text)
{
    std::string out;
    Dbscout::EscapeQueryText(text.data(), static_cast<int>(text.size()), out);
    return out;
}

} // namespace

EbiStandIn::EbiStandIn(const std::string& controlFolder) : m_folder(controlFolder)
{
    std::filesystem::create_directories(m_folder);
    m_child = std::make_unique<MolbTest::Child>(
        "/usr/bin/python3", std::vector<std::string>{EBI_STANDIN_SCRIPT, EBI_FIXTURES, m_folder},
        std::vector<std::string>{}, true);
    for (int i = 0; i < 1000 && m_port == 0; ++i) {
        const std::string port = readFile(m_folder + "/port");
        m_port = port.empty() ? 0 : std::atoi(port.c_str());
        if (m_port == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_port == 0)
        ADD_FAILURE() << "the EBI stand-in did not start";
}

EbiStandIn::~EbiStandIn()
{
    m_child->closeInput();
    m_child->waitExit(std::chrono::milliseconds(5000));
}

std::string EbiStandIn::address() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/";
}

void EbiStandIn::plan(const std::vector<std::string>& steps)
{
    std::ofstream out(m_folder + "/plan.new");
    for (const std::string& step : steps)
        out << step << '\n';
    out.close();
    std::filesystem::rename(m_folder + "/plan.new", m_folder + "/plan");
}

std::vector<Arrival> EbiStandIn::arrivals() const
{
    std::vector<Arrival> arrivals;
    std::istringstream lines(readFile(m_folder + "/arrivals"));
    for (std::string line; std::getline(lines, line);) {
        const size_t blank = line.find(' ');
        arrivals.push_back(
            {std::atof(line.substr(0, blank).c_str()), line.substr(line.find(' ', blank + 1) + 1)});
    }
    return arrivals;
}

Truth EbiStandIn::truth(const std::string& source, const std::string& query, std::int64_t start,
                        int count) const
{
    const ProcessResult answer = MolbTest::runProcess(
        "/usr/bin/curl",
        {"-s", "-G", "--data-urlencode", "query=" + query, "-d", "start=" + std::to_string(start),
         "-d", "count=" + std::to_string(count), address() + "oracle/" + source});
    Truth truth;
    std::istringstream lines(answer.output);
    std::string line;
    if (std::getline(lines, line))
        truth.total = std::atoll(line.c_str());
    while (std::getline(lines, line))
        truth.ids.push_back(line);
    EXPECT_GE(truth.total, 0) << answer.output;
    return truth;
}

EbiWorld::EbiWorld()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    m_hadCache = cache != nullptr;
    m_savedCache = cache ? cache : "";
    setenv("XDG_CACHE_HOME", m_env.file("cache").c_str(), 1);
    m_standIn = std::make_unique<EbiStandIn>(m_env.file("standin"));
    setSetting("UniProtAddress", m_standIn->address());
    setSetting("EnaAddress", m_standIn->address() + "ena/");
}

EbiWorld::~EbiWorld()
{
    m_standIn.reset();
    if (m_hadCache)
        setenv("XDG_CACHE_HOME", m_savedCache.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
}

void EbiWorld::setSetting(const char* name, unsigned number)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS);
    const DWORD value = number;
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value),
              ERROR_SUCCESS);
}

void EbiWorld::setSetting(const char* name, const std::string& text)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

ProcessResult runEbi(const std::string& url)
{
    return MolbTest::runProcess(EBI_HANDLER_PATH, {url});
}

std::string listingOf(const std::string& base, const std::string& query, std::int64_t start,
                      int page)
{
    return base + "?start=" + std::to_string(start) + "&page=" + std::to_string(page) +
           "&query=" + escaped(query);
}

std::string errorText(const ProcessResult& result)
{
    const Dbscout::ResultPage page = MolbTest::parseResultPage(result.output);
    EXPECT_EQ(page.status, "ERROR") << result.output;
    return page.message;
}

} // namespace EbiTest
