#include "ncbi_harness.h"

#include "request/url_escape.h"

#include <dbscout/registry.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace NcbiTest {
namespace {

constexpr const char* kSettingsKey = "Software\\Dbscout\\NCBI";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

EutilsStandIn::EutilsStandIn(const std::string& controlFolder) : m_folder(controlFolder)
{
    std::filesystem::create_directories(m_folder);
    m_child = std::make_unique<MolbTest::Child>(
        "/usr/bin/python3", std::vector<std::string>{NCBI_STANDIN_SCRIPT, NCBI_FIXTURES, m_folder},
        std::vector<std::string>{}, true);
    for (int i = 0; i < 1000 && m_port == 0; ++i) {
        const std::string port = readFile(m_folder + "/port");
        m_port = port.empty() ? 0 : std::atoi(port.c_str());
        if (m_port == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_port == 0)
        ADD_FAILURE() << "the E-utilities stand-in did not start";
}

EutilsStandIn::~EutilsStandIn()
{
    m_child->closeInput();
    m_child->waitExit(std::chrono::milliseconds(5000));
}

std::string EutilsStandIn::baseAddress() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/entrez/eutils/";
}

void EutilsStandIn::plan(const std::vector<std::string>& steps)
{
    std::ofstream out(m_folder + "/plan.new");
    for (const std::string& step : steps)
        out << step << '\n';
    out.close();
    std::filesystem::rename(m_folder + "/plan.new", m_folder + "/plan");
}

std::vector<Arrival> EutilsStandIn::arrivals() const
{
    std::vector<Arrival> arrivals;
    std::istringstream lines(readFile(m_folder + "/arrivals"));
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

std::string EutilsStandIn::ask(const std::string& utility, const std::string& parameters) const
{
    // A POST, as long questions must be; marked so that arrivals() leaves it out.
    const ProcessResult answer = MolbTest::runProcess(
        "/usr/bin/curl", {"-s", "--data-binary", "@-", baseAddress() + utility},
        parameters + "&tool=oracle");
    EXPECT_EQ(answer.exitCode, 0) << utility << "?" << parameters;
    return answer.output;
}

std::int64_t EutilsStandIn::count(const std::string& database, const std::string& term) const
{
    const std::string answer =
        ask("esearch.fcgi", "db=" + database + "&rettype=count&term=" + escaped(term));
    const size_t at = answer.find("<Count>");
    EXPECT_NE(at, std::string::npos) << answer;
    return at == std::string::npos ? -1 : std::atoll(answer.c_str() + at + 7);
}

std::vector<std::string> EutilsStandIn::ids(const std::string& database, const std::string& term,
                                            std::int64_t start, int count) const
{
    const std::string answer =
        ask("esearch.fcgi", "db=" + database + "&idtype=acc&retstart=" + std::to_string(start) +
                                "&retmax=" + std::to_string(count) + "&term=" + escaped(term));
    std::vector<std::string> ids;
    for (size_t at = answer.find("<Id>"); at != std::string::npos; at = answer.find("<Id>", at)) {
        at += 4;
        ids.push_back(answer.substr(at, answer.find('<', at) - at));
    }
    return ids;
}

NcbiWorld::NcbiWorld()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    m_hadCache = cache != nullptr;
    m_savedCache = cache ? cache : "";
    setenv("XDG_CACHE_HOME", m_env.file("cache").c_str(), 1);
    m_standIn = std::make_unique<EutilsStandIn>(m_env.file("standin"));
    setSetting("BaseAddress", m_standIn->baseAddress());
}

NcbiWorld::~NcbiWorld()
{
    m_standIn.reset();
    if (m_hadCache)
        setenv("XDG_CACHE_HOME", m_savedCache.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
}

std::string NcbiWorld::cacheFolder() const
{
    return m_env.file("cache") + "/dbscout";
}

void NcbiWorld::setSetting(const char* name, unsigned number)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS);
    const DWORD value = number;
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value),
              ERROR_SUCCESS);
}

void NcbiWorld::setSetting(const char* name, const std::string& text)
{
    Dbscout::RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

std::string handlerPath()
{
    return NCBI_HANDLER_PATH;
}

ProcessResult runNcbi(const std::string& url, const std::vector<std::string>& environment)
{
    return MolbTest::runProcess(handlerPath(), {url}, {}, environment);
}

std::string fixture(const std::string& name)
{
    const std::string path = std::string(NCBI_FIXTURES) + "/" + name;
    if (!name.ends_with(".gz"))
        return readFile(path);
    return MolbTest::runProcess("/bin/gzip", {"-dc", path}).output;
}

std::string escaped(const std::string& text)
{
    std::string out;
    Dbscout::EscapeQueryText(text.data(), static_cast<int>(text.size()), out);
    return out;
}

} // namespace NcbiTest
