// Each service's rate limit holds across every handler process of the user at once, measured
// where the requests arrive (the stand-in): 8 processes, 24 listings in all, the cache off.

#include "ebi_harness.h"

#include <algorithm>
#include <atomic>
#include <thread>

using namespace EbiTest;

namespace {

// The most requests that arrived within any one second.
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

TEST(EbiRateLimit, severalHandlerProcessesKeepEachServicesLimitTogether)
{
    for (const std::string& base :
         {std::string("ebi://uniprotkb/protein/"), std::string("ebi://ena/dnarna/")}) {
        EbiWorld world;
        world.setSetting("RequestsPerSecond", 4u);
        world.setSetting("SearchCacheMinutes", 0u);
        std::atomic<int> next{0};
        std::atomic<int> failures{0};
        std::vector<std::thread> workers;
        for (int worker = 0; worker < 8; ++worker) {
            workers.emplace_back([&] {
                for (int page = next++; page < 24; page = next++)
                    failures += runEbi(listingOf(base, "synthetic", page, 5)).exitCode != 0;
            });
        }
        for (std::thread& worker : workers)
            worker.join();
        EXPECT_EQ(failures, 0) << base;
        const std::vector<Arrival> arrivals = world.standIn().arrivals();
        EXPECT_GE(arrivals.size(), 24u) << base;
        EXPECT_LE(busiestSecond(arrivals), 4u) << base;
    }
}

} // namespace
