// The primitive steps of the object operations on the server, and check-out, check-in and undo
// check-out built from them (object_steps.h). Every change is a statement the server checks
// again with the user's own rights, so a step that the server refuses is refused here too.

#include "object_id.h"
#include "pg/pg_store.h"
#include "test_pause.h"

#include <ctime>

namespace Dbscout::Molb {
namespace {

// The store's owner reads the table itself; a user reads the catalog, where an object it may not
// read has no name, owner or holder.
constexpr const char* kAdminState =
    "SELECT kind, name, owner, grp, mode, checkout_by, 'w' FROM objects WHERE id = $1";
constexpr const char* kUserState = "SELECT kind, name, owner, grp, mode, checkout_by, access "
                                   "FROM object_catalog WHERE id = $1";
constexpr const char* kLinksOf =
    "SELECT child_id, derivation FROM links WHERE parent_id = $1 ORDER BY child_id";
constexpr const char* kLock = "SELECT molb_lock_objects($1::bigint[])";
constexpr const char* kSetHolder =
    "UPDATE objects SET checkout_by = $2, checkout_comment = $3 WHERE id = $1";
constexpr const char* kCheckedIn =
    "UPDATE objects SET revision = revision + 1, modified = $2, checkout_by = '',"
    " checkout_comment = '' WHERE id = $1 RETURNING revision";
// The current bytes again, as the revision after the current one.
constexpr const char* kCopyRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, comment, created)"
    " SELECT object_id, $2, data, arcname, $3, $4, $5 FROM revisions"
    " WHERE object_id = $1 AND revision = $2 - 1";
constexpr const char* kSetMode = "UPDATE objects SET mode = $2 WHERE id = $1";
constexpr const char* kCutLink = "DELETE FROM links WHERE parent_id = $1 AND child_id = $2";
constexpr const char* kCutLinks = "DELETE FROM links WHERE parent_id = $1";

std::string idArray(const std::vector<std::int64_t>& ids)
{
    std::string text = "{";
    for (std::int64_t id : ids)
        text += (text.size() > 1 ? "," : "") + std::to_string(id);
    return text + "}";
}

// A change the server's policies let through to no row was refused by them.
Status changedOne(const Status& status, const PgResult& result, std::int64_t id)
{
    if (status.ok() && result.affected() != 1)
        return Status::fail(ErrorCode::Denied,
                            "The server refused the change of object " + std::to_string(id) + ".");
    return status;
}

} // namespace

Status PgStore::writing(const std::function<Status()>& work)
{
    m_subsets.reset(); // a write may make, hide or show subsets
    return m_db.transaction(PgConnection::Isolation::ReadCommitted, work);
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
    state = access == "r" || access == "w" ? ObjectState{id,
                                                         row.text(0, 1),
                                                         row.text(0, 2),
                                                         row.text(0, 3),
                                                         row.text(0, 4),
                                                         row.text(0, 5)}
                                           : ObjectState{id, {}, {}, {}, "---", {}};
    return Status::pass();
}

Status PgStore::objectName(std::int64_t id, std::string& name)
{
    ObjectState state;
    Status status = objectState(id, std::nullopt, state);
    name = state.name;
    return status;
}

Status PgStore::linksOf(std::int64_t id, std::vector<std::pair<std::int64_t, std::string>>& links)
{
    PgResult rows;
    Status status = m_db.exec(kLinksOf, {id}, &rows);
    for (int row = 0; status.ok() && row < rows.rows(); ++row)
        links.emplace_back(rows.integer(row, 0), rows.text(row, 1));
    return status;
}

Status PgStore::lockObjects(const std::vector<std::int64_t>& ids)
{
    return m_db.exec(kLock, {idArray(ids)});
}

Status PgStore::setHolder(std::int64_t id, const std::string& user, const std::string& comment)
{
    PgResult result;
    const Status status = m_db.exec(kSetHolder, {id, user, comment}, &result);
    return changedOne(status, result, id);
}

Status PgStore::checkInObject(std::int64_t id, const std::string& author,
                              const std::string& comment)
{
    const std::int64_t now = time(nullptr);
    PgResult result;
    Status status = changedOne(m_db.exec(kCheckedIn, {id, now}, &result), result, id);
    if (status.ok())
        status = m_db.exec(kCopyRevision, {id, result.integer(0, 0), author, comment, now});
    return status;
}

Status PgStore::setObjectMode(std::int64_t id, const std::string& mode)
{
    PgResult result;
    const Status status = m_db.exec(kSetMode, {id, mode}, &result);
    return changedOne(status, result, id);
}

Status PgStore::cutLinks(std::int64_t parent, std::int64_t child)
{
    return child == 0 ? m_db.exec(kCutLinks, {parent}) : m_db.exec(kCutLink, {parent, child});
}

Status PgStore::checkOut(const Session& session, const CheckRequest& request)
{
    return writing([&] { return takeObjects(*this, session, request); });
}

Status PgStore::checkIn(const Session& session, const CheckRequest& request)
{
    return writing([&] {
        Status status = checkInObjects(*this, session, request);
        if (status.ok())
            pauseForTest("checkin");
        return status;
    });
}

Status PgStore::undoCheckOut(const Session& session, const ObjectSet& objects)
{
    return writing([&] { return undoCheckOuts(*this, session, objects); });
}

} // namespace Dbscout::Molb
