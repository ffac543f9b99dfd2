#pragma once
// The tables of an embedded store.

#include "model/object_columns.h"
#include "sqlite/sqlite_db.h"

namespace Dbscout::Molb {

inline constexpr int kSqliteSchemaVersion = 2;

// Creates every table, index and trigger of an empty store, in WAL mode.
Status createSqliteSchema(SqliteDb& db);
// Fails unless the file is a store of the schema version this program knows; upgrades a store of
// an earlier version.
Status checkSqliteSchema(SqliteDb& db, const std::string& path);

// The full-text index of a kind's objects: objects_fts_ and the kind's keyword.
std::string fullTextTable(Kind kind);

// Reads back a listing row of the columns objectRowColumns names.
struct ObjectRow;
void readObjectRow(const SqliteStatement& statement, ObjectRow& row);

} // namespace Dbscout::Molb
