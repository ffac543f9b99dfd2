// Listings served by a real handler process and read with the component's result page parser.

#include "model/object_kind.h"
#include "molb_harness.h"

#include <tuple>

using namespace MolbTest;

namespace {

// The titles of a kind's columns, as the store's table of kinds gives them.
std::vector<std::string> columnTitles(Dbscout::Molb::Kind kind)
{
    std::vector<std::string> titles;
    for (const Dbscout::Molb::KindColumn& column : Dbscout::Molb::kindColumns(kind))
        titles.emplace_back(column.header);
    return titles;
}

class HandlerListing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Twelve sequences; every third one mentions kinase.
        for (int i = 0; i < 12; ++i) {
            const std::string name = "seq" + std::to_string(i);
            ids.push_back(saveObject("lab", "dnarna", name,
                                     ">" + name +
                                         (i % 3 ? " other gene\n" : " tyrosine kinase gene\n") +
                                         std::string(10 + i, 'A') + "\n"));
        }
        ASSERT_EQ(
            store.admin("subset add", {"odd", "--mode", "wr-", ids[1], ids[3], ids[5]}).exitCode,
            0);
        ASSERT_EQ(store.admin("subset add", {"readonly", "--mode", "rrr", ids[0]}).exitCode, 0);
    }

    Dbscout::ResultPage list(const std::string& parameters, const std::string& kind = "dnarna")
    {
        const ProcessResult result = runHandler(store.url(kind + "/?" + parameters));
        EXPECT_EQ(result.exitCode, 0) << result.output;
        return parseResultPage(result.output);
    }

    DbscoutTest::TestEnv env;
    TestStore store = makeStore("lab");
    std::vector<std::string> ids;
};

TEST_F(HandlerListing, mainListsEveryObjectWithTheKindsColumnsAndTheSubsets)
{
    const Dbscout::ResultPage page = list("start=0&page=50&query=MAIN");
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.title, "dnarna");
    EXPECT_EQ(page.caption.name, "MAIN");
    EXPECT_EQ(page.columns, columnTitles(Dbscout::Molb::Kind::DnaRna));
    ASSERT_EQ(page.rows.size(), 12u);
    EXPECT_EQ(page.rows[0].name, "seq0");
    EXPECT_EQ(page.rows[0].id, ids[0]);
    EXPECT_EQ(page.rows[0].cells[1], "10"); // the length read from the FASTA record
    EXPECT_EQ(page.rows[0].cells[4], "tyrosine kinase gene");
    EXPECT_TRUE(page.rows[0].readable && page.rows[0].writable);
    EXPECT_EQ(page.rows[0].checkoutBy, "");
    EXPECT_EQ(page.rows[0].mode, "wrr");
    EXPECT_EQ(page.totalFound, 12);
    EXPECT_EQ(page.firstNumber, 1);
    std::vector<std::string> subsets;
    for (const Dbscout::SubsetEntry& subset : page.subsets)
        subsets.push_back(subset.name);
    EXPECT_EQ(subsets, (std::vector<std::string>{"MAIN", "odd", "readonly"}));
}

TEST_F(HandlerListing, pagesOfListingsSubsetsAndSearchesFollowEachOtherAndEndEmpty)
{
    using Case = std::tuple<const char*, size_t, int, int, const char*, const char*>;
    for (const auto& [parameters, rows, found, first, firstName, caption] : {
             Case{"start=5&page=5&query=MAIN", 5, 12, 6, "seq5", "MAIN"},
             Case{"start=10&page=5&query=MAIN", 2, 12, 11, "seq10", "MAIN"},
             Case{"start=999999&page=5&query=main", 0, 12, 0, "", "MAIN"},
             Case{"start=0&page=100", 12, 12, 1, "seq0", "MAIN"}, // an empty query lists MAIN
             Case{"start=2&page=2&query=odd", 1, 3, 3, "seq5", "odd"},
             Case{"start=3&page=3&query=gene", 3, 12, 4, "seq3", ""},
         }) {
        const Dbscout::ResultPage page = list(parameters);
        ASSERT_EQ(page.rows.size(), rows) << parameters;
        EXPECT_EQ(page.totalFound, found) << parameters;
        EXPECT_EQ(page.firstNumber, first) << parameters;
        EXPECT_EQ(page.caption.name, caption) << parameters;
        if (rows > 0) {
            EXPECT_EQ(page.rows[0].name, firstName) << parameters;
        }
    }
    EXPECT_EQ(list("start=0&page=1&query=odd").caption.mode, "wr-");
}

TEST_F(HandlerListing, searchesMatchWordsAndFiltersWithAnEmptyCaption)
{
    for (const auto& [query, found] : std::vector<std::pair<const char*, int>>{
             {"kinase", 4},
             {"KINASE%20tyrosine", 4},
             {"kinase%20length%3e15", 2}, // seq6 and seq9
             {"description:other", 8},
             {"name:seq1", 3},           // seq1, seq10, seq11
             {"%22kinase%20gene%22", 4}, // a phrase
             {"%25%25", 0},              // no word characters at all
         }) {
        const Dbscout::ResultPage page = list(std::string("start=0&page=50&query=") + query);
        EXPECT_EQ(page.totalFound, found) << query;
        EXPECT_EQ(static_cast<int>(page.rows.size()), found) << query;
        EXPECT_EQ(page.caption.name, "") << query;
    }
    // Past the last match: the count still comes, with no rows.
    const Dbscout::ResultPage past = list("start=4&page=50&query=kinase");
    EXPECT_EQ(past.totalFound, 4);
    EXPECT_TRUE(past.rows.empty());
}

TEST_F(HandlerListing, otherKindsHaveTheirOwnTitleAndColumns)
{
    for (const auto& [kind, code] : std::vector<std::pair<std::string, Dbscout::Molb::Kind>>{
             {"protein", Dbscout::Molb::Kind::Protein},
             {"citation", Dbscout::Molb::Kind::Citation},
         }) {
        const Dbscout::ResultPage page = list("start=0&page=10&query=kinase", kind);
        EXPECT_EQ(page.title, kind);
        EXPECT_EQ(page.columns, columnTitles(code)) << kind;
        // The twelve objects are DNA: no other kind's listing or search finds them.
        EXPECT_TRUE(page.rows.empty()) << kind;
        EXPECT_EQ(page.totalFound, 0) << kind;
    }
}

} // namespace
