// Cutting a PubMed search into PMID ranges of at most 9,999 records, in-process, against searches
// whose PMIDs the test holds: every rank lands in the range that holds it, consecutive pages meet,
// and a far page costs one count per level of the range tree.

#include "pubmed_slices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

using namespace Dbscout::Ncbi;

namespace {

// A search as NCBI holds it: its PMIDs, counted by range, each count one request.
class Search
{
public:
    explicit Search(std::vector<std::uint64_t> pmids) : m_pmids(std::move(pmids))
    {
        std::sort(m_pmids.begin(), m_pmids.end());
        m_pmids.erase(std::unique(m_pmids.begin(), m_pmids.end()), m_pmids.end());
    }

    std::int64_t total() const { return static_cast<std::int64_t>(m_pmids.size()); }
    std::uint64_t newest() const { return m_pmids.back(); }
    int requests = 0;

    std::int64_t countIn(const PmidRange& range) const
    {
        return std::upper_bound(m_pmids.begin(), m_pmids.end(), range.last) -
               std::lower_bound(m_pmids.begin(), m_pmids.end(), range.first);
    }
    // The PMID at rank, newest first.
    std::uint64_t atRank(std::int64_t rank) const { return m_pmids[m_pmids.size() - 1 - rank]; }

    RangeCounter counter()
    {
        return [this](const PmidRange& range, std::int64_t& count) {
            ++requests;
            count = countIn(range);
            return Status::pass();
        };
    }

private:
    std::vector<std::uint64_t> m_pmids;
};

std::vector<std::uint64_t> spread(size_t count, std::uint64_t first, std::uint64_t step)
{
    std::vector<std::uint64_t> pmids;
    for (size_t i = 0; i < count; ++i)
        pmids.push_back(first + i * step);
    return pmids;
}

std::vector<std::uint64_t> randomPmids(size_t count, std::uint64_t below, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::vector<std::uint64_t> pmids;
    for (size_t i = 0; i < count; ++i)
        pmids.push_back(1 + random() % below);
    return pmids;
}

// The slices of [start, start + length) hold exactly those ranks, in order, each at most 9,999
// records, each rank in the range that holds its PMID.
void expectSlicesHold(Search& search, std::int64_t start, std::int64_t length)
{
    std::vector<Slice> slices;
    ASSERT_TRUE(
        findSlices(search.total(), search.newest(), start, length, search.counter(), slices).ok());
    const std::int64_t end = std::max(start, std::min(search.total(), start + length));
    std::int64_t rank = start;
    for (const Slice& slice : slices) {
        EXPECT_LE(slice.count, kPubmedListMost);
        EXPECT_EQ(slice.count, search.countIn(slice.range)) << rank;
        EXPECT_EQ(slice.ranksBefore, search.countIn({slice.range.last + 1, kTopPmid})) << rank;
        EXPECT_LE(slice.ranksBefore, rank);
        for (; rank < end && rank < slice.ranksBefore + slice.count; ++rank) {
            const std::uint64_t pmid = search.atRank(rank);
            EXPECT_TRUE(slice.range.first <= pmid && pmid <= slice.range.last) << rank;
        }
    }
    EXPECT_EQ(rank, end) << "ranks " << start << " to " << end << " not all held";
}

TEST(PubmedSlices, everyPageIsHeldByTheRangesOfItsRanks)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint64_t> pmids;
    };
    std::vector<std::uint64_t> clustered = spread(30000, 20000000, 1); // one dense band
    const std::vector<std::uint64_t> scattered = randomPmids(20000, 38000000, 7);
    clustered.insert(clustered.end(), scattered.begin(), scattered.end());
    for (const Case& c : std::vector<Case>{
             {"a million, evenly", spread(1000000, 5, 37)},
             {"just over the limit", spread(10000, 1, 3000)},
             {"scattered", randomPmids(250000, 38000000, 1)},
             {"a dense band among scattered ones", clustered},
         }) {
        Search search(c.pmids);
        const std::int64_t total = search.total();
        for (const std::int64_t start :
             {std::int64_t{0}, std::int64_t{9980}, total / 2, total - 100, total - 1}) {
            SCOPED_TRACE(std::string(c.name) + ", start " + std::to_string(start));
            expectSlicesHold(search, start, 100);
        }
        // Next and Previous: consecutive pages meet, whatever page size.
        expectSlicesHold(search, 9950, 120);
        expectSlicesHold(search, 10070, 120);
    }
}

// A far page costs one count per level of the tree over the PMIDs (26 levels hold every PMID
// below 2^26); the neighbouring page shares the path, so a cache of the counts answers it.
TEST(PubmedSlices, aFarPageCostsOneCountPerLevel)
{
    Search search(spread(1000000, 5, 37));
    const int levels = std::bit_width(search.newest());
    std::vector<Slice> slices;
    ASSERT_TRUE(
        findSlices(search.total(), search.newest(), 500000, 100, search.counter(), slices).ok());
    EXPECT_LE(search.requests, levels);
    EXPECT_LE(search.requests, 38); // with the search and the summaries: 40 at most, cold
    // Counts that move between requests (records added meanwhile) end the search, never loop.
    int calls = 0;
    const RangeCounter moving = [&](const PmidRange&, std::int64_t& count) {
        count = ++calls % 2 ? 0 : 5000000;
        return Status::pass();
    };
    ASSERT_TRUE(findSlices(search.total(), search.newest(), 999000, 1000, moving, slices).ok());
    EXPECT_LE(calls, 2 * levels);
}

} // namespace
