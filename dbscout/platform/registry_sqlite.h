#pragma once
// A thin layer over one SQLite connection of the settings store: statements prepared once and
// reset after each use, transactions that roll back unless committed, and SQLite result codes
// turned into the store's Win32 error codes.

#include <dbscout/registry.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace Dbscout {

// The Win32 code for a SQLite result; writing chooses between ERROR_CANTWRITE and ERROR_CANTREAD
// for input/output failures.
LONG regErrorFromSqlite(int rc, bool writing);

class SqliteConnection;

// One use of a cached statement: binds, steps, and resets when it goes out of scope.
class SqliteStatement final
{
public:
    SqliteStatement(SqliteConnection& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in SQLite. Text is bound as a blob: names are bytes.
    SqliteStatement& bind(int index, int64_t value);
    SqliteStatement& bind(int index, std::string_view bytes);

    // SQLITE_ROW, SQLITE_DONE or an error code (also when the statement could not be prepared).
    int step();
    int64_t integer(int column) const;
    std::string bytes(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareRc = 0;
};

class SqliteConnection final
{
public:
    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens file (":memory:" for a private empty store) with SQLite's open flags.
    int open(const std::string& file, int flags);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const;
    int exec(const char* sql);

    sqlite3* handle() const { return m_db; }
    // The cached statement for sql, prepared on first use; null with rc set when it fails.
    sqlite3_stmt* statement(const char* sql, int& rc);

private:
    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*> m_statements;
};

// A transaction: BEGIN IMMEDIATE for changes (so that a writer waits for the write lock up front
// instead of failing half-way), BEGIN for reads (one consistent snapshot). Rolls back unless
// commit() succeeded.
class SqliteTransaction final
{
public:
    SqliteTransaction(SqliteConnection& db, bool writing);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // The result of BEGIN: SQLITE_OK or the error that stopped it.
    int beginResult() const { return m_beginRc; }
    int commit();

private:
    SqliteConnection& m_db;
    int m_beginRc = 0;
    bool m_open = false;
};

} // namespace Dbscout
