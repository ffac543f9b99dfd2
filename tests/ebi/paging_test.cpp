// Every page of a search, as the panel asks for it: any start, Next, Previous and Go to give
// exactly the service's rows, without gap or overlap, for UniProt's cursor paging and ENA's
// offsets; and what a far UniProt page costs, cold and warm, counted where requests arrive.

#include "ebi_harness.h"

using namespace EbiTest;
using MolbTest::parseResultPage;

namespace {

// The synthetic family both stand-ins hold: 60,000 records behind the real ones.
const std::string kUniProtQuery = "synthetic OR human";
const std::string kEnaQuery = "mol_type=\"mRNA\"";

std::vector<std::string> pageIds(const std::string& url, std::int64_t& total, int& first)
{
    const ProcessResult result = runEbi(url);
    EXPECT_EQ(result.exitCode, 0) << url << "\n" << result.output;
    const Dbscout::ResultPage page = parseResultPage(result.output);
    total = page.totalFound;
    first = page.firstNumber;
    return idsOf(page);
}

TEST(EbiPaging, anyStartGivesTheServicesRowsWithoutGapOrOverlap)
{
    EbiWorld world;
    struct Case
    {
        std::string base;
        std::string source;
        std::string query;
        std::int64_t start;
        int page;
    };
    const std::string uniprot = "ebi://uniprotkb/protein/";
    const std::string ena = "ebi://ena/dnarna/";
    // Go to far pages first (cold), then their neighbours; pages that straddle UniProt's
    // 500-row blocks; the last rows and past the end.
    for (const Case& c : std::vector<Case>{
             {uniprot, "uniprot", kUniProtQuery, 10000, 100},
             {uniprot, "uniprot", kUniProtQuery, 9900, 100},
             {uniprot, "uniprot", kUniProtQuery, 10450, 100},
             {uniprot, "uniprot", kUniProtQuery, 499, 2},
             {uniprot, "uniprot", kUniProtQuery, 1, 500},
             {uniprot, "uniprot", kUniProtQuery, 59990, 100},
             {uniprot, "uniprot", kUniProtQuery, 60500, 100},
             {ena, "ena", kEnaQuery, 0, 7},
             {ena, "ena", kEnaQuery, 30001, 250},
             {ena, "ena", kEnaQuery, 59999, 100},
         }) {
        std::int64_t total = 0;
        int first = 0;
        const std::vector<std::string> ids =
            pageIds(listingOf(c.base, c.query, c.start, c.page), total, first);
        const Truth truth = world.standIn().truth(c.source, c.query, c.start, c.page);
        EXPECT_EQ(total, truth.total) << c.start;
        EXPECT_EQ(ids, truth.ids) << c.source << " at " << c.start;
        EXPECT_EQ(first, ids.empty() ? 0 : c.start + 1);
    }
    // Next, Next, Next from the first page: each row once, in order.
    for (const auto& [base, source, query] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {uniprot, "uniprot", kUniProtQuery}, {ena, "ena", kEnaQuery}}) {
        std::vector<std::string> walked;
        std::int64_t total = 0;
        int first = 0;
        for (std::int64_t start = 0; start < 1200; start += 300) {
            const std::vector<std::string> ids =
                pageIds(listingOf(base, query, start, 300), total, first);
            walked.insert(walked.end(), ids.begin(), ids.end());
        }
        EXPECT_EQ(walked, world.standIn().truth(source, query, 0, 1200).ids) << source;
    }
}

TEST(EbiPaging, aFarUniProtPageWalksOnceAndIsFreeWarm)
{
    EbiWorld world;
    const std::string uniprot = "ebi://uniprotkb/protein/";
    struct Step
    {
        std::int64_t start;
        int page;
        size_t requests; // that reach UniProt
    };
    std::int64_t total = 0;
    int first = 0;
    for (const Step& step : std::vector<Step>{
             // Cold: 20 blocks walked with the accession alone, then the page's block whole.
             {10000, 100, 21},
             {10000, 100, 0},  // warm: the cache answers
             {10100, 100, 0},  // Next within the same block
             {10400, 200, 1},  // a page into the next block: its cursor came with the last
             {9900, 100, 1},   // Previous: the walk kept every cursor it met
             {20000, 100, 19}, // further on: walked from the furthest cursor known (11,000)
         }) {
        const size_t before = world.standIn().requests();
        pageIds(listingOf(uniprot, kUniProtQuery, step.start, step.page), total, first);
        EXPECT_EQ(world.standIn().requests() - before, step.requests) << step.start;
    }
    // The walk asks for the fewest fields and the largest page.
    const std::vector<Arrival> arrivals = world.standIn().arrivals();
    EXPECT_NE(arrivals[1].request.find("fields=accession&size=500&cursor="), std::string::npos)
        << arrivals[1].request;
}

} // namespace
