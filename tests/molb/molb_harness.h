#pragma once
// Runs molb-handler and molb-admin as real processes through real pipes, and reads their pages
// with the component's own parsers.

#include "document/result_page.h"
#include "document/status_page.h"

#include <string>
#include <vector>

namespace MolbTest {

struct ProcessResult
{
    std::string output;
    std::string errors;
    int exitCode = -1; // -1 when the process did not exit normally
};

// Starts program with arguments, writes input to its standard input (from a thread of its own,
// so a program that answers before reading cannot block the test), and reads its output to the
// end.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input = {});

// The handler, started as the component starts it: the URL split at blanks.
ProcessResult runHandler(const std::string& url, const std::string& input = {});
ProcessResult runAdmin(const std::vector<std::string>& arguments, const std::string& input = {});
// Runs a handler for every URL (with the input of the same place, if any), each from a thread of
// its own, all started at the same instant; the results in the order of the URLs.
std::vector<ProcessResult> runTogether(const std::vector<std::string>& urls,
                                       const std::vector<std::string>& inputs = {});

// Parses with the component's parsers; a page they refuse fails the calling test.
Dbscout::ResultPage parseResultPage(const std::string& text);
Dbscout::StatusPage parseStatusPage(const std::string& text);

// The store a protocol test runs against. Every test makes its store with makeStore, so that a
// second back end is a parameter of that one function rather than a copy of the tests.
struct TestStore
{
    std::string host;
    std::string database;
    std::string target; // how molb-admin names it: the database, or a server connection string

    // "molb://HOST/DB/" followed by rest (kind, path and parameters).
    std::string url(const std::string& rest) const;
    // molb-admin with command (one or two words, as "user add"), the database, then arguments.
    ProcessResult admin(const std::string& command, const std::vector<std::string>& arguments,
                        const std::string& input = {}) const;
};
// Whether this program runs against the PostgreSQL server (server_store.h) rather than local
// stores: CTest says so with MOLB_TEST_STORE=server.
bool serverStore();
// A fresh, empty store named database, local or on the server.
TestStore makeStore(const std::string& database);
// "molb://HOST/" followed by rest, HOST naming the store of this program: "local" or the server.
std::string storeUrl(const std::string& rest);
// How the handler refuses a database that does not exist.
std::string noDatabaseMessage(const std::string& database);
// How molb-admin names database: the name, or the server's connection string.
std::string adminTarget(const std::string& database);

// A fresh local database of that name (makeStore for the tests that name the local store).
void createDatabase(const std::string& name);
std::string saveObject(const std::string& database, const std::string& kind,
                       const std::string& name, const std::string& bytes,
                       const std::string& extra = {});

std::string handlerPath();
std::string storeFolder(); // $XDG_DATA_HOME/molb
// Runs SQL on the store as its owner, with the sqlite3 program or psql, to set up or look at
// states that no command makes; returns rows as lines with columns joined by "|". Stay within
// SQL that both understand.
std::string runSql(const std::string& database, const std::string& sql);
// The rows of runSql's answer as one row: joined by blanks, with one line break at the end.
std::string onOneLine(const std::string& rows);
// The SQL of column's text as upper-case hexadecimal, in either store.
std::string sqlHexOf(const std::string& column);

} // namespace MolbTest
