#include "ebi_harness.h"

#include <cstdlib>
#include <sstream>

namespace EbiTest {

EbiStandIn::EbiStandIn(const std::string& controlFolder)
    : WebStandIn(STANDIN_SCRIPT, STANDIN_FIXTURES, controlFolder, "EBI")
{}

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

EbiWorld::EbiWorld() : StandInWorld("Software\\Dbscout\\EBI")
{
    setSetting("UniProtAddress", standIn().address());
    setSetting("EnaAddress", standIn().address() + "ena/");
}

ProcessResult runEbi(const std::string& url)
{
    return MolbTest::runProcess(HANDLER_PATH, {url});
}

} // namespace EbiTest
