// Users, groups and modes: who may list, read, write and see which subsets.

#include "molb_harness.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace MolbTest;

namespace {

class HandlerAccess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createDatabase("lab");
        ASSERT_EQ(runAdmin({"user", "add", lab, "ann", "--group", "bench"}, "ann-pw\n").exitCode,
                  0);
        ASSERT_EQ(runAdmin({"user", "add", lab, "bob", "--group", "bench"}, "bob-pw\n").exitCode,
                  0);
        ASSERT_EQ(runAdmin({"user", "add", lab, "eve"}, "eve-pw\n").exitCode, 0);
        annsId = save("ann", "ann-pw", "private", ">private\nACGT\n");
        runSql("lab", "UPDATE objects SET mode = 'wr-' WHERE id = " + annsId);
        ASSERT_EQ(
            runAdmin({"subset", "add", lab, "benchwork", "--mode", "ww-", "--owner", "ann", annsId})
                .exitCode,
            0);
        ASSERT_EQ(
            runAdmin({"subset", "add", lab, "readable", "--mode", "wrr", "--owner", "ann", annsId})
                .exitCode,
            0);
    }

    std::string save(const std::string& user, const std::string& pass, const std::string& name,
                     const std::string& bytes)
    {
        return saveObject("lab", "dnarna", name, bytes, "&user=" + user + "&pass=" + pass);
    }

    static std::string as(const std::string& user, const std::string& pass)
    {
        return "&user=" + user + "&pass=" + pass;
    }

    DbscoutTest::TestEnv env;
    const std::string lab = adminTarget("lab");
    std::string annsId;
};

TEST_F(HandlerAccess, missingOrWrongCredentialsGetAnErrorPageAndNoData)
{
    struct Case
    {
        const char* credentials;
        const char* message;
    };
    const Case cases[] = {
        {"", "This database needs a user name and password (user= and pass=)."},
        {"&user=ann&pass=wrong", "Wrong user name or password."},
        {"&user=ann&pass=", "Wrong user name or password."},
        {"&user=nobody&pass=ann-pw", "Wrong user name or password."},
        {"&user=&pass=ann-pw", "This database needs a user name and password (user= and pass=)."},
    };
    for (const Case& c : cases) {
        for (const std::string& url :
             {storeUrl("lab/dnarna/?start=0&page=10&query=MAIN") + std::string(c.credentials),
              storeUrl("lab/dnarna/") + annsId + "?command=fetch" + c.credentials}) {
            const ProcessResult result = runHandler(url);
            EXPECT_EQ(result.exitCode, 1) << url;
            EXPECT_EQ(result.output.find("private"), std::string::npos) << url;
            EXPECT_EQ(result.output.find("ACGT"), std::string::npos) << url;
            const Dbscout::ResultPage page = parseResultPage(result.output);
            EXPECT_EQ(page.status, "ERROR") << url;
            EXPECT_EQ(page.message, c.message) << url;
        }
    }
}

TEST_F(HandlerAccess, eachRowSaysWhatTheRequestingUserMayDo)
{
    struct Case
    {
        const char* user;
        const char* pass;
        bool readable;
        bool writable;
    };
    const Case cases[] = {
        {"ann", "ann-pw", true, true},   // owner: w
        {"bob", "bob-pw", true, false},  // group: r
        {"eve", "eve-pw", false, false}, // other: -
    };
    for (const Case& c : cases) {
        const ProcessResult result =
            runHandler(storeUrl("lab/dnarna/?start=0&page=10") + as(c.user, c.pass));
        const Dbscout::ResultPage page = parseResultPage(result.output);
        ASSERT_EQ(page.rows.size(), 1u) << c.user;
        EXPECT_EQ(page.rows[0].readable, c.readable) << c.user;
        EXPECT_EQ(page.rows[0].writable, c.writable) << c.user;
        EXPECT_EQ(page.rows[0].mode, "wr-");
    }
}

TEST_F(HandlerAccess, theDirectoryShowsOnlyReadableOrWritableSubsets)
{
    struct Case
    {
        const char* user;
        const char* pass;
        const char* writable;
        std::vector<std::string> subsets;
    };
    const Case cases[] = {
        {"bob", "bob-pw", "", {"MAIN", "benchwork", "readable"}},
        {"bob", "bob-pw", "&writable=yes", {"MAIN", "benchwork"}},
        {"eve", "eve-pw", "", {"MAIN", "readable"}},
        {"eve", "eve-pw", "&writable=yes", {"MAIN"}},
    };
    for (const Case& c : cases) {
        const ProcessResult result = runHandler(std::string(storeUrl("lab/dnarna/?user=")) +
                                                c.user + "&pass=" + c.pass + c.writable);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        std::vector<std::string> names;
        for (const Dbscout::SubsetEntry& subset : page.subsets)
            names.push_back(subset.name);
        EXPECT_EQ(names, c.subsets) << c.user << c.writable;
    }
}

TEST_F(HandlerAccess, aSubsetTheUserMayNotReadDoesNotExistForThem)
{
    // Its name is searched for like any text; nothing of the subset comes back.
    const ProcessResult result =
        runHandler(storeUrl("lab/dnarna/?start=0&page=10&query=benchwork") + as("eve", "eve-pw"));
    EXPECT_EQ(result.exitCode, 0);
    const Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.caption.name, "");
    EXPECT_EQ(page.totalFound, 0);
}

TEST_F(HandlerAccess, fetchAndSaveFollowTheModes)
{
    ProcessResult result =
        runHandler(storeUrl("lab/dnarna/") + annsId + "?command=fetch" + as("eve", "eve-pw"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(parseResultPage(result.output).message, "You may not read object " + annsId + ".");

    result = runHandler(storeUrl("lab/dnarna/") + annsId + "?command=fetch" + as("bob", "bob-pw"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, ">private\nACGT\n");

    result = runHandler(storeUrl("lab/dnarna/private?query=MAIN&command=put&force=yes") +
                            as("bob", "bob-pw"),
                        "changed");
    EXPECT_EQ(parseStatusPage(result.output).message, "You may not change \"private\".");

    result = runHandler(
        storeUrl("lab/dnarna/evesown?query=benchwork&command=put") + as("eve", "eve-pw"), "x");
    EXPECT_EQ(parseStatusPage(result.output).message,
              "You may not add objects to the subset \"benchwork\".");

    result = runHandler(
        storeUrl("lab/dnarna/bobsown?query=benchwork&command=put") + as("bob", "bob-pw"), "x");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK");
    const Dbscout::ResultPage page = parseResultPage(
        runHandler(storeUrl("lab/dnarna/?start=0&page=10&query=benchwork") + as("ann", "ann-pw"))
            .output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[1].name, "bobsown");
}

TEST_F(HandlerAccess, aForcedSaveIsRefusedWhileAnotherUserHoldsTheObject)
{
    runSql("lab", "UPDATE objects SET mode = 'ww-', checkout_by = 'ann' WHERE id = " + annsId);
    const Dbscout::ResultPage listed = parseResultPage(
        runHandler(storeUrl("lab/dnarna/?start=0&page=10") + as("bob", "bob-pw")).output);
    ASSERT_EQ(listed.rows.size(), 1u);
    EXPECT_EQ(listed.rows[0].checkoutBy, "ann");

    ProcessResult result = runHandler(
        storeUrl("lab/dnarna/private?query=MAIN&command=put&force=yes") + as("bob", "bob-pw"),
        "bob's bytes");
    Dbscout::StatusPage page = parseStatusPage(result.output);
    EXPECT_EQ(page.status, "ERROR");
    EXPECT_EQ(page.message, "\"private\" is checked out by ann.");

    result = runHandler(storeUrl("lab/dnarna/private?query=MAIN&command=put&force=yes") +
                            as("ann", "ann-pw"),
                        "ann's bytes");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK");
    result = runHandler(storeUrl("lab/dnarna/") + annsId + "?command=fetch" + as("ann", "ann-pw"));
    EXPECT_EQ(result.output, "ann's bytes");
}

TEST_F(HandlerAccess, passwordsAreStoredSaltedNeverInClear)
{
    // The local store keeps yescrypt hashes; the server keeps SCRAM verifiers of its roles.
    const std::string records =
        serverStore()
            ? "(SELECT rolpassword AS record FROM pg_authid WHERE rolname IN (SELECT name "
              "FROM users)) r"
            : "(SELECT password_hash AS record FROM users) r";
    const std::string hashes = runSql("lab", "SELECT record FROM " + records + " ORDER BY 1");
    for (const char* password : {"ann-pw", "bob-pw", "eve-pw"})
        EXPECT_EQ(hashes.find(password), std::string::npos);
    EXPECT_EQ(hashes.rfind(serverStore() ? "SCRAM-SHA-256$" : "$y$", 0), 0u) << hashes;
    const std::string distinct =
        runSql("lab", "SELECT count(DISTINCT substr(record, 1, 40)) FROM " + records);
    EXPECT_EQ(distinct, "3\n"); // every user has a salt of their own
}

} // namespace
