// ncbi-handler paging large searches from the E-utilities stand-in: a PubMed search of a million
// records at starts near, at and far past NCBI's 9,999-record limit, each page NCBI's rows in
// NCBI's order and each meeting the next without gap or overlap; a search set NCBI has forgotten;
// a nucleotide search paged from its History set. The stand-in is NCBI's truth: the tests ask it
// how many records lie above and within a page's PMIDs. Requests carry an API key, which lets the
// rate limit pass ten a second as NCBI allows with one.

#include "ncbi_harness.h"

#include <charconv>

using namespace NcbiTest;
using MolbTest::parseResultPage;

namespace {

const std::vector<std::string> kWithKey{"NCBI_API_KEY=paging"};
constexpr int kPage = 100;

Dbscout::ResultPage listPage(const std::string& database, const std::string& query,
                             std::int64_t start)
{
    const ProcessResult result =
        runNcbi(listingOf("ncbi://entrez/" + database + "/", query, start, kPage), kWithKey);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return parseResultPage(result.output);
}

std::uint64_t pmidOf(const Dbscout::ResultRow& row)
{
    std::uint64_t pmid = 0;
    std::from_chars(row.id.data(), row.id.data() + row.id.size(), pmid);
    return pmid;
}

// The page holds the records NCBI ranks start, start + 1, ...: newest first, exactly start
// records above its first, and none between its rows that it does not show.
void expectNcbisRows(const EutilsStandIn& standIn, const std::string& term,
                     const Dbscout::ResultPage& page, std::int64_t start, std::int64_t total)
{
    ASSERT_EQ(static_cast<std::int64_t>(page.rows.size()),
              std::min<std::int64_t>(kPage, total - start));
    EXPECT_EQ(page.totalFound, total);
    EXPECT_EQ(page.firstNumber, start + 1);
    for (size_t i = 1; i < page.rows.size(); ++i)
        EXPECT_GT(pmidOf(page.rows[i - 1]), pmidOf(page.rows[i])) << "row " << i;
    const std::string first = std::to_string(pmidOf(page.rows.front()));
    const std::string last = std::to_string(pmidOf(page.rows.back()));
    EXPECT_EQ(standIn.count("pubmed", "(" + term + ") AND " +
                                          std::to_string(pmidOf(page.rows.front()) + 1) +
                                          ":999999999[uid]"),
              start);
    EXPECT_EQ(standIn.count("pubmed", "(" + term + ") AND " + last + ":" + first + "[uid]"),
              static_cast<std::int64_t>(page.rows.size()));
}

TEST(NcbiPaging, largePubmedSearchesPageInNcbisOrderAtEveryStart)
{
    NcbiWorld world;
    EutilsStandIn& standIn = world.standIn();
    struct Case
    {
        std::string term;
        std::vector<std::int64_t> starts; // the last page's is added
    };
    for (const Case& c : std::vector<Case>{{"cancer", {0, 9980, 500000}}, {"zebrafish", {9950}}}) {
        const std::int64_t total = standIn.count("pubmed", c.term);
        ASSERT_GT(total, 9999) << c.term;
        std::vector<std::int64_t> starts = c.starts;
        starts.push_back((total - 1) / kPage * kPage);
        for (const std::int64_t start : starts) {
            SCOPED_TRACE(c.term + " from " + std::to_string(start));
            size_t before = standIn.requests();
            expectNcbisRows(standIn, c.term, listPage("pubmed", c.term, start), start, total);
            EXPECT_LE(standIn.requests() - before, 40u); // cold
            before = standIn.requests();
            listPage("pubmed", c.term, start);
            EXPECT_EQ(standIn.requests() - before, 0u); // warm: every answer kept
            // Next page: it begins with the rank after this page's last, at little cost.
            if (start + kPage < total) {
                before = standIn.requests();
                expectNcbisRows(standIn, c.term, listPage("pubmed", c.term, start + kPage),
                                start + kPage, total);
                EXPECT_LE(standIn.requests() - before, 3u);
            }
        }
        // Past the end: no rows, the count still exact.
        const Dbscout::ResultPage past = listPage("pubmed", c.term, total);
        EXPECT_TRUE(past.rows.empty());
        EXPECT_EQ(past.totalFound, total);
        EXPECT_EQ(past.firstNumber, 0);
    }
}

// NCBI forgets a search set after a while (its WebEnv expires): the page is still served, by a new
// search of its part, without a word to the user.
TEST(NcbiPaging, aForgottenSearchSetIsSearchedAgainUnseen)
{
    NcbiWorld world;
    EutilsStandIn& standIn = world.standIn();
    const std::int64_t total = standIn.count("pubmed", "cancer");
    listPage("pubmed", "cancer", 500000);
    standIn.plan({"forget-history"});
    size_t before = standIn.requests();
    expectNcbisRows(standIn, "cancer", listPage("pubmed", "cancer", 500100), 500100, total);
    EXPECT_EQ(standIn.requests() - before, 3u); // the forgotten set, its search, its summaries
    before = standIn.requests();
    expectNcbisRows(standIn, "cancer", listPage("pubmed", "cancer", 500200), 500200, total);
    EXPECT_EQ(standIn.requests() - before, 1u); // the new set serves the next page
}

// Nucleotide pages freely by position (NCBI's limit is PubMed's): one search, then one summary a
// page from the search's set, rows named by accession.version as NCBI ranks them.
TEST(NcbiPaging, aNucleotideSearchPagesFromItsSearchSet)
{
    NcbiWorld world;
    EutilsStandIn& standIn = world.standIn();
    for (const std::int64_t start : {1500, 1600}) {
        const size_t before = standIn.requests();
        const Dbscout::ResultPage page = listPage("nucleotide", "synthetic", start);
        EXPECT_EQ(standIn.requests() - before, start == 1500 ? 2u : 1u);
        EXPECT_EQ(page.totalFound, standIn.count("nucleotide", "synthetic"));
        EXPECT_EQ(idsOf(page), standIn.ids("nucleotide", "synthetic", start, kPage));
    }
}

// A search too large to list at once is paged by adding PMID ranges to it: text that would
// capture them is refused, naming what is open, rather than searched wrongly; a range NCBI will
// not count is no empty range.
TEST(NcbiPaging, rangesAreAddedOutsideTheUsersTextAndCountedOrNothing)
{
    NcbiWorld world;
    const ProcessResult result =
        runNcbi(listingOf("ncbi://entrez/pubmed/", "\"cancer", 0, kPage), kWithKey);
    EXPECT_EQ(result.exitCode, 1);
    const Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.status, "ERROR");
    EXPECT_EQ(page.message,
              "The query \"\"cancer\" leaves a quoted phrase open: close it with '\"' "
              "or remove the '\"', so that the search can be paged past the 9,999 "
              "records NCBI lists of it at once.");
    EXPECT_EQ(world.standIn().requests(), 1u); // the count, and nothing cut
    // A range NCBI refuses to count fails the page instead of counting as empty.
    world.standIn().plan({"", "error"});
    const ProcessResult refused =
        runNcbi(listingOf("ncbi://entrez/pubmed/", "cancer", 500000, kPage), kWithKey);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(parseResultPage(refused.output)
                    .message.starts_with("NCBI PubMed could not count the records of PMIDs "))
        << refused.output;
}

} // namespace
