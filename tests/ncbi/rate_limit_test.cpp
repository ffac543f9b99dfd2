// NCBI's rate limit holds across every handler process of the user at once: 8 processes, 30
// requests in all, measured where they arrive (the stand-in), never more than 3 in any one second
// without an API key, never more than 10 with one.

#include "ncbi_harness.h"

#include <algorithm>
#include <atomic>
#include <thread>

using namespace NcbiTest;

namespace {

// 15 listings (a search and a summary each, the cache turned off) by 8 processes at a time.
std::vector<Arrival> listFifteenPages(NcbiWorld& world, const std::vector<std::string>& environment)
{
    world.setSetting("SearchCacheMinutes", 0u);
    world.setSetting("RecordCacheHours", 0u);
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int worker = 0; worker < 8; ++worker) {
        workers.emplace_back([&] {
            for (int page = next++; page < 15; page = next++) {
                const ProcessResult result =
                    runNcbi("ncbi://entrez/pubmed/citation/?start=" + std::to_string(page % 5) +
                                "&page=" + std::to_string(1 + page / 5) + "&query=biopython",
                            environment);
                failures += result.exitCode != 0;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(failures, 0);
    return world.standIn().arrivals();
}

// The most requests that arrived within any one second.
size_t busiestSecond(std::vector<Arrival> arrivals)
{
    std::sort(arrivals.begin(), arrivals.end(),
              [](const Arrival& a, const Arrival& b) { return a.seconds < b.seconds; });
    size_t most = 0;
    for (size_t first = 0; first < arrivals.size(); ++first) {
        size_t last = first;
        while (last + 1 < arrivals.size() &&
               arrivals[last + 1].seconds - arrivals[first].seconds < 1.0)
            ++last;
        most = std::max(most, last - first + 1);
    }
    return most;
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

} // namespace
