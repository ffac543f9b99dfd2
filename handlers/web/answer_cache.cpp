#include "answer_cache.h"

#include <sqlite3.h>

#include <ctime>
#include <string>

namespace Dbscout::Web {
namespace {

// Another handler writing at the same moment is waited for this long, then passed by.
constexpr int kBusyMilliseconds = 200;
// Answers older than this leave the file when a new one is stored.
constexpr long long kKeepSeconds = 7LL * 24 * 60 * 60;
// The file's shape, in its header: a new file has 0 and gets the table; another shape is passed by.
constexpr int kShape = 1;

class Statement
{
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_statement; }
    explicit operator bool() const { return m_statement != nullptr; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

long long secondsNow()
{
    return static_cast<long long>(std::time(nullptr));
}

int shapeOf(sqlite3* db)
{
    Statement version(db, "PRAGMA user_version");
    return version && sqlite3_step(version.get()) == SQLITE_ROW
               ? sqlite3_column_int(version.get(), 0)
               : -1;
}

bool run(sqlite3* db, const std::string& sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// A new file gets its table once, in one transaction with its shape; a second handler creating
// the same file at once waits, then finds it made. A cache of an earlier version has the table
// and no shape yet.
bool createShape(sqlite3* db)
{
    if (!run(db, "BEGIN IMMEDIATE"))
        return false;
    const int shape = shapeOf(db);
    const bool made =
        shape == kShape ||
        (shape == 0 && run(db, "CREATE TABLE IF NOT EXISTS answers (key TEXT PRIMARY KEY, "
                               "stored INTEGER NOT NULL, answer BLOB NOT NULL);"
                               "CREATE INDEX IF NOT EXISTS answers_stored ON answers (stored);"
                               "PRAGMA user_version = " +
                                   std::to_string(kShape)));
    return run(db, made ? "COMMIT" : "ROLLBACK") && made;
}

} // namespace

AnswerCache::AnswerCache(const std::string& path)
{
    if (path.empty())
        return;
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        close();
        return;
    }
    sqlite3_busy_timeout(m_db, kBusyMilliseconds);
    // A cache loses nothing that matters in a crash, and a damaged one is passed by: no waiting
    // for the disk at every answer stored, and the journal file is kept rather than made anew.
    run(m_db, "PRAGMA journal_mode = PERSIST; PRAGMA synchronous = OFF");
    // Damage shows here at the latest: a file that is no database reads no shape.
    const int shape = shapeOf(m_db);
    if (shape != kShape && !(shape == 0 && createShape(m_db)))
        close();
}

AnswerCache::~AnswerCache()
{
    close();
}

void AnswerCache::close()
{
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

std::optional<std::string> AnswerCache::find(std::string_view key, int maxAgeSeconds)
{
    Statement select(m_db, "SELECT answer FROM answers WHERE key = ? AND stored >= ?");
    if (!select || maxAgeSeconds <= 0)
        return std::nullopt;
    sqlite3_bind_text(select.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_int64(select.get(), 2, secondsNow() - maxAgeSeconds);
    if (sqlite3_step(select.get()) != SQLITE_ROW)
        return std::nullopt;
    const void* bytes = sqlite3_column_blob(select.get(), 0);
    const int size = sqlite3_column_bytes(select.get(), 0);
    return std::string(static_cast<const char*>(bytes ? bytes : ""), static_cast<size_t>(size));
}

void AnswerCache::store(std::string_view key, std::string_view answer)
{
    Statement insert(m_db, "INSERT OR REPLACE INTO answers (key, stored, answer) VALUES (?, ?, ?)");
    if (!insert)
        return;
    sqlite3_bind_text(insert.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_int64(insert.get(), 2, secondsNow());
    sqlite3_bind_blob64(insert.get(), 3, answer.data(), answer.size(), SQLITE_STATIC);
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        return;
    Statement prune(m_db, "DELETE FROM answers WHERE stored < ?");
    if (prune) {
        sqlite3_bind_int64(prune.get(), 1, secondsNow() - kKeepSeconds);
        sqlite3_step(prune.get());
    }
}

} // namespace Dbscout::Web
