#include "pg/pg_schema.h"

#include "pg/pg_schema_v1.sql.h"
#include "pg/pg_schema_v2.sql.h"
#include "pg/pg_schema_v3.sql.h"
#include "pg/pg_schema_v4.sql.h"

#include <vector>

namespace Dbscout::Molb {
namespace {

// Step i takes a store from version i to version i + 1 (from no store to version 1 first). Steps
// are only ever appended.
const std::vector<const char*>& schemaSteps()
{
    static const std::vector<const char*> steps = {kPgSchemaV1.c_str(), kPgSchemaV2.c_str(),
                                                   kPgSchemaV3, kPgSchemaV4};
    return steps;
}

constexpr const char* kHasSchemaTable = "SELECT to_regclass('public.molb_schema') IS NOT NULL";
constexpr const char* kVersion = "SELECT version FROM molb_schema";
constexpr const char* kSetVersion = "UPDATE molb_schema SET version = $1";
// Two administrators bringing one store up to date wait for each other.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(hashtext('molb schema'))";

Status readVersion(PgConnection& db, int& version)
{
    PgResult hasTable, stored;
    Status status = db.exec(kHasSchemaTable, {}, &hasTable);
    if (status.ok() && hasTable.text(0, 0) == "t")
        status = db.exec(kVersion, {}, &stored);
    version = pgVersionFrom(hasTable, stored);
    return status;
}

Status newer(const std::string& where, int version)
{
    return Status::fail(ErrorCode::Failure, "The " + where + " was made by a newer molb (schema " +
                                                std::to_string(version) + ").");
}

} // namespace

int pgSchemaVersion()
{
    return static_cast<int>(schemaSteps().size());
}

std::vector<PgStatement> pgVersionStatements()
{
    return {{kHasSchemaTable, {}}, {kVersion, {}}};
}

int pgVersionFrom(const PgResult& hasTable, const PgResult& version)
{
    if (hasTable.rows() != 1 || hasTable.text(0, 0) != "t")
        return 0;
    return version.rows() == 1 ? static_cast<int>(version.integer(0, 0)) : -1;
}

Status checkPgSchema(int version, const std::string& where)
{
    if (version == pgSchemaVersion())
        return Status::pass();
    if (version <= 0)
        return Status::fail(ErrorCode::Failure, "The " + where + " is not a molb store.");
    if (version > pgSchemaVersion())
        return newer(where, version);
    return Status::fail(ErrorCode::Failure,
                        "The " + where + " has an older schema (" + std::to_string(version) +
                            "); any molb-admin command on it brings it up to date.");
}

Status migratePgSchema(PgConnection& db, const std::string& where, bool mustBeNew)
{
    return db.transaction(PgConnection::Isolation::ReadCommitted, [&] {
        Status status = db.exec(kMigrationLock);
        int version = 0;
        if (status.ok())
            status = readVersion(db, version);
        if (!status.ok())
            return status;
        if (mustBeNew && version != 0)
            return Status::fail(ErrorCode::Conflict, "The " + where + " is a molb store already.");
        // Only init makes a store of a database; no other command takes one over.
        if (version < 0 || (!mustBeNew && version == 0))
            return Status::fail(ErrorCode::Failure, "The " + where + " is not a molb store.");
        if (version > pgSchemaVersion())
            return newer(where, version);
        for (int step = version; status.ok() && step < pgSchemaVersion(); ++step)
            status = db.execScript(schemaSteps()[static_cast<size_t>(step)]);
        if (status.ok() && version < pgSchemaVersion())
            status = db.exec(kSetVersion, {pgSchemaVersion()});
        return status;
    });
}

} // namespace Dbscout::Molb
