// The steps of check-out and check-in on the server (object_steps.h): an object's state, the
// locks taken before the checks, holding an object and giving it back with a revision. Every
// change is a statement the server checks again with the user's own rights, so a step that the
// server refuses is refused here too.

#include "model/object_id.h"
#include "pg/pg_store.h"
#include "steps/store_sql.h"

#include <ctime>

namespace Dbscout::Molb {
namespace {

// The store's owner reads the table itself; a user reads the catalog, where an object it may not
// read has no name, owner or holder.
constexpr const char* kAdminState =
    "SELECT kind, name, owner, grp, mode, checkout_by, 'w' FROM objects WHERE id = $1";
constexpr const char* kUserState = "SELECT kind, name, owner, grp, mode, checkout_by, access "
                                   "FROM object_catalog WHERE id = $1";
constexpr const char* kLock = "SELECT molb_lock_objects($1::bigint[])";
constexpr const char* kLockSubsets = "SELECT molb_lock_subsets($1::bigint[])";
constexpr const char* kNameLock = "SELECT pg_advisory_xact_lock($1, hashtext($2))";
constexpr const char* kCheckedIn =
    "UPDATE objects SET revision = revision + 1, modified = $2, checkout_by = '',"
    " checkout_comment = '' WHERE id = $1 RETURNING revision";
// The current bytes again, as the revision after the current one.
constexpr const char* kCopyRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, comment, created)"
    " SELECT object_id, $2, data, arcname, $3, $4, $5 FROM revisions"
    " WHERE object_id = $1 AND revision = $2 - 1";

std::string idArray(const std::vector<std::int64_t>& ids)
{
    std::string text = "{";
    for (std::int64_t id : ids)
        text += (text.size() > 1 ? "," : "") + std::to_string(id);
    return text + "}";
}

} // namespace

Status changedOneObject(const Status& status, const PgResult& result, std::int64_t id)
{
    if (status.ok() && result.affected() != 1)
        return Status::fail(ErrorCode::Denied,
                            "The server refused the change of object " + std::to_string(id) + ".");
    return status;
}

Status PgStore::objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state)
{
    PgResult row;
    if (Status status = m_db.exec(m_admin ? kAdminState : kUserState, {id}, &row); !status.ok())
        return status;
    if (row.rows() == 0 || (kind && static_cast<Kind>(row.integer(0, 0)) != *kind))
        return Status::fail(ErrorCode::NotFound, noObjectMessage(id, kind));
    const std::string access = row.text(0, 6);
    // Where the server says the role may not read it, no rule may say otherwise.
    const Kind itsKind = static_cast<Kind>(row.integer(0, 0));
    state = access == "r" || access == "w" ? ObjectState{id,
                                                         row.text(0, 1),
                                                         row.text(0, 2),
                                                         row.text(0, 3),
                                                         row.text(0, 4),
                                                         row.text(0, 5),
                                                         itsKind}
                                           : ObjectState{id, {}, {}, {}, "---", {}, itsKind};
    return Status::pass();
}

Status PgStore::lockObjects(const std::vector<std::int64_t>& ids)
{
    return m_db.exec(kLock, {idArray(ids)});
}

Status PgStore::lockSubset(std::int64_t id)
{
    return m_db.exec(kLockSubsets, {idArray({id})});
}

Status PgStore::lockName(Kind kind, const std::string& name)
{
    return m_db.exec(kNameLock, {static_cast<int>(kind), name});
}

Status PgStore::setHolder(std::int64_t id, const std::string& user, const std::string& comment)
{
    PgResult result;
    const Status status = m_db.exec(pgSql(StoreSql::kSetHolder), {id, user, comment}, &result);
    return changedOneObject(status, result, id);
}

Status PgStore::checkInObject(std::int64_t id, const std::string& author,
                              const std::string& comment)
{
    const std::int64_t now = time(nullptr);
    PgResult result;
    Status status = changedOneObject(m_db.exec(kCheckedIn, {id, now}, &result), result, id);
    if (status.ok())
        status = m_db.exec(kCopyRevision, {id, result.integer(0, 0), author, comment, now});
    return status;
}

} // namespace Dbscout::Molb
