// Subsets made by users, mode changes by owners, and ownership changes by the administrator.

#include "pg/pg_store.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kLockSubsets = "SELECT molb_lock_subsets($1::bigint[])";
constexpr const char* kSubsetMode = "UPDATE subsets SET mode = $2 WHERE id = $1";
constexpr const char* kAnyUser = "SELECT EXISTS (SELECT 1 FROM users)";
constexpr const char* kUserExists = "SELECT EXISTS (SELECT 1 FROM users WHERE name = $1)";
constexpr const char* kGroupExists = "SELECT EXISTS (SELECT 1 FROM groups WHERE name = $1)";
constexpr const char* kSubsetsNamed =
    "SELECT id, kind, owner, grp, mode FROM subsets WHERE name = $1 ORDER BY id LIMIT 2";

// The statements that change an object's or a subset's owner, group and mode.
struct OwnershipUpdates
{
    const char* owner;
    const char* group;
    const char* mode;
};
constexpr OwnershipUpdates kObjectUpdates{"UPDATE objects SET owner = $2 WHERE id = $1",
                                          "UPDATE objects SET grp = $2 WHERE id = $1",
                                          "UPDATE objects SET mode = $2 WHERE id = $1"};
constexpr OwnershipUpdates kSubsetUpdates{"UPDATE subsets SET owner = $2 WHERE id = $1",
                                          "UPDATE subsets SET grp = $2 WHERE id = $1",
                                          "UPDATE subsets SET mode = $2 WHERE id = $1"};

Status ask(PgConnection& db, const char* sql, std::initializer_list<PgValue> values, bool& yes)
{
    PgResult row;
    Status status = db.exec(sql, values, &row);
    yes = status.ok() && row.rows() == 1 && row.text(0, 0) == "t";
    return status;
}

} // namespace

Status PgStore::appendMember(std::int64_t subsetId, std::int64_t objectId)
{
    return m_db.exec("INSERT INTO subset_members(subset_id, object_id) VALUES ($1, $2)",
                     {subsetId, objectId});
}

Status PgStore::createSubset(const Session& session, Kind kind, const std::string& name,
                             const std::vector<std::int64_t>& ids)
{
    Status status = checkSubsetName(name);
    if (!status.ok())
        return status;
    const std::string group = session.groups.empty() ? std::string() : session.groups.front();
    return writing([&] {
        std::int64_t id = 0;
        Status status = insertSubset(kind, SubsetInfo{name, session.user, group, kDefaultMode}, id);
        return status.ok() ? addReadableMembers(*this, session, kind, id, ids) : status;
    });
}

Status PgStore::changeObjectModes(const Session& session, const ObjectSet& objects,
                                  const std::string& modeChange)
{
    return writing([&] { return Molb::changeObjectModes(*this, session, objects, modeChange); });
}

Status PgStore::changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                                 const std::string& modeChange)
{
    Status status = checkModeChange(modeChange);
    if (!status.ok())
        return status;
    return writing([&] {
        std::int64_t id = 0;
        SubsetInfo info;
        // Read again once locked, so that two changes of different positions both count.
        Status status = subsetRow(kind, name, id, nullptr);
        if (status.ok())
            status = m_db.exec(kLockSubsets, {"{" + std::to_string(id) + "}"});
        if (status.ok())
            status = subsetRow(kind, name, id, &info);
        // A subset the session may not read does not exist for it.
        if (status.ok() && rightOf(session, info.owner, info.group, info.mode) == Right::None)
            status = Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                           kindKeyword(kind) + " objects.");
        if (status.ok())
            status = mayChangeSubsetMode(session, name, info.owner);
        if (status.ok())
            status = m_db.exec(kSubsetMode, {id, applyModeChange(info.mode, modeChange)});
        return status;
    });
}

Status PgStore::checkOwnership(const Ownership& change)
{
    if (change.mode)
        if (Status status = checkModeChange(*change.mode); !status.ok())
            return status;
    bool known = false;
    if (Status status = ask(m_db, kAnyUser, {}, known); !status.ok() || !known)
        return status; // a store without users knows no names to check against
    if (change.owner) {
        if (Status status = ask(m_db, kUserExists, {*change.owner}, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound, "There is no user \"" + *change.owner + "\".");
    }
    if (change.group && !change.group->empty()) {
        if (Status status = ask(m_db, kGroupExists, {*change.group}, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound,
                                "There is no group \"" + *change.group + "\".");
    }
    return Status::pass();
}

Status PgStore::applyOwnership(bool object, std::int64_t id, const std::string& mode,
                               const Ownership& change)
{
    const OwnershipUpdates& updates = object ? kObjectUpdates : kSubsetUpdates;
    Status status = checkOwnership(change);
    if (status.ok() && change.owner)
        status = m_db.exec(updates.owner, {id, *change.owner});
    if (status.ok() && change.group)
        status = m_db.exec(updates.group, {id, *change.group});
    if (status.ok() && change.mode)
        status = m_db.exec(updates.mode, {id, applyModeChange(mode, *change.mode)});
    return status;
}

Status PgStore::setObjectOwnership(std::int64_t id, const Ownership& change)
{
    return writing([&] {
        ObjectState state;
        Status status = lockObjects({id});
        if (status.ok())
            status = objectState(id, std::nullopt, state);
        return status.ok() ? applyOwnership(true, id, state.mode, change) : status;
    });
}

Status PgStore::setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                                   const Ownership& change)
{
    return writing([&] {
        std::int64_t id = 0;
        SubsetInfo info;
        if (kind) {
            if (Status status = subsetRow(*kind, name, id, &info); !status.ok())
                return status;
            return applyOwnership(false, id, info.mode, change);
        }
        PgResult rows;
        if (Status status = m_db.exec(kSubsetsNamed, {name}, &rows); !status.ok())
            return status;
        if (rows.rows() == 0)
            return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\".");
        if (rows.rows() > 1)
            return Status::fail(ErrorCode::BadRequest, "Subsets named \"" + name +
                                                           "\" exist for several kinds; give "
                                                           "--kind.");
        return applyOwnership(false, rows.integer(0, 0), rows.text(0, 4), change);
    });
}

} // namespace Dbscout::Molb
