#include "sqlite/sqlite_db.h"

namespace Dbscout::Molb {
namespace {

constexpr int kBusyTimeoutMs = 10000;

} // namespace

std::string SqliteStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!data)
        return {};
    return std::string(data, static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
}

SqliteDb::~SqliteDb()
{
    m_cache.clear(); // statements go before the connection
    sqlite3_close(m_db);
}

Status SqliteDb::open(const std::string& path, bool create)
{
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int code = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (code != SQLITE_OK)
        return Status::fail(ErrorCode::Failure,
                            "Cannot open the store " + path + ": " +
                                (m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code)));
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    return execute("PRAGMA foreign_keys = ON");
}

Status SqliteDb::cached(const char* sql, SqliteStatement*& statement)
{
    auto found = m_cache.find(sql);
    if (found == m_cache.end()) {
        std::unique_ptr<SqliteStatement> prepared;
        Status status = prepare(sql, prepared);
        if (!status.ok())
            return status;
        found = m_cache.emplace(sql, std::move(prepared)).first;
    }
    statement = found->second.get();
    return Status::pass();
}

Status SqliteDb::prepare(const std::string& sql, std::unique_ptr<SqliteStatement>& statement)
{
    sqlite3_stmt* raw = nullptr;
    const int code = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    if (code != SQLITE_OK)
        return failure(code);
    statement = std::make_unique<SqliteStatement>(raw);
    return Status::pass();
}

Status SqliteDb::execute(const char* sql)
{
    char* message = nullptr;
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    return code == SQLITE_OK ? Status::pass() : failure(code);
}

Status SqliteDb::failure(int code) const
{
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return Status::fail(ErrorCode::Failure, "The database is busy; try again.");
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        return Status::fail(ErrorCode::Conflict, sqlite3_errmsg(m_db));
    return Status::fail(ErrorCode::Failure,
                        std::string("The store failed: ") + sqlite3_errmsg(m_db));
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open)
        static_cast<void>(
            m_db.execute(m_nested ? "ROLLBACK TO nested; RELEASE nested" : "ROLLBACK"));
}

Status SqliteTransaction::begin()
{
    m_nested = sqlite3_get_autocommit(m_db.handle()) == 0;
    Status status = m_db.execute(m_nested                ? "SAVEPOINT nested"
                                 : m_kind == Kind::Write ? "BEGIN IMMEDIATE"
                                                         : "BEGIN");
    m_open = status.ok();
    return status;
}

Status SqliteTransaction::commit()
{
    Status status = m_db.execute(m_nested ? "RELEASE nested" : "COMMIT");
    if (status.ok())
        m_open = false;
    return status;
}

Status SqliteTransaction::run(SqliteDb& db, Kind kind, const std::function<Status()>& work)
{
    SqliteTransaction transaction(db, kind);
    Status status = transaction.begin();
    if (status.ok())
        status = work();
    return status.ok() ? transaction.commit() : status;
}

} // namespace Dbscout::Molb
