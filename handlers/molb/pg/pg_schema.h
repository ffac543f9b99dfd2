#pragma once
// The versions of the server store's schema and the steps between them.

#include "pg/pg_connection.h"

#include <string>
#include <vector>

namespace Dbscout::Molb {

// The schema version this program makes and serves.
int pgSchemaVersion();

// The statements that read a database's schema version, for a batch of the caller's (the second
// fails where the first finds no version table), and the version their answers tell: 0 where
// the database is no store, -1 where its version table is damaged.
std::vector<PgStatement> pgVersionStatements();
int pgVersionFrom(const PgResult& hasTable, const PgResult& version);

// Fails unless version is exactly this program's schema; where names the database in messages.
// An older store is left alone: molb-admin brings it up to date.
Status checkPgSchema(int version, const std::string& where);

// Brings the connected database up to this program's schema, from nothing or from an older
// version, in one transaction; refuses a store of a newer program. Runs as the store's owner.
Status migratePgSchema(PgConnection& db, const std::string& where, bool mustBeNew);

} // namespace Dbscout::Molb
