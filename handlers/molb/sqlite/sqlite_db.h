#pragma once
// Thin owners of an SQLite connection, its prepared statements and its transactions.

#include "model/shared_names.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <unordered_map>

namespace Dbscout::Molb {

class SqliteStatement final
{
public:
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    explicit SqliteStatement(sqlite3_stmt* statement) : m_statement(statement) {}
    ~SqliteStatement() { sqlite3_finalize(m_statement); }

    void bind(int index, std::int64_t value) { sqlite3_bind_int64(m_statement, index, value); }
    // Text is copied; callers may pass temporaries.
    void bind(int index, const std::string& text)
    {
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    // The bytes are not copied (objects may be large): they must outlive the statement's step.
    void bindBlob(int index, const std::string& bytes)
    {
        sqlite3_bind_blob64(m_statement, index, bytes.data(), bytes.size(), SQLITE_STATIC);
    }
    void bindNull(int index) { sqlite3_bind_null(m_statement, index); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_statement); }
    // Makes the statement ready for its next use and drops the bound values.
    void reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool isNull(int column) const
    {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    // Text of a column; NULL gives "", integers their decimal form.
    std::string text(int column) const;

private:
    sqlite3_stmt* m_statement;
};

// A value bound as a blob: the bytes are not copied.
struct BlobRef
{
    const std::string& bytes;
};

inline void bindValue(SqliteStatement& statement, int index, std::int64_t value)
{
    statement.bind(index, value);
}
inline void bindValue(SqliteStatement& statement, int index, const std::string& text)
{
    statement.bind(index, text);
}
inline void bindValue(SqliteStatement& statement, int index, BlobRef blob)
{
    statement.bindBlob(index, blob.bytes);
}
// NULL when absent.
inline void bindValue(SqliteStatement& statement, int index, std::optional<std::int64_t> value)
{
    if (value)
        statement.bind(index, *value);
    else
        statement.bindNull(index);
}

// Resets a cached statement when the use ends, however it ends.
class StatementUse final
{
public:
    explicit StatementUse(SqliteStatement& statement) : m_statement(statement) {}
    ~StatementUse() { m_statement.reset(); }
    SqliteStatement* operator->() { return &m_statement; }
    SqliteStatement& operator*() { return m_statement; }

private:
    SqliteStatement& m_statement;
};

class SqliteDb final
{
public:
    SqliteDb() = default;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;
    ~SqliteDb();

    // Opens path (creating it when create is set), with a busy timeout and foreign keys on.
    Status open(const std::string& path, bool create);
    sqlite3* handle() const { return m_db; }

    // The statement of a constant SQL text, prepared on first use and kept for the connection.
    // The key is the text's address: pass named constants only.
    Status cached(const char* sql, SqliteStatement*& statement);
    // A statement for SQL that varies per call (built from fixed fragments, never from input).
    Status prepare(const std::string& sql, std::unique_ptr<SqliteStatement>& statement);
    Status execute(const char* sql);
    // Runs the cached statement of sql, which returns no rows, with values bound to ?1, ?2, ...
    template <typename... Values> Status run(const char* sql, const Values&... values);
    // Runs the cached statement of sql with values bound to ?1, ?2, ... and hands each row to
    // row; a failure of row ends the walk and is returned as it is.
    using RowReader = std::function<Status(const SqliteStatement& row)>;
    template <typename... Values>
    Status eachRow(const char* sql, const RowReader& row, const Values&... values);

    // A failed step or prepare as a Status: Failure, or Conflict for a broken UNIQUE rule.
    Status failure(int code) const;

private:
    sqlite3* m_db = nullptr;
    std::unordered_map<const char*, std::unique_ptr<SqliteStatement>> m_cache;
};

template <typename... Values>
Status SqliteDb::eachRow(const char* sql, const RowReader& row, const Values&... values)
{
    SqliteStatement* statement = nullptr;
    if (Status status = cached(sql, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    int index = 0;
    (bindValue(*use, ++index, values), ...);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW) {
        if (Status status = row(*use); !status.ok())
            return status;
    }
    return code == SQLITE_DONE ? Status::pass() : failure(code);
}

template <typename... Values> Status SqliteDb::run(const char* sql, const Values&... values)
{
    return eachRow(
        sql, [](const SqliteStatement&) { return Status::pass(); }, values...);
}

// BEGIN IMMEDIATE for commands that write (so that two writers queue on the busy timeout
// instead of failing half-way), BEGIN for readers; rolls back unless committed. Inside a
// transaction that is open already it is a savepoint: its commit keeps its changes for the
// outer one to commit, its rollback undoes only them.
class SqliteTransaction final
{
public:
    enum class Kind { Read, Write };
    SqliteTransaction(SqliteDb& db, Kind kind) : m_db(db), m_kind(kind) {}
    ~SqliteTransaction();

    Status begin();
    Status commit();

    // Runs work in one transaction of the kind and commits when it passes; rolls back otherwise.
    static Status run(SqliteDb& db, Kind kind, const std::function<Status()>& work);

private:
    SqliteDb& m_db;
    Kind m_kind;
    bool m_open = false;
    bool m_nested = false;
};

} // namespace Dbscout::Molb
