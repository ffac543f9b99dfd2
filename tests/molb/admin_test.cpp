// molb-admin's commands and its answers to bad input.

#include "molb_harness.h"

#include <filesystem>
#include <tuple>

using namespace MolbTest;

namespace {

class Admin : public ::testing::Test
{
protected:
    DbscoutTest::TestEnv env;
    const std::string lab = adminTarget("lab");
};

TEST_F(Admin, initCreatesTheStoreInTheUsersDataFolderOnce)
{
    if (serverStore())
        GTEST_SKIP() << "a local store's file; the server's own case is in pg_admin_test";
    ProcessResult result = runAdmin({"init", "lab"});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(std::filesystem::exists(storeFolder() + "/lab.sqlite"));
    EXPECT_EQ(runSql("lab", "PRAGMA journal_mode"), "wal\n");
    result = runAdmin({"init", "lab"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("exists already"), std::string::npos) << result.errors;
}

TEST_F(Admin, badArgumentsGetAMessageAndANonZeroExit)
{
    makeStore("lab");
    const std::string missing =
        serverStore() ? "There is no database \"missing\" on " + serverAddress().host +
                            " (create it with molb-admin init and the same connection string)."
                      : "There is no database \"missing\" on this computer (create it with "
                        "molb-admin init missing).";
    using Case = std::tuple<std::vector<std::string>, const char*, int, std::string>;
    for (const auto& [arguments, input, exitCode, message] : {
             Case{{"init"}, "", 2, "usage: molb-admin init DB"},
             Case{{"init", "../escape"}, "", 1, "The database name \"../escape\" is not valid."},
             Case{{"import", adminTarget("missing"), "/dev/null"}, "", 1, missing},
             Case{{"import", lab, "/nonexistent/file.gb"},
                  "",
                  1,
                  "Cannot open /nonexistent/file.gb"},
             Case{{"user", "remove", lab, "x"}, "", 2, "the user command is \"user add\""},
             Case{{"user", "add", lab, "ann"},
                  "",
                  1,
                  "Give the password on the first line of standard input."},
             Case{{"user", "add", lab, "ann", "--group"}, "pw\n", 2, "--group needs a value"},
             Case{{"subset", "add", lab, "s"},
                  "",
                  1,
                  "Give --kind or at least one object id for the subset."},
             Case{{"subset", "add", lab, "s", "--kind", "rna"}, "", 1, "Unknown kind \"rna\"."},
             Case{{"subset", "add", lab, "s", "12x"}, "", 1, "\"12x\" is not an object id."},
             Case{{"subset", "add", lab, "s", "999"}, "", 1, "There is no object 999."},
             Case{{"subset", "add", lab, "Main", "--kind", "dnarna"},
                  "",
                  1,
                  "\"MAIN\" is the reserved name of all objects."},
             Case{{"subset", "add", lab, "s", "--kind", "dnarna", "--mode", "rwx"},
                  "",
                  1,
                  "The mode \"rwx\" is not three of \"-\", \"r\" and \"w\" (owner, group, other)."},
             Case{{"generate", lab}, "", 2, "generate needs --count with a positive whole number"},
             Case{{"frobnicate", lab},
                  "",
                  2,
                  "unknown command or wrong number of arguments: frobnicate"},
         }) {
        const ProcessResult result = runAdmin(arguments, input);
        EXPECT_EQ(result.exitCode, exitCode) << arguments[0] << " " << result.errors;
        EXPECT_NE(result.errors.find(message), std::string::npos)
            << message << "\nwas: " << result.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(env.path() + "/data/escape.sqlite"));
}

TEST_F(Admin, usersAndSubsetsAreAddedOnceWithTheirGroupsAndMembers)
{
    makeStore("lab");
    ASSERT_EQ(
        runAdmin({"user", "add", lab, "ann", "--group", "bench", "--group", "qc"}, "pw\n").exitCode,
        0);
    ProcessResult result = runAdmin({"user", "add", lab, "ann"}, "other\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("A user \"ann\" exists already."), std::string::npos);
    EXPECT_EQ(runSql("lab", "SELECT primary_group FROM users"), "bench\n");
    EXPECT_EQ(runSql("lab", "SELECT group_name FROM group_members ORDER BY 1"), "bench\nqc\n");

    const std::string a = saveObject("lab", "dnarna", "a", "A", "&user=ann&pass=pw");
    const std::string b = saveObject("lab", "dnarna", "b", "B", "&user=ann&pass=pw");
    const std::string p = saveObject("lab", "protein", "p", "P", "&user=ann&pass=pw");
    ASSERT_EQ(runAdmin({"subset", "add", lab, "pair", "--owner", "ann", b, a, b}).exitCode, 0);
    result = runAdmin({"subset", "add", lab, "mixed", a, p});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("Object " + p + " is a protein object, not dnarna."),
              std::string::npos);
    const Dbscout::ResultPage page = parseResultPage(
        runHandler(storeUrl("lab/dnarna/?start=0&page=9&query=pair&user=ann&pass=pw")).output);
    ASSERT_EQ(page.rows.size(), 2u); // b once, then a
    EXPECT_EQ(page.rows[0].name, "b");
    EXPECT_EQ(page.rows[1].name, "a");
    EXPECT_EQ(page.caption.mode, "wrr");
    EXPECT_EQ(runSql("lab", "SELECT owner, grp FROM subsets WHERE name = 'pair'"), "ann|bench\n");
    // The failed subset left nothing behind.
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM subsets"), "1\n");
}

} // namespace
