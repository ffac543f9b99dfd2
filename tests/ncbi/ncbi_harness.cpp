#include "ncbi_harness.h"

#include <cstdlib>

namespace NcbiTest {

EutilsStandIn::EutilsStandIn(const std::string& controlFolder)
    : WebStandIn(STANDIN_SCRIPT, STANDIN_FIXTURES, controlFolder, "E-utilities")
{}

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

NcbiWorld::NcbiWorld() : StandInWorld("Software\\Dbscout\\NCBI")
{
    setSetting("BaseAddress", standIn().baseAddress());
}

std::string handlerPath()
{
    return HANDLER_PATH;
}

ProcessResult runNcbi(const std::string& url, const std::vector<std::string>& environment)
{
    return MolbTest::runProcess(handlerPath(), {url}, {}, environment);
}

std::string fixture(const std::string& name)
{
    const std::string path = std::string(STANDIN_FIXTURES) + "/" + name;
    if (!name.ends_with(".gz"))
        return fileText(path);
    return MolbTest::runProcess("/bin/gzip", {"-dc", path}).output;
}

} // namespace NcbiTest
