#include "platform/registry_store.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Dbscout {

namespace {

constexpr int kSchemaVersion = 1;

// Names are stored twice: as written, and folded for comparison. Values keep their first
// rowid when rewritten, which gives enumeration its order of first writing.
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS vals(
  key INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, folded));
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES(1, 0, x'', x'');
PRAGMA user_version = 1;
)";

// Descendants of ?1 (not ?1 itself); AUTOINCREMENT keeps a deleted key's id from coming back,
// so a handle of a deleted key never sees a newer key.
constexpr const char* kDeleteDescendantValues =
    "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent = ?1"
    " UNION ALL SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id)"
    " DELETE FROM vals WHERE key IN sub";
constexpr const char* kDeleteDescendantKeys =
    "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent = ?1"
    " UNION ALL SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id)"
    " DELETE FROM keys WHERE id IN sub";

bool fileExists(const std::string& file)
{
    return ::access(file.c_str(), F_OK) == 0;
}

void makeParentFolders(const std::string& file)
{
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1))
        ::mkdir(file.substr(0, slash).c_str(), 0700);
}

// The user's hive may hold passwords of data sources: only its owner may read it.
void createPrivateFile(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

std::string foldName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return folded;
}

Hive::Hive(std::string file, Kind kind) : m_file(std::move(file)), m_kind(kind) {}

LONG Hive::openFile()
{
    makeParentFolders(m_file);
    if (m_kind == Kind::User)
        createPrivateFile(m_file);
    m_absent = false;
    int rc = m_db.open(m_file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc != SQLITE_OK && m_kind == Kind::Machine) {
        if (fileExists(m_file)) {
            rc = m_db.open(m_file, SQLITE_OPEN_READONLY);
        } else {
            rc = m_db.open(":memory:", SQLITE_OPEN_READWRITE);
            m_absent = rc == SQLITE_OK;
        }
    }
    // Switching a new file to WAL takes a lock that SQLite does not wait for: when another
    // process is setting the file up at the same moment, try again for a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    if (rc == SQLITE_OK)
        rc = prepareSchema();
    while ((rc & 0xff) == SQLITE_BUSY && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        rc = prepareSchema();
    }
    if (rc != SQLITE_OK) {
        m_db.close();
        return rc == SQLITE_CANTOPEN ? ERROR_CANTREAD : regErrorFromSqlite(rc, false);
    }
    m_readOnly = m_absent || m_db.isReadOnly();
    return ERROR_SUCCESS;
}

int Hive::prepareSchema()
{
    int version = 0;
    {
        SqliteStatement query(m_db, "PRAGMA user_version");
        const int rc = query.step();
        if (rc != SQLITE_ROW)
            return rc;
        version = int(query.integer(0));
    }
    if (version > kSchemaVersion)
        return SQLITE_NOTADB; // written by a newer store: do not touch it
    {
        // A damaged file is refused at once, not found out half-way through some later call.
        SqliteStatement check(m_db, "PRAGMA quick_check");
        const int rc = check.step();
        if (rc != SQLITE_ROW)
            return rc;
        if (check.bytes(0) != "ok")
            return SQLITE_CORRUPT;
    }
    if (m_db.isReadOnly())
        return SQLITE_OK;
    // The user's hive takes WAL, so that readers and a writer do not wait for each other; with
    // it, NORMAL keeps every commit through a crash of any process and syncs only at checkpoints,
    // which matters because the panel writes its settings as many small changes. The machine's
    // keeps the rollback journal: reading a WAL file needs write access to its folder (for the
    // shared-memory file), which users lack in /etc/dbscout.
    int rc = SQLITE_OK;
    if (m_kind == Kind::User) {
        rc = m_db.exec("PRAGMA journal_mode = WAL");
        if (rc == SQLITE_OK)
            rc = m_db.exec("PRAGMA synchronous = NORMAL");
    }
    if (rc != SQLITE_OK || version == kSchemaVersion)
        return rc;
    SqliteTransaction transaction(m_db, true);
    if (transaction.beginResult() != SQLITE_OK)
        return transaction.beginResult();
    rc = m_db.exec(kSchema);
    return rc == SQLITE_OK ? transaction.commit() : rc;
}

LONG Hive::ensureOpen()
{
    // An absent machine hive may be installed while we run.
    if (m_db.isOpen() && !(m_absent && fileExists(m_file)))
        return ERROR_SUCCESS;
    return openFile();
}

template <typename Body> LONG Hive::run(bool writing, Body body)
{
    std::lock_guard lock(m_mutex);
    LONG result = ensureOpen();
    if (result != ERROR_SUCCESS)
        return result;
    if (writing && m_readOnly)
        return ERROR_ACCESS_DENIED;
    if (m_batch) {
        // Inside a batch a failed call takes back only its own changes.
        int rc = m_db.exec("SAVEPOINT call");
        if (rc != SQLITE_OK)
            return regErrorFromSqlite(rc, writing);
        result = body();
        if (result != ERROR_SUCCESS)
            m_db.exec("ROLLBACK TO call");
        rc = m_db.exec("RELEASE call");
        return result == ERROR_SUCCESS ? regErrorFromSqlite(rc, writing) : result;
    }
    SqliteTransaction transaction(m_db, writing);
    if (transaction.beginResult() != SQLITE_OK)
        return regErrorFromSqlite(transaction.beginResult(), writing);
    result = body();
    if (result == ERROR_SUCCESS)
        result = regErrorFromSqlite(transaction.commit(), writing);
    return result;
}

LONG Hive::beginBatch()
{
    m_mutex.lock(); // held until the matching endBatch
    if (m_batchDepth++ > 0)
        return ERROR_SUCCESS;
    LONG result = ensureOpen();
    if (result == ERROR_SUCCESS && !m_readOnly) {
        auto transaction = std::make_unique<SqliteTransaction>(m_db, true);
        result = regErrorFromSqlite(transaction->beginResult(), true);
        if (result == ERROR_SUCCESS)
            m_batch = std::move(transaction);
    }
    // Without a transaction the calls of the batch simply run one by one.
    return result;
}

LONG Hive::endBatch(bool keep)
{
    LONG result = ERROR_SUCCESS;
    m_batchAbandoned = m_batchAbandoned || !keep;
    if (--m_batchDepth == 0) {
        if (m_batch && !m_batchAbandoned)
            result = regErrorFromSqlite(m_batch->commit(), true);
        m_batch.reset(); // rolls back what was abandoned or what a failed commit left
        m_batchAbandoned = false;
    }
    m_mutex.unlock();
    return result;
}

LONG Hive::existing(KeyId key, bool writing)
{
    SqliteStatement query(m_db, "SELECT 1 FROM keys WHERE id = ?1");
    const int rc = query.bind(1, key).step();
    if (rc == SQLITE_DONE)
        return ERROR_KEY_DELETED;
    return rc == SQLITE_ROW ? ERROR_SUCCESS : regErrorFromSqlite(rc, writing);
}

LONG Hive::checkWritable()
{
    std::lock_guard lock(m_mutex);
    const LONG result = ensureOpen();
    return result == ERROR_SUCCESS && m_readOnly ? ERROR_ACCESS_DENIED : result;
}

LONG Hive::checkKey(KeyId key)
{
    return run(false, [&] { return existing(key, false); });
}

LONG Hive::findKey(KeyId from, const KeyPath& path, KeyId& key)
{
    return run(false, [&] {
        LONG result = existing(from, false);
        key = from;
        for (size_t i = 0; i < path.size() && result == ERROR_SUCCESS; ++i) {
            SqliteStatement query(m_db, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
            const int rc = query.bind(1, key).bind(2, foldName(path[i])).step();
            if (rc == SQLITE_ROW)
                key = query.integer(0);
            else
                result = rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : regErrorFromSqlite(rc, false);
        }
        return result;
    });
}

LONG Hive::createKey(KeyId from, const KeyPath& path, KeyId& key, bool& created)
{
    created = false;
    return run(true, [&] {
        LONG result = existing(from, true);
        key = from;
        for (size_t i = 0; i < path.size() && result == ERROR_SUCCESS; ++i) {
            const std::string folded = foldName(path[i]);
            SqliteStatement query(m_db, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
            int rc = query.bind(1, key).bind(2, folded).step();
            created = rc == SQLITE_DONE;
            if (rc == SQLITE_ROW) {
                key = query.integer(0);
                continue;
            }
            if (rc == SQLITE_DONE) {
                SqliteStatement insert(m_db,
                                       "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)");
                rc = insert.bind(1, key).bind(2, path[i]).bind(3, folded).step();
                key = sqlite3_last_insert_rowid(m_db.handle());
            }
            if (rc != SQLITE_DONE)
                result = regErrorFromSqlite(rc, true);
        }
        return result;
    });
}

LONG Hive::deleteDescendants(KeyId key)
{
    int rc = SqliteStatement(m_db, kDeleteDescendantValues).bind(1, key).step();
    if (rc == SQLITE_DONE)
        rc = SqliteStatement(m_db, kDeleteDescendantKeys).bind(1, key).step();
    if (rc == SQLITE_DONE)
        rc = SqliteStatement(m_db, "DELETE FROM vals WHERE key = ?1").bind(1, key).step();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : regErrorFromSqlite(rc, true);
}

LONG Hive::deleteKey(KeyId key, bool withSubkeys)
{
    return run(true, [&] {
        LONG result = key == kHiveRoot ? ERROR_ACCESS_DENIED : existing(key, true);
        if (result == ERROR_SUCCESS && !withSubkeys) {
            SqliteStatement query(m_db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
            const int rc = query.bind(1, key).step();
            if (rc != SQLITE_DONE)
                result = rc == SQLITE_ROW ? ERROR_ACCESS_DENIED : regErrorFromSqlite(rc, true);
        }
        if (result == ERROR_SUCCESS)
            result = deleteDescendants(key);
        if (result == ERROR_SUCCESS) {
            const int rc =
                SqliteStatement(m_db, "DELETE FROM keys WHERE id = ?1").bind(1, key).step();
            result = rc == SQLITE_DONE ? ERROR_SUCCESS : regErrorFromSqlite(rc, true);
        }
        return result;
    });
}

LONG Hive::clearKey(KeyId key)
{
    return run(true, [&] {
        const LONG result = existing(key, true);
        return result == ERROR_SUCCESS ? deleteDescendants(key) : result;
    });
}

LONG Hive::subkeyNames(KeyId key, std::vector<std::string>& names)
{
    names.clear();
    return run(false, [&] {
        LONG result = existing(key, false);
        SqliteStatement query(m_db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY folded");
        query.bind(1, key);
        int rc = SQLITE_DONE;
        while (result == ERROR_SUCCESS && (rc = query.step()) == SQLITE_ROW)
            names.push_back(query.bytes(0));
        return result == ERROR_SUCCESS ? regErrorFromSqlite(rc, false) : result;
    });
}

LONG Hive::valueList(KeyId key, std::vector<RegValueInfo>& values)
{
    values.clear();
    return run(false, [&] {
        LONG result = existing(key, false);
        SqliteStatement query(
            m_db, "SELECT name, type, length(data) FROM vals WHERE key = ?1 ORDER BY rowid");
        query.bind(1, key);
        int rc = SQLITE_DONE;
        while (result == ERROR_SUCCESS && (rc = query.step()) == SQLITE_ROW)
            values.push_back({query.bytes(0), DWORD(query.integer(1)), DWORD(query.integer(2))});
        return result == ERROR_SUCCESS ? regErrorFromSqlite(rc, false) : result;
    });
}

LONG Hive::readValue(KeyId key, std::string_view name, RegValue& value)
{
    return run(false, [&] {
        const LONG result = existing(key, false);
        if (result != ERROR_SUCCESS)
            return result;
        SqliteStatement query(m_db,
                              "SELECT name, type, data FROM vals WHERE key = ?1 AND folded = ?2");
        const int rc = query.bind(1, key).bind(2, foldName(name)).step();
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : regErrorFromSqlite(rc, false);
        value = {query.bytes(0), DWORD(query.integer(1)), query.bytes(2)};
        return ERROR_SUCCESS;
    });
}

LONG Hive::writeValue(KeyId key, std::string_view name, DWORD type, std::string_view data)
{
    return run(true, [&] {
        const LONG result = existing(key, true);
        if (result != ERROR_SUCCESS)
            return result;
        // A rewritten value keeps the name it was first written with, and its place.
        SqliteStatement upsert(m_db, "INSERT INTO vals(key, name, folded, type, data)"
                                     " VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(key, folded)"
                                     " DO UPDATE SET type = excluded.type, data = excluded.data");
        const int rc = upsert.bind(1, key)
                           .bind(2, name)
                           .bind(3, foldName(name))
                           .bind(4, int64_t(type))
                           .bind(5, data)
                           .step();
        return regErrorFromSqlite(rc, true);
    });
}

LONG Hive::deleteValue(KeyId key, std::string_view name)
{
    return run(true, [&] {
        const LONG result = existing(key, true);
        if (result != ERROR_SUCCESS)
            return result;
        SqliteStatement remove(m_db, "DELETE FROM vals WHERE key = ?1 AND folded = ?2");
        const int rc = remove.bind(1, key).bind(2, foldName(name)).step();
        if (rc != SQLITE_DONE)
            return regErrorFromSqlite(rc, true);
        return sqlite3_changes(m_db.handle()) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    });
}

} // namespace Dbscout
