#pragma once
// Runs molb-handler and molb-admin as real processes through real pipes and reads their pages with
// the component's own parsers. A protocol test makes its store with makeStore: a local one, or
// one on the PostgreSQL server that scripts/with-test-postgres names in DBSCOUT_TEST_PG when CTest
// sets MOLB_TEST_STORE=server (such a program fails, never skips, without the server). Before
// every test of a server program every database and role but the superuser's goes, and
// PGUSER/PGPASSWORD name the superuser, so a request without user= acts as the store's owner.

#include "document/result_page.h"
#include "document/status_page.h"
#include "support/child_process.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace MolbTest {

using DbscoutTest::Child;
using DbscoutTest::ProcessResult;
using DbscoutTest::runProcess;

std::string handlerPath();
// The handler, started as the component starts it: the URL its one argument.
ProcessResult runHandler(const std::string& url, const std::string& input = {});
ProcessResult runAdmin(const std::vector<std::string>& arguments, const std::string& input = {},
                       const std::vector<std::string>& environment = {});
// A handler per URL (with the input of the same place), all started at the same instant.
std::vector<ProcessResult> runTogether(const std::vector<std::string>& urls,
                                       const std::vector<std::string>& inputs = {});

// A page the component's parsers refuse fails the calling test.
Dbscout::ResultPage parseResultPage(const std::string& text);
Dbscout::StatusPage parseStatusPage(const std::string& text);

bool serverStore();
struct ServerAddress
{
    std::string host; // as the handler's URL names it: "127.0.0.1:PORT"
    std::string admin;
    std::string password;
};
const ServerAddress& serverAddress(); // fails the test when DBSCOUT_TEST_PG is missing
// Runs SQL with psql as role (the superuser when empty): unaligned rows, columns joined by "|".
ProcessResult runPsql(const std::string& database, const std::string& sql,
                      const std::string& role = {}, const std::string& password = {});

// "molb://HOST/" followed by rest, HOST naming the store of this program: "local" or the server.
std::string storeUrl(const std::string& rest);
// How molb-admin names database: the name, or the server's connection string.
std::string adminTarget(const std::string& database);
std::string storeFolder(); // $XDG_DATA_HOME/molb

struct TestStore
{
    std::string database;
    std::string url(const std::string& rest) const { return storeUrl(database + "/" + rest); }
    // molb-admin with command (one or two words, as "user add"), the database, then arguments.
    ProcessResult admin(const std::string& command, const std::vector<std::string>& arguments = {},
                        const std::string& input = {}) const;
};
TestStore makeStore(const std::string& database); // a fresh, empty one
// Saves bytes by put; returns the id its link names.
std::string saveObject(const std::string& database, const std::string& kind,
                       const std::string& name, const std::string& bytes,
                       const std::string& extra = {});
// SQL run with the sqlite3 program or psql as the store's owner, for states no command makes:
// rows as lines with columns joined by "|". Stay within SQL that both understand.
std::string runSql(const std::string& database, const std::string& sql);
std::string onOneLine(const std::string& rows); // joined by blanks, one line break at the end

// A store "lab" with three users: ann and bob in group "bench", eve alone.
class UsersFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    static std::string as(const std::string& user)
    {
        return "&user=" + user + "&pass=" + user + "-pw";
    }
    // Saves a FASTA object as user; returns its id.
    std::string save(const std::string& user, const std::string& name,
                     const std::string& kind = "dnarna");
    // An operation on the objects of path, as user, answered with the first page of MAIN.
    ProcessResult operation(const std::string& user, const std::string& path,
                            const std::string& parameters, const std::string& kind = "dnarna");
    // The message of an operation's error page, which must have exit status 1.
    static std::string refusal(const ProcessResult& result);
    Dbscout::ResultPage mainPage(const std::string& user, const std::string& kind = "dnarna");
    std::string holders(); // of every row of MAIN as ann sees it: "a=ann b= ..."
    void chmod(const std::string& id, const std::string& mode);

    DbscoutTest::TestEnv env;
    TestStore store;
};

} // namespace MolbTest
