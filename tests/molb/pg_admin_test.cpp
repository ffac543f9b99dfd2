// molb-admin and the handler on a server: making stores, users as roles, and every way a
// connection can fail, each with its own message and no password in it.

#include "molb_harness.h"

#include "pg/pg_schema_v1.sql.h"

using namespace MolbTest;

namespace {

class ServerAdmin : public ::testing::Test
{
protected:
    static void expectAdmin(const std::vector<std::string>& arguments, const std::string& input,
                            int exitCode, const std::string& message)
    {
        const ProcessResult result = runAdmin(arguments, input);
        EXPECT_EQ(result.exitCode, exitCode) << arguments[0] << "\n" << result.errors;
        EXPECT_NE(result.errors.find(message), std::string::npos)
            << message << "\nwas: " << result.errors;
        EXPECT_EQ(result.errors.find(serverAddress().password), std::string::npos);
    }

    static void expectRefused(const std::string& url, int exitCode, const std::string& message)
    {
        const ProcessResult result = runHandler(url);
        EXPECT_EQ(result.exitCode, exitCode) << url;
        EXPECT_EQ(parseResultPage(result.output).message, message) << url;
    }
};

TEST_F(ServerAdmin, initMakesAStoreOnlyUsersMayConnectToAndRefusesToMakeItTwice)
{
    const ProcessResult made = runAdmin({"init", adminTarget("lab")});
    ASSERT_EQ(made.exitCode, 0) << made.errors;
    EXPECT_EQ(made.output, "created database \"lab\" on " + serverAddress().host + "\n");
    EXPECT_EQ(runSql("lab", "SELECT version FROM molb_schema"), "4\n");
    EXPECT_EQ(runSql("lab", "SELECT has_database_privilege('public', 'lab', 'CONNECT'), "
                            "has_database_privilege('molb.lab', 'lab', 'CONNECT')"),
              "f|t\n");
    expectAdmin({"init", adminTarget("lab")}, "", 1,
                "The database \"lab\" on " + serverAddress().host + " is a molb store already.");
    // A database its administrator made empty becomes a store as well.
    runSql("postgres", "CREATE DATABASE given");
    EXPECT_EQ(runAdmin({"init", adminTarget("given")}).exitCode, 0);
    EXPECT_EQ(runSql("given", "SELECT count(*) FROM kinds"), "5\n");
}

TEST_F(ServerAdmin, storesOfANewerVersionOrNoStoreAtAllAreRefused)
{
    makeStore("lab");
    runSql("lab", "UPDATE molb_schema SET version = 99");
    runSql("postgres", "CREATE DATABASE plain");
    const std::string host = serverAddress().host;
    const std::string newer =
        "The database \"lab\" on " + host + " was made by a newer molb (schema 99).";
    const std::string none = "The database \"plain\" on " + host + " is not a molb store.";
    expectRefused(storeUrl("lab/dnarna/?start=0&page=5"), 2, newer);
    expectRefused(storeUrl("plain/dnarna/?start=0&page=5"), 2, none);
    expectAdmin({"generate", adminTarget("lab"), "--count", "1"}, "", 1, newer);
    expectAdmin({"subset", "add", adminTarget("plain"), "s", "--kind", "dnarna"}, "", 1, none);
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM objects"), "0\n");
}

TEST_F(ServerAdmin, aStoreOfTheFirstSchemaServesOnceAnAdminCommandBroughtItUpToDate)
{
    runSql("postgres", "CREATE DATABASE old");
    runSql("old", std::string(Dbscout::Molb::kPgSchemaV1) + ";UPDATE molb_schema SET version = 1");
    const TestStore store{"old"};
    expectRefused(store.url("dnarna/?start=0&page=5"), 2,
                  "The database \"old\" on " + serverAddress().host +
                      " has an older schema (1); any molb-admin command on it brings it up to "
                      "date.");
    ASSERT_EQ(store.admin("user add", {"ann", "--group", "qc"}, "ann-pw\n").exitCode, 0);
    EXPECT_EQ(runSql("old", "SELECT version FROM molb_schema"), "4\n");
    // The rights as before: ann reads through her group, and nothing of bob's own object.
    ASSERT_EQ(store.admin("user add", {"bob"}, "bob-pw\n").exitCode, 0);
    ASSERT_EQ(store.admin("generate", {"--count", "3"}).exitCode, 0);
    for (const auto& [id, owner, mode] : {std::tuple{"1", "bob:qc", "-r-"}, {"2", "bob", "w--"}}) {
        ASSERT_EQ(store.admin("chown", {id, owner}).exitCode, 0);
        ASSERT_EQ(store.admin("chmod", {id, mode}).exitCode, 0);
    }
    const ProcessResult listed =
        runHandler(store.url("dnarna/?start=0&page=5&query=MAIN&user=ann&pass=ann-pw"));
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    const Dbscout::ResultPage page = parseResultPage(listed.output);
    ASSERT_EQ(page.rows.size(), 3u);
    EXPECT_EQ(page.rows[0].id, "1");
    EXPECT_EQ(page.rows[1].id, "");
    EXPECT_EQ(page.rows[2].id, "3");
    EXPECT_EQ(
        runPsql("old", "SELECT string_agg(id::text, ',' ORDER BY id) FROM objects", "ann", "ann-pw")
            .output,
        "1,3\n");
}

TEST_F(ServerAdmin, usersBecomeRolesWithScramPasswordsAndTheirGroups)
{
    const TestStore store = makeStore("lab");
    ASSERT_EQ(
        store.admin("user add", {"ann", "--group", "bench", "--group", "qc"}, "pw\n").exitCode, 0);
    EXPECT_EQ(runSql("lab", "SELECT rolcanlogin, rolpassword LIKE 'SCRAM-SHA-256$%' FROM pg_authid "
                            "WHERE rolname = 'ann'"),
              "t|t\n");
    EXPECT_EQ(runSql("lab", "SELECT string_agg(roleid::regrole::text, ',' ORDER BY "
                            "roleid::regrole::text) FROM pg_auth_members WHERE member = "
                            "'ann'::regrole"),
              "\"molb.lab\",bench,qc\n");
    EXPECT_EQ(runSql("lab", "SELECT rolcanlogin FROM pg_roles WHERE rolname = 'bench'"), "f\n");
    expectAdmin({"user", "add", adminTarget("lab"), serverAddress().admin}, "pw\n", 1,
                "owns the store or stands above row-level security; a molb user must not.");
    expectAdmin({"user", "add", adminTarget("lab"), "bob", "--group", "ann"}, "pw\n", 1,
                "The group \"ann\" is a role that logs in");
    expectAdmin({"user", "add", adminTarget("lab"), std::string(64, 'u')}, "pw\n", 1,
                "A user name must have 1 to 63 bytes.");
    // Nothing of the refused users stayed.
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM pg_roles WHERE rolname = 'bob'"), "0\n");
    EXPECT_EQ(runSql("lab", "SELECT string_agg(name, ',') FROM users"), "ann\n");
}

TEST_F(ServerAdmin, badConnectionStringsAreExplainedWithoutTheirPassword)
{
    const ServerAddress& server = serverAddress();
    const std::string withoutDatabase =
        "postgresql://" + server.admin + ":" + server.password + "@" + server.host;
    expectAdmin({"init", withoutDatabase}, "", 1, "The connection string names no database");
    expectAdmin({"init", withoutDatabase + "/a%2fb"}, "", 1,
                "The database name \"a/b\" is not valid.");
    expectAdmin({"init", withoutDatabase + "/lab?colour=blue"}, "", 1,
                "The connection string is not valid: invalid URI query parameter: \"colour\"");
    expectAdmin({"init", "postgresql://" + server.admin + ":wrong" + server.password + "@" +
                             server.host + "/lab"},
                "", 1, "password authentication failed");
}

TEST_F(ServerAdmin, theHandlerRefusesAddressesAndRolesItCannotServe)
{
    makeStore("lab");
    runSql("postgres", "CREATE ROLE outsider LOGIN PASSWORD 'out-pw'");
    const std::string host = serverAddress().host;
    const std::string ip = host.substr(0, host.find(':'));
    expectRefused("molb://" + ip + ":99999/lab/dnarna/?start=0", 1,
                  "The host \"" + ip +
                      ":99999\" is neither \"local\" nor a server name with an optional port, as "
                      "in molb://db.example.org:5432/DATABASE/KIND/.");
    expectRefused(storeUrl("nosuch/dnarna/?start=0&page=5"), 1,
                  "There is no database \"nosuch\" on the server " + ip + ".");
    expectRefused(storeUrl("lab/dnarna/?start=0&page=5&user=outsider&pass=out-pw"), 1,
                  "You are not a user of the database \"lab\" on " + host + ".");
    const ProcessResult closed = runHandler("molb://" + ip + ":1/lab/dnarna/?start=0");
    EXPECT_EQ(closed.exitCode, 2);
    EXPECT_EQ(
        parseResultPage(closed.output).message.rfind("Cannot connect to the database server", 0),
        0u);
}

} // namespace
