// Listings on the server beyond what both stores share. Searches for words alone are counted and
// paged from the store's word tables, which triggers keep: they must find what the full-text index
// finds (the same words with a filter that passes every object go that way), for the owner and for
// every user, after every kind of change to the objects. Subset names come with the session where
// a store has few, and by kind where it has many.

#include "molb_harness.h"

#include "pg/pg_schema_v1.sql.h"
#include "pg/pg_schema_v2.sql.h"

using namespace MolbTest;

namespace {

// Every object's words and their counts, as the objects imply them, against the tables: "0|0|0"
// when nothing is missing, nothing is left over, and no count change waits to be added up.
constexpr const char* kWordTablesDiffer = R"SQL(
WITH implied AS (SELECT o.kind, w.word, o.id, c.id AS class
                 FROM objects o JOIN rights_classes c USING (owner, grp, mode),
                      unnest(tsvector_to_array(o.words)) w(word)),
     kept AS (SELECT kind, word, id, class FROM object_words),
     counts AS (SELECT kind, word, class, count(*) AS n FROM implied GROUP BY 1, 2, 3)
SELECT (SELECT count(*) FROM ((TABLE implied EXCEPT ALL TABLE kept)
                              UNION ALL (TABLE kept EXCEPT ALL TABLE implied)) d),
       (SELECT count(*) FROM ((TABLE counts EXCEPT ALL TABLE word_counts)
                              UNION ALL (TABLE word_counts EXCEPT ALL TABLE counts)) d),
       (SELECT count(*) FROM word_count_changes))SQL";

// Words that are one whole word, several, phrases, words the server splits in two or repeats, a
// word of no letters it keeps, and words nothing has.
constexpr const char* kQueries[] = {
    "kinase",  "KINASE", "kinase%20tyrosine", "%22tyrosine%20kinase%22", "kinase-gene", "1e5abc",
    "abc-abc", "secret", "%E2%82%AC",         "%E2%82%AC%20kinase",      "renamed",     "zzz",
};

class ServerSearch : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        const std::vector<std::pair<std::string, std::string>> objects = {
            {"ann", "tyrosine kinase gene"}, {"ann", "secret kinase"},  {"bob", "kinase tyrosine"},
            {"bob", "1e5abc abc abc"},       {"eve", "kinase gene"},    {"eve", "other"},
            {"ann", "abc-abc 1e5 abc"},      {"bob", "tyrosine kinase"}};
        for (size_t i = 0; i < objects.size(); ++i)
            ids.push_back(saveAs(objects[i].first, "o" + std::to_string(i), objects[i].second));
        chmod(ids[1], "w--"); // ann's own
    }

    std::string saveAs(const std::string& user, const std::string& name,
                       const std::string& description, const std::string& extra = {})
    {
        return saveObject(store.database, "dnarna", name,
                          ">" + name + " " + description + "\nACGT\n", as(user) + extra);
    }

    // The ids of a search page, and its count, as user sees them ("": the store's owner).
    std::string search(const std::string& user, const std::string& query,
                       const std::string& paging = "start=0&page=100")
    {
        const std::string login =
            user.empty() ? "&user=" + serverAddress().admin + "&pass=" + serverAddress().password
                         : as(user);
        const ProcessResult result =
            runHandler(store.url("dnarna/?" + paging + "&query=" + query + login));
        EXPECT_EQ(result.exitCode, 0) << result.output;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        std::string found = std::to_string(page.totalFound) + ":";
        for (const Dbscout::ResultRow& row : page.rows)
            found += " " + row.id;
        return found;
    }

    // Every query, for every role, and a page from the middle, as the full-text index finds it;
    // and the word tables as the objects imply them.
    void expectSearchesAsTheIndex(const std::string& after)
    {
        for (const std::string user : {"", "ann", "bob", "eve"}) {
            for (const std::string query : kQueries) {
                // Every object was modified in this century.
                const std::string indexed = query + "%20modified:20";
                EXPECT_EQ(search(user, query), search(user, indexed))
                    << after << ": \"" << query << "\" as " << user;
                EXPECT_EQ(search(user, query, "start=1&page=2"),
                          search(user, indexed, "start=1&page=2"))
                    << after << ": \"" << query << "\" as " << user;
            }
        }
        EXPECT_EQ(runSql("lab", kWordTablesDiffer), "0|0|0\n") << after;
    }

    std::vector<std::string> ids;
};

TEST_F(ServerSearch, wordSearchesFindWhatTheIndexFindsAfterEveryChange)
{
    expectSearchesAsTheIndex("saved");
    EXPECT_EQ(search("ann", "kinase"),
              "5: " + ids[0] + " " + ids[1] + " " + ids[2] + " " + ids[4] + " " + ids[7]);
    EXPECT_EQ(search("eve", "kinase"), "4: " + ids[0] + " " + ids[2] + " " + ids[4] + " " + ids[7]);

    ASSERT_EQ(saveAs("ann", "o0", "now a phosphatase", "&force=yes"), ids[0]);
    expectSearchesAsTheIndex("saved over");
    ASSERT_EQ(operation("bob", ids[2], "command=ochmod&command=dir&objmode=w--").exitCode, 0);
    expectSearchesAsTheIndex("chmod");
    ASSERT_EQ(store.admin("chown", {ids[4], "ann:bench"}).exitCode, 0);
    expectSearchesAsTheIndex("chown");
    runSql("lab", "UPDATE objects SET name = 'renamed' WHERE id = " + ids[5]);
    expectSearchesAsTheIndex("renamed");
    runSql("lab", "DELETE FROM objects WHERE id = " + ids[7]);
    expectSearchesAsTheIndex("deleted");
    // One transaction that changes an object twice, and one that is undone.
    runSql("lab", "BEGIN; UPDATE objects SET description = 'kinase again' WHERE id = " + ids[3] +
                      "; UPDATE objects SET mode = 'w--', owner = 'eve' WHERE id = " + ids[3] +
                      "; COMMIT");
    runSql("lab",
           "BEGIN; UPDATE objects SET description = 'gone' WHERE id = " + ids[6] + "; ROLLBACK");
    expectSearchesAsTheIndex("changed twice, and undone");
    EXPECT_EQ(search("eve", "kinase"), "2: " + ids[3] + " " + ids[4]);
}

TEST_F(ServerSearch, usersReadNoWordTableAndTheSearchAnswersForTheRoleThatLoggedIn)
{
    for (const char* table : {"object_words", "word_counts", "rights_classes"}) {
        const ProcessResult read =
            runPsql("lab", std::string("SELECT * FROM ") + table, "eve", "eve-pw");
        EXPECT_NE(read.errors.find("permission denied"), std::string::npos) << table;
        EXPECT_EQ(read.output, "") << table;
    }
    const std::string secret = "SELECT total FROM molb_search(1, ARRAY['secret'], 0, 10)";
    EXPECT_EQ(runPsql("lab", secret, "eve", "eve-pw").output, "0\n");
    EXPECT_EQ(runPsql("lab", secret, "bob", "bob-pw").output, "0\n");
    EXPECT_EQ(runPsql("lab", secret, "ann", "ann-pw").output, "1\n");
}

// A store of the second schema keeps its objects' words from the step that brings it up to date.
TEST(ServerSearchMigration, objectsOfAnOlderStoreAreFoundOnceItIsUpToDate)
{
    const DbscoutTest::TestEnv env;
    runSql("postgres", "CREATE DATABASE old");
    runSql("old", std::string(Dbscout::Molb::kPgSchemaV1) + ";" + Dbscout::Molb::kPgSchemaV2 +
                      ";UPDATE molb_schema SET version = 2");
    runSql("old", "INSERT INTO objects(kind, name, created, modified, description, owner, mode) "
                  "VALUES (1, 'kept', 0, 0, 'an old kinase', 'ann', 'w--'), "
                  "(1, 'shared', 0, 0, 'kinase', 'ann', 'wrr')");
    const TestStore store{"old"};
    ASSERT_EQ(store.admin("user add", {"ann"}, "ann-pw\n").exitCode, 0);
    ASSERT_EQ(store.admin("user add", {"bob"}, "bob-pw\n").exitCode, 0);
    for (const auto& [user, found] : {std::pair{"ann", 2}, {"bob", 1}}) {
        const ProcessResult result =
            runHandler(store.url("dnarna/?start=0&page=5&query=kinase&user=" + std::string(user) +
                                 "&pass=" + user + "-pw"));
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.totalFound, found) << user;
        ASSERT_EQ(static_cast<int>(page.rows.size()), found) << user;
        EXPECT_EQ(page.rows.back().name, "shared") << user;
    }
    EXPECT_EQ(runSql("old", kWordTablesDiffer), "0|0|0\n");
}

TEST(ServerSubsets, aStoreWithMoreSubsetsThanTheSessionReadsListsEveryOneOfItsKind)
{
    const DbscoutTest::TestEnv env;
    const TestStore store = makeStore("lab");
    runSql("lab",
           "INSERT INTO subsets(kind, name) SELECT 1, 's' || lpad(g::text, 4, '0') "
           "FROM generate_series(1, 1001) g; INSERT INTO subsets(kind, name) VALUES (2, 'p')");
    for (const auto& [kind, count, last] :
         {std::tuple{"dnarna", 1002u, "s1001"}, {"protein", 2u, "p"}}) {
        const ProcessResult result = runHandler(store.url(std::string(kind) + "/"));
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        ASSERT_EQ(page.subsets.size(), count) << kind;
        EXPECT_EQ(page.subsets.front().name, "MAIN") << kind;
        EXPECT_EQ(page.subsets.back().name, last) << kind;
    }
}

} // namespace
