#pragma once
// The versions of the server store's schema and the steps between them.

#include "pg/pg_connection.h"

#include <string>

namespace Dbscout::Molb {

// The schema version this program makes and serves.
int pgSchemaVersion();

// Fails unless the connected database is a store of exactly this program's schema; where names
// the database in messages. An older store is left alone: molb-admin brings it up to date.
Status checkPgSchema(PgConnection& db, const std::string& where);

// Brings the connected database up to this program's schema, from nothing or from an older
// version, in one transaction; refuses a store of a newer program. Runs as the store's owner.
Status migratePgSchema(PgConnection& db, const std::string& where, bool mustBeNew);

} // namespace Dbscout::Molb
