// Listings served by a real handler process and read with the component's result page parser.

#include "molb_harness.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace MolbTest;

namespace {

std::string fasta(const std::string& name, const std::string& description,
                  const std::string& sequence)
{
    return ">" + name + " " + description + "\n" + sequence + "\n";
}

class HandlerListing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createDatabase("lab");
        // Twelve sequences; every third one mentions kinase.
        for (int i = 0; i < 12; ++i) {
            const std::string name = "seq" + std::to_string(i);
            ids.push_back(saveObject("lab", "dnarna", name,
                                     fasta(name, i % 3 == 0 ? "tyrosine kinase gene" : "other gene",
                                           std::string(10 + i, 'A'))));
        }
        ASSERT_EQ(runAdmin({"subset", "add", adminTarget("lab"), "odd", "--mode", "wr-", ids[1],
                            ids[3], ids[5]})
                      .exitCode,
                  0);
        ASSERT_EQ(
            runAdmin({"subset", "add", adminTarget("lab"), "readonly", "--mode", "rrr", ids[0]})
                .exitCode,
            0);
    }

    Dbscout::ResultPage list(const std::string& parameters)
    {
        const ProcessResult result = runHandler(storeUrl("lab/dnarna/?") + parameters);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        return parseResultPage(result.output);
    }

    DbscoutTest::TestEnv env;
    std::vector<std::string> ids;
};

TEST_F(HandlerListing, mainListsEveryObjectWithTheKindsColumns)
{
    const Dbscout::ResultPage page = list("start=0&page=5&query=MAIN");
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.versionMajor, 3);
    EXPECT_EQ(page.versionMinor, 0);
    EXPECT_EQ(page.title, "dnarna");
    EXPECT_EQ(page.caption.name, "MAIN");
    EXPECT_EQ(page.columns, (std::vector<std::string>{"Name", "Accession", "Length", "Topology",
                                                      "Organism", "Description", "Modified"}));
    ASSERT_EQ(page.rows.size(), 5u);
    EXPECT_EQ(page.rows[0].name, "seq0");
    EXPECT_EQ(page.rows[0].id, ids[0]);
    EXPECT_EQ(page.rows[0].cells[1], "10"); // the length read from the FASTA record
    EXPECT_EQ(page.rows[0].cells[4], "tyrosine kinase gene");
    EXPECT_TRUE(page.rows[0].readable);
    EXPECT_TRUE(page.rows[0].writable);
    EXPECT_EQ(page.rows[0].checkoutBy, "");
    EXPECT_EQ(page.rows[0].mode, "wrr");
    EXPECT_EQ(page.totalFound, 12);
    EXPECT_EQ(page.pageSize, 5);
    EXPECT_EQ(page.firstNumber, 1);
}

TEST_F(HandlerListing, pagesFollowEachOtherAndEndEmpty)
{
    struct Case
    {
        const char* parameters;
        size_t rows;
        int firstNumber;
        const char* firstName;
    };
    const Case cases[] = {
        {"start=5&page=5&query=MAIN", 5, 6, "seq5"}, {"start=10&page=5&query=MAIN", 2, 11, "seq10"},
        {"start=12&page=5&query=MAIN", 0, 0, ""},    {"start=999999&page=5&query=main", 0, 0, ""},
        {"start=0&page=100", 12, 1, "seq0"}, // an empty query lists MAIN
    };
    for (const Case& c : cases) {
        const Dbscout::ResultPage page = list(c.parameters);
        ASSERT_EQ(page.rows.size(), c.rows) << c.parameters;
        EXPECT_EQ(page.totalFound, 12) << c.parameters;
        EXPECT_EQ(page.firstNumber, c.firstNumber) << c.parameters;
        if (c.rows > 0) {
            EXPECT_EQ(page.rows[0].name, c.firstName) << c.parameters;
        }
    }
}

TEST_F(HandlerListing, aSubsetListsItsMembersInOrderUnderItsCaption)
{
    const Dbscout::ResultPage page = list("start=0&page=2&query=odd");
    EXPECT_EQ(page.caption.name, "odd");
    EXPECT_EQ(page.caption.mode, "wr-");
    EXPECT_EQ(page.totalFound, 3);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].name, "seq1");
    EXPECT_EQ(page.rows[1].name, "seq3");
    const Dbscout::ResultPage second = list("start=2&page=2&query=odd");
    ASSERT_EQ(second.rows.size(), 1u);
    EXPECT_EQ(second.rows[0].name, "seq5");
    EXPECT_EQ(second.firstNumber, 3);
}

TEST_F(HandlerListing, theDirectoryListsMainAndTheSubsets)
{
    const Dbscout::ResultPage page = list("start=0&page=1&query=MAIN");
    ASSERT_EQ(page.subsets.size(), 3u);
    EXPECT_EQ(page.subsets[0].name, "MAIN");
    EXPECT_EQ(page.subsets[1].name, "odd");
    EXPECT_EQ(page.subsets[2].name, "readonly");
}

TEST_F(HandlerListing, subsetNamesAloneMakeACompletePage)
{
    for (const std::string& url : {storeUrl("lab/dnarna/"), storeUrl("lab/dnarna/?writable=yes")}) {
        const ProcessResult result = runHandler(url);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.status, "OK") << url;
        EXPECT_TRUE(page.rows.empty()) << url;
        EXPECT_EQ(page.totalFound, 0) << url;
        EXPECT_GE(page.subsets.size(), 2u) << url;
    }
}

TEST_F(HandlerListing, searchesMatchWordsAndFiltersWithAnEmptyCaption)
{
    struct Case
    {
        const char* query;
        int found;
    };
    const Case cases[] = {
        {"kinase", 4},
        {"KINASE%20tyrosine", 4},
        {"kinase%20length%3e15", 2}, // seq6 and seq9
        {"length%3c12", 2},
        {"description:other", 8},
        {"name:seq1", 3}, // seq1, seq10, seq11
        {"nothing", 0},
        {"%22kinase%20gene%22", 4}, // a phrase
        {"%25%25", 0},              // no word characters at all
    };
    for (const Case& c : cases) {
        const Dbscout::ResultPage page = list(std::string("start=0&page=50&query=") + c.query);
        EXPECT_EQ(page.totalFound, c.found) << c.query;
        EXPECT_EQ(static_cast<int>(page.rows.size()), c.found) << c.query;
        EXPECT_EQ(page.caption.name, "") << c.query;
    }
}

TEST_F(HandlerListing, searchResultsPageLikeAnyListing)
{
    const Dbscout::ResultPage first = list("start=0&page=3&query=gene");
    const Dbscout::ResultPage second = list("start=3&page=3&query=gene");
    EXPECT_EQ(first.totalFound, 12);
    ASSERT_EQ(first.rows.size(), 3u);
    ASSERT_EQ(second.rows.size(), 3u);
    EXPECT_EQ(second.firstNumber, 4);
    EXPECT_NE(first.rows[2].id, second.rows[0].id);
}

TEST_F(HandlerListing, idsSurviveThePanelsEscapingAndHoldNoComma)
{
    const Dbscout::ResultPage page = list("start=0&page=50&query=MAIN");
    for (const Dbscout::ResultRow& row : page.rows) {
        EXPECT_FALSE(row.id.empty());
        EXPECT_EQ(row.id.find_first_not_of("0123456789:ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopq"
                                           "rstuvwxyz"),
                  std::string::npos)
            << row.id;
    }
}

TEST_F(HandlerListing, otherKindsHaveTheirOwnTitleAndColumns)
{
    struct Case
    {
        const char* kind;
        std::vector<std::string> columns;
    };
    const Case cases[] = {
        {"protein", {"Name", "Accession", "Length", "Organism", "Description", "Modified"}},
        {"citation", {"Name", "Authors", "Title", "Journal", "Year", "PMID"}},
        {"blast", {"Name", "Program", "Query", "Database", "Hits", "Date"}},
        {"analysis", {"Name", "Type", "Source", "Created"}},
    };
    for (const Case& c : cases) {
        const ProcessResult result =
            runHandler(std::string(storeUrl("lab/")) + c.kind + "/?start=0&page=10&query=kinase");
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.title, c.kind);
        EXPECT_EQ(page.columns, c.columns) << c.kind;
        // The twelve objects are DNA: no other kind's listing or search finds them.
        EXPECT_TRUE(page.rows.empty()) << c.kind;
        EXPECT_EQ(page.totalFound, 0) << c.kind;
    }
}

} // namespace
