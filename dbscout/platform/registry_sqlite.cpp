#include "platform/registry_sqlite.h"

#include <sqlite3.h>

namespace Dbscout {

namespace {
// Several processes (hosts, the tool) share a hive; a writer waits this long for another's lock.
constexpr int kBusyTimeoutMs = 15000;
} // namespace

LONG regErrorFromSqlite(int rc, bool writing)
{
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
        return ERROR_BADDB;
    case SQLITE_NOMEM:
        return ERROR_OUTOFMEMORY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    default:
        return writing ? ERROR_CANTWRITE : ERROR_CANTREAD;
    }
}

SqliteStatement::SqliteStatement(SqliteConnection& db, const char* sql)
    : m_stmt(db.statement(sql, m_prepareRc))
{}

SqliteStatement::~SqliteStatement()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

SqliteStatement& SqliteStatement::bind(int index, int64_t value)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view bytes)
{
    // A zero-length blob must not become NULL, which a null pointer would bind.
    if (m_stmt)
        sqlite3_bind_blob(m_stmt, index, bytes.empty() ? "" : bytes.data(), int(bytes.size()),
                          SQLITE_TRANSIENT);
    return *this;
}

int SqliteStatement::step()
{
    if (!m_stmt)
        return m_prepareRc == SQLITE_OK ? SQLITE_ERROR : m_prepareRc;
    return sqlite3_step(m_stmt);
}

int64_t SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string SqliteStatement::bytes(int column) const
{
    const void* data = sqlite3_column_blob(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string(static_cast<const char*>(data), size_t(size)) : std::string();
}

SqliteConnection::~SqliteConnection()
{
    close();
}

int SqliteConnection::open(const std::string& file, int flags)
{
    close();
    const int rc = sqlite3_open_v2(file.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        close();
        return rc;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    return SQLITE_OK;
}

void SqliteConnection::close()
{
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteConnection::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

int SqliteConnection::exec(const char* sql)
{
    return m_db ? sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

sqlite3_stmt* SqliteConnection::statement(const char* sql, int& rc)
{
    rc = SQLITE_OK;
    if (!m_db) {
        rc = SQLITE_MISUSE;
        return nullptr;
    }
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second;
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return nullptr;
    m_statements.emplace(sql, stmt);
    return stmt;
}

SqliteTransaction::SqliteTransaction(SqliteConnection& db, bool writing) : m_db(db)
{
    m_beginRc = db.exec(writing ? "BEGIN IMMEDIATE" : "BEGIN");
    m_open = m_beginRc == SQLITE_OK;
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open)
        m_db.exec("ROLLBACK");
}

int SqliteTransaction::commit()
{
    const int rc = m_db.exec("COMMIT");
    if (rc == SQLITE_OK)
        m_open = false;
    return rc;
}

} // namespace Dbscout
