#include "sqlite/sqlite_schema.h"

#include "model/store.h"

namespace Dbscout::Molb {
namespace {

// pos is an object's place in its kind's listing (the order of storing, from 0), and a
// membership's position its place in the subset: a page at any depth is one index seek, where
// LIMIT/OFFSET would walk every row before it.
constexpr const char* kSchema = R"SQL(
CREATE TABLE kinds(
  kind INTEGER PRIMARY KEY,
  object_count INTEGER NOT NULL DEFAULT 0);
INSERT INTO kinds(kind) VALUES (1), (2), (14), (15), (17);
CREATE TABLE users(
  name TEXT PRIMARY KEY,
  password_hash TEXT NOT NULL,
  primary_group TEXT NOT NULL DEFAULT '') WITHOUT ROWID;
CREATE TABLE groups(name TEXT PRIMARY KEY) WITHOUT ROWID;
CREATE TABLE group_members(
  user_name TEXT NOT NULL REFERENCES users(name) ON DELETE CASCADE,
  group_name TEXT NOT NULL REFERENCES groups(name) ON DELETE CASCADE,
  PRIMARY KEY(user_name, group_name)) WITHOUT ROWID;
CREATE INDEX group_members_group ON group_members(group_name);
CREATE TABLE objects(
  id INTEGER PRIMARY KEY,
  kind INTEGER NOT NULL REFERENCES kinds(kind),
  pos INTEGER NOT NULL,
  name TEXT NOT NULL,
  accession TEXT NOT NULL DEFAULT '',
  arcname TEXT NOT NULL DEFAULT '',
  owner TEXT NOT NULL DEFAULT '',
  grp TEXT NOT NULL DEFAULT '',
  mode TEXT NOT NULL DEFAULT 'wrr',
  checkout_by TEXT NOT NULL DEFAULT '',
  checkout_comment TEXT NOT NULL DEFAULT '',
  revision INTEGER NOT NULL DEFAULT 1,
  created INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  length INTEGER, topology TEXT, organism TEXT, description TEXT,
  authors TEXT, journal TEXT, year TEXT,
  program TEXT, dbname TEXT, hits INTEGER, run_date TEXT,
  analysis_type TEXT, source TEXT,
  UNIQUE(kind, name),
  UNIQUE(kind, pos));
CREATE TABLE revisions(
  object_id INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  revision INTEGER NOT NULL,
  data BLOB NOT NULL,
  arcname TEXT NOT NULL DEFAULT '',
  author TEXT NOT NULL DEFAULT '',
  comment TEXT NOT NULL DEFAULT '',
  created INTEGER NOT NULL,
  PRIMARY KEY(object_id, revision));
CREATE TABLE links(
  parent_id INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  child_id INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  derivation TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(parent_id, child_id)) WITHOUT ROWID;
CREATE INDEX links_child ON links(child_id, parent_id);
CREATE TABLE subsets(
  id INTEGER PRIMARY KEY,
  kind INTEGER NOT NULL REFERENCES kinds(kind),
  name TEXT NOT NULL,
  owner TEXT NOT NULL DEFAULT '',
  grp TEXT NOT NULL DEFAULT '',
  mode TEXT NOT NULL DEFAULT 'wrr',
  member_count INTEGER NOT NULL DEFAULT 0,
  UNIQUE(kind, name));
CREATE TABLE subset_members(
  subset_id INTEGER NOT NULL REFERENCES subsets(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  object_id INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  PRIMARY KEY(subset_id, position),
  UNIQUE(subset_id, object_id)) WITHOUT ROWID;
CREATE INDEX subset_members_object ON subset_members(object_id);
PRAGMA user_version = 2;
)SQL";

// One full-text index per kind, so that a search never has to sort out the other kinds' matches.
std::string fullTextSchema()
{
    std::string sql;
    for (Kind kind : kAllKinds) {
        const std::string table = fullTextTable(kind);
        const std::string number = std::to_string(static_cast<int>(kind));
        const std::string insert = "INSERT INTO " + table +
                                   "(rowid, name, accession, description, organism) VALUES "
                                   "(new.id, new.name, new.accession, new.description, "
                                   "new.organism);";
        const std::string remove = "INSERT INTO " + table + "(" + table +
                                   ", rowid, name, accession, description, organism) VALUES "
                                   "('delete', old.id, old.name, old.accession, old.description, "
                                   "old.organism);";
        sql += "CREATE VIRTUAL TABLE " + table +
               " USING fts5(name, accession, description, organism, content='objects', "
               "content_rowid='id');\n";
        sql += "CREATE TRIGGER " + table +
               "_insert AFTER INSERT ON objects WHEN new.kind = " + number + " BEGIN " + insert +
               " END;\n";
        sql += "CREATE TRIGGER " + table +
               "_delete AFTER DELETE ON objects WHEN old.kind = " + number + " BEGIN " + remove +
               " END;\n";
        sql += "CREATE TRIGGER " + table +
               "_update_old AFTER UPDATE OF kind, name, accession, description, organism ON "
               "objects WHEN old.kind = " +
               number + " BEGIN " + remove + " END;\n";
        sql += "CREATE TRIGGER " + table +
               "_update_new AFTER UPDATE OF kind, name, accession, description, organism ON "
               "objects WHEN new.kind = " +
               number + " BEGIN " + insert + " END;\n";
    }
    return sql;
}

// Version 2 keeps with each link how the descendant was derived from its parent. Another process
// may have upgraded the store since the version was read, so it is read again in the transaction.
Status upgradeFromVersion1(SqliteDb& db)
{
    SqliteTransaction transaction(db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    std::unique_ptr<SqliteStatement> version;
    if (status.ok())
        status = db.prepare("PRAGMA user_version", version);
    if (!status.ok())
        return status;
    if (const int code = version->step(); code != SQLITE_ROW)
        return db.failure(code);
    if (version->integer(0) == 1)
        status = db.execute("ALTER TABLE links ADD COLUMN derivation TEXT NOT NULL DEFAULT '';"
                            " PRAGMA user_version = 2;");
    version.reset();
    return status.ok() ? transaction.commit() : status;
}

} // namespace

Status createSqliteSchema(SqliteDb& db)
{
    Status status = db.execute("PRAGMA journal_mode = WAL");
    if (!status.ok())
        return status;
    SqliteTransaction transaction(db, SqliteTransaction::Kind::Write);
    status = transaction.begin();
    if (status.ok())
        status = db.execute(kSchema);
    if (status.ok())
        status = db.execute(fullTextSchema().c_str());
    if (status.ok())
        status = transaction.commit();
    return status;
}

Status checkSqliteSchema(SqliteDb& db, const std::string& path)
{
    SqliteStatement* statement = nullptr;
    static constexpr const char* kVersion = "PRAGMA user_version";
    Status status = db.cached(kVersion, statement);
    if (!status.ok())
        return Status::fail(ErrorCode::Failure, path + " is not a molb store: " + status.message());
    StatementUse use(*statement);
    const int code = use->step();
    if (code != SQLITE_ROW)
        return Status::fail(ErrorCode::Failure,
                            path + " is not a molb store: " + db.failure(code).message());
    const std::int64_t version = use->integer(0);
    if (version == kSqliteSchemaVersion)
        return Status::pass();
    if (version == 1) {
        use->reset();
        return upgradeFromVersion1(db);
    }
    if (version == 0)
        return Status::fail(ErrorCode::Failure, path + " is not a molb store.");
    return Status::fail(ErrorCode::Failure, path + " was made by a newer molb (schema " +
                                                std::to_string(version) + ").");
}

std::string fullTextTable(Kind kind)
{
    return std::string("objects_fts_") + kindKeyword(kind);
}

void readObjectRow(const SqliteStatement& statement, ObjectRow& row)
{
    row.id = statement.text(0);
    row.owner = statement.text(1);
    row.group = statement.text(2);
    row.mode = statement.text(3);
    row.checkoutBy = statement.text(4);
    for (size_t i = 0; i < kFieldCount; ++i)
        row.meta.values[i] = statement.text(kRowLeadColumns + static_cast<int>(i));
}

} // namespace Dbscout::Molb
