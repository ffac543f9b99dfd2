// NCBI's rate limit holds across every handler process of the user at once: 8 processes, 30
// requests in all, measured where they arrive (the stand-in), never more than 3 in any one second
// without an API key, never more than 10 with one; also when the shared file is damaged, and a
// handler killed while its request is on its way gives its place back.

#include "ncbi_harness.h"

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace NcbiTest;

namespace {

constexpr int kSlotsWithoutKey = 3;

// 15 listings (a search and a summary each, the cache turned off) by 8 processes at a time.
std::vector<Arrival> listFifteenPages(NcbiWorld& world, const std::vector<std::string>& environment)
{
    world.setSetting("SearchCacheMinutes", 0u);
    world.setSetting("RecordCacheHours", 0u);
    EXPECT_EQ(failedJobsTogether(15, 8,
                                 [&environment](int page) {
                                     return runNcbi("ncbi://entrez/pubmed/citation/?start=" +
                                                        std::to_string(page % 5) +
                                                        "&page=" + std::to_string(1 + page / 5) +
                                                        "&query=biopython",
                                                    environment)
                                                .exitCode == 0;
                                 }),
              0);
    return world.standIn().arrivals();
}

TEST(RateLimit, threeASecondWithoutAKey)
{
    NcbiWorld world;
    const std::vector<Arrival> arrivals = listFifteenPages(world, {});
    ASSERT_EQ(arrivals.size(), 30u);
    EXPECT_EQ(busiestSecond(arrivals), 3u);
}

TEST(RateLimit, tenASecondWithTheUsersKey)
{
    NcbiWorld world;
    const std::vector<Arrival> arrivals = listFifteenPages(world, {"NCBI_API_KEY=abc123"});
    ASSERT_EQ(arrivals.size(), 30u);
    EXPECT_LE(busiestSecond(arrivals), 10u);
    for (const Arrival& arrival : arrivals)
        EXPECT_NE(arrival.request.find("&api_key=abc123"), std::string::npos);
}

// A damaged shared file: moments that are no numbers, infinite, far in the past and not yet come,
// and requests marked on their way that no process holds.
TEST(RateLimit, aDamagedFileStillLimitsAndStopsNoRequest)
{
    NcbiWorld world;
    timespec clock{};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    const double later = static_cast<double>(clock.tv_sec) + 50;
    const double damaged[] = {NAN,       1,   INFINITY, 0, -1e300, 1, 1e300, 0, later, 1, later, 0,
                              -INFINITY, NAN, 0,        1, 7,      7, later, 1, later};
    std::filesystem::create_directories(world.cacheFolder());
    std::ofstream(world.cacheFolder() + "/ncbi-requests", std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged), sizeof damaged);
    const std::vector<Arrival> arrivals = listFifteenPages(world, {"NCBI_API_KEY=abc123"});
    ASSERT_EQ(arrivals.size(), 30u);
    EXPECT_LE(busiestSecond(arrivals), 10u);
}

TEST(RateLimit, aFileThatCannotBeUsedLimitsEachProcessAlone)
{
    NcbiWorld world;
    std::filesystem::create_directories(world.cacheFolder() + "/ncbi-requests");
    const ProcessResult result =
        runNcbi("ncbi://entrez/pubmed/citation/?start=0&page=5&query=biopython");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(world.standIn().arrivals().size(), 2u);
}

// The panel kills a handler the user no longer waits for. Three of them, each with its request
// on its way to a stand-in that answers only after ten minutes, hold every place of the budget;
// once they are killed the next handler goes at once instead of waiting for their answers.
TEST(RateLimit, aKilledHandlerGivesItsPlaceBack)
{
    NcbiWorld world;
    world.setSetting("SearchCacheMinutes", 0u);
    world.standIn().plan({"slow 600", "slow 600", "slow 600"});
    std::vector<std::unique_ptr<MolbTest::Child>> stuck;
    for (int i = 0; i < kSlotsWithoutKey; ++i)
        stuck.push_back(std::make_unique<MolbTest::Child>(
            handlerPath(),
            std::vector<std::string>{"ncbi://entrez/pubmed/citation/?start=" + std::to_string(i) +
                                     "&page=5&query=biopython"}));
    for (int i = 0; i < 1000 && world.standIn().arrivals().size() < stuck.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(world.standIn().arrivals().size(), stuck.size());
    for (const auto& child : stuck)
        child->kill();
    MolbTest::Child next(handlerPath(),
                         {"ncbi://entrez/pubmed/citation/?start=0&page=5&query=biopython"});
    const std::optional<int> exit = next.waitExit(std::chrono::seconds(60));
    ASSERT_TRUE(exit.has_value()) << "the next handler still waits for the killed ones' places";
    EXPECT_EQ(*exit, 0);
    EXPECT_EQ(world.standIn().arrivals().size(), stuck.size() + 2);
}

} // namespace
