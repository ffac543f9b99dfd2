#include "ncbi_harness.h"

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
        const size_t blank = line.find(' ');
        arrivals.push_back({std::atof(line.substr(0, blank).c_str()), line.substr(blank + 1)});
    }
    return arrivals;
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
    return readFile(std::string(NCBI_FIXTURES) + "/" + name);
}

} // namespace NcbiTest
