// The server enforces the modes itself: a user who connects with psql as their own role reads and
// changes no more than the panel lets them.

#include "molb_harness.h"

#include <tuple>

using namespace MolbTest;

namespace {

constexpr const char* kSecretBytes = "SECRETBASES";
constexpr const char* kSecretBytesHex = "534543524554"; // how psql shows the start of the bytea

class ServerRights : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const TestStore store = makeStore("lab");
        for (const std::string user : {"ann", "bob"})
            ASSERT_EQ(store.admin("user add", {user, "--group", "bench"}, user + "-pw\n").exitCode,
                      0);
        ASSERT_EQ(store.admin("user add", {"eve"}, "eve-pw\n").exitCode, 0);
        privateId = saveObject("lab", "dnarna", "private", kSecretBytes, "&user=ann&pass=ann-pw");
        sharedId = saveObject("lab", "dnarna", "shared", "shared bytes", "&user=ann&pass=ann-pw");
        // private: ann writes, bench reads, nobody else; shared: bench writes, others read.
        ASSERT_EQ(admin("UPDATE objects SET mode = 'wr-' WHERE id = " + privateId), "");
        ASSERT_EQ(admin("UPDATE objects SET mode = 'wwr' WHERE id = " + sharedId), "");
        const ProcessResult made =
            runHandler(storeUrl("lab/dnarna/" + privateId +
                                "?user=ann&pass=ann-pw&command=cs&command=dir&query=secretset"));
        ASSERT_EQ(made.exitCode, 0) << made.output;
        ASSERT_EQ(admin("UPDATE subsets SET mode = 'w--' WHERE name = 'secretset'"), "");
        secretSetId = admin("SELECT id FROM subsets WHERE name = 'secretset'");
        secretSetId.pop_back(); // the line break
    }

    static std::string admin(const std::string& sql) { return runSql("lab", sql); }
    // psql as role, whose password is ROLE-pw.
    static ProcessResult as(const std::string& role, const std::string& sql)
    {
        return runPsql("lab", sql, role, role + "-pw");
    }

    // Everything a change could touch, as the store's owner sees it.
    static std::string snapshot()
    {
        return admin(
            "SELECT 'o' || (id, name, mode, owner, grp, checkout_by, checkout_comment, revision, "
            "description) FROM objects UNION ALL "
            "SELECT 'r' || (object_id, revision, md5(data), author) FROM revisions UNION ALL "
            "SELECT 's' || s::text FROM subsets s UNION ALL "
            "SELECT 'm' || m::text FROM subset_members m UNION ALL "
            "SELECT 'l' || l::text FROM links l UNION ALL "
            "SELECT 'k' || k::text FROM kinds k UNION ALL "
            "SELECT 'u' || u::text FROM users u UNION ALL "
            "SELECT 'g' || (roleid::regrole, member::regrole) FROM pg_auth_members ORDER BY 1");
    }

    std::string privateId;
    std::string sharedId;
    std::string secretSetId;
};

TEST_F(ServerRights, aRoleWithoutRightsReadsNothingOfWhatItMayNotRead)
{
    for (const char* relation :
         {"objects", "object_catalog", "revisions", "links", "subsets", "subset_members", "kinds",
          "users", "groups", "group_members", "molb_schema"}) {
        const ProcessResult result =
            as("eve", std::string("SELECT t::text FROM ") + relation + " t");
        EXPECT_EQ(result.exitCode, 0) << relation << ": " << result.errors;
        for (const char* secret : {"private", kSecretBytes, kSecretBytesHex, "secretset"})
            EXPECT_EQ(result.output.find(secret), std::string::npos)
                << relation << " shows " << secret << ":\n"
                << result.output;
    }
    // Where the object stands and its mode stay visible, as in a listing; nothing else does.
    EXPECT_EQ(as("eve", "SELECT mode, access, name IS NULL AND owner IS NULL AND checkout_by IS "
                        "NULL FROM object_catalog WHERE id = " +
                            privateId)
                  .output,
              "wr-|-|t\n");
    EXPECT_EQ(as("eve", "SELECT count(*) FROM objects").output, "1\n");
    // The search function the handler uses answers for the role that logged in.
    EXPECT_EQ(as("eve", "SELECT count(*) FROM molb_matches(1, 'private')").output, "0\n");
    EXPECT_EQ(as("bob", "SELECT count(*) FROM molb_matches(1, 'private')").output, "1\n");
}

// A change that touches no row counts the rows it changed: "0".
std::string counted(const std::string& change)
{
    return "WITH changed AS (" + change + " RETURNING 1) SELECT count(*) FROM changed";
}

TEST_F(ServerRights, aRoleCannotChangeWhatItMayNotWrite)
{
    // Role, SQL, and what shows in the output or the error: no row changed, or why not.
    using Case = std::tuple<const char*, std::string, const char*>;
    const std::string privateRow = " WHERE id = " + privateId;
    const std::string sharedRow = " WHERE id = " + sharedId;
    const char* kNoRow = "0\n";
    const char* kPolicy = "row-level security";
    const char* kPrivilege = "permission denied";
    const Case cases[] = {
        // eve may neither read nor write private
        {"eve", counted("UPDATE objects SET checkout_by = 'eve'" + privateRow), kNoRow},
        {"eve", counted("DELETE FROM links"), kNoRow},
        {"eve", counted("UPDATE subsets SET mode = 'www'"), kNoRow},
        {"eve",
         "INSERT INTO revisions(object_id, revision, data, author, created) VALUES (" + privateId +
             ", 1, 'x', 'eve', 0)",
         "current revision"}, // as for any revision: no hint at the hidden one
        {"eve",
         "INSERT INTO subset_members(subset_id, object_id) VALUES (" + secretSetId + ", " +
             sharedId + ")",
         kPolicy},
        {"eve",
         "INSERT INTO objects(kind, name, owner, created, modified) VALUES "
         "(1, 'forged', 'ann', 0, 0)",
         kPolicy},
        // bob may read private but not write it, nor do what only owners and holders may
        {"bob", counted("UPDATE objects SET checkout_by = 'bob'" + privateRow), kNoRow},
        {"bob", counted("UPDATE objects SET mode = 'www'" + sharedRow),
         "Only the owner may change"},
        {"bob", counted("UPDATE objects SET checkout_by = 'ann'" + sharedRow),
         "You may not check out"},
        {"bob", "UPDATE objects SET owner = 'bob'" + sharedRow, kPrivilege},
        {"bob", "DELETE FROM revisions", kPrivilege},
        {"bob", "DELETE FROM objects", kPrivilege},
        {"bob", "UPDATE kinds SET object_count = 0", kPrivilege},
        {"bob", "UPDATE subsets SET member_count = 0", kPrivilege},
        {"bob",
         "INSERT INTO revisions(object_id, revision, data, author, created) VALUES (" + sharedId +
             ", 9, 'x', 'bob', 0)",
         "current revision"},
        {"bob",
         "INSERT INTO revisions(object_id, revision, data, author, created) VALUES (" + sharedId +
             ", 1, 'x', 'ann', 0)",
         kPolicy},
        {"bob", "UPDATE users SET primary_group = 'x'", kPrivilege},
        {"bob", "GRANT bench TO eve", "must have admin option"},
        {"bob", "CREATE TABLE mine(x int)", kPrivilege},
    };
    const std::string before = snapshot();
    ASSERT_NE(before.find("private"), std::string::npos);
    for (const auto& [role, sql, evidence] : cases) {
        const ProcessResult result = as(role, sql);
        EXPECT_NE((result.output + result.errors).find(evidence), std::string::npos)
            << role << ": " << sql << "\n"
            << result.output << result.errors;
        EXPECT_EQ(snapshot(), before) << role << ": " << sql;
    }
}

TEST_F(ServerRights, aRoleMayDoWhatThePanelLetsIt)
{
    // bob reads private's bytes; ann checks shared out, and the handler sees her hold.
    EXPECT_EQ(
        as("bob", "SELECT convert_from(data, 'UTF8') FROM revisions WHERE object_id = " + privateId)
            .output,
        std::string(kSecretBytes) + "\n");
    const ProcessResult held =
        as("ann", "UPDATE objects SET checkout_by = 'ann' WHERE id = " + sharedId);
    EXPECT_EQ(held.exitCode, 0) << held.errors;
    const Dbscout::ResultPage page = parseResultPage(
        runHandler(storeUrl("lab/dnarna/?start=0&page=10&user=bob&pass=bob-pw")).output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[1].checkoutBy, "ann");
    // Once ann holds it, bob's write through psql is refused by the server.
    const ProcessResult refused =
        as("bob", "UPDATE objects SET description = 'bob was here' WHERE id = " + sharedId);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.errors.find("\"shared\" is checked out by ann."), std::string::npos)
        << refused.errors;
}

} // namespace
