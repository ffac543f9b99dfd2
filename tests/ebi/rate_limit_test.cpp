// Each service's rate limit holds across every handler process of the user at once, measured
// where the requests arrive (the stand-in): 8 processes, 24 listings in all, the cache off.

#include "ebi_harness.h"

using namespace EbiTest;

namespace {

TEST(EbiRateLimit, severalHandlerProcessesKeepEachServicesLimitTogether)
{
    for (const std::string& base :
         {std::string("ebi://uniprotkb/protein/"), std::string("ebi://ena/dnarna/")}) {
        EbiWorld world;
        world.setSetting("RequestsPerSecond", 4u);
        world.setSetting("SearchCacheMinutes", 0u);
        EXPECT_EQ(failedJobsTogether(
                      24, 8,
                      [&base](int page) {
                          return runEbi(listingOf(base, "synthetic", page, 5)).exitCode == 0;
                      }),
                  0)
            << base;
        const std::vector<Arrival> arrivals = world.standIn().arrivals();
        EXPECT_GE(arrivals.size(), 24u) << base;
        EXPECT_LE(busiestSecond(arrivals), 4u) << base;
    }
}

} // namespace
