// Subsets made by users, mode changes by owners, and ownership changes by the administrator.

#include "sqlite/sqlite_store.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kSetObjectMode = "UPDATE objects SET mode = ?2 WHERE id = ?1";
constexpr const char* kSetObjectOwner = "UPDATE objects SET owner = ?2 WHERE id = ?1";
constexpr const char* kSetObjectGroup = "UPDATE objects SET grp = ?2 WHERE id = ?1";
constexpr const char* kSetSubsetMode = "UPDATE subsets SET mode = ?2 WHERE id = ?1";
constexpr const char* kSetSubsetOwner = "UPDATE subsets SET owner = ?2 WHERE id = ?1";
constexpr const char* kSetSubsetGroup = "UPDATE subsets SET grp = ?2 WHERE id = ?1";
constexpr SqliteStore::OwnershipUpdates kObjectUpdates{kSetObjectOwner, kSetObjectGroup,
                                                       kSetObjectMode};
constexpr SqliteStore::OwnershipUpdates kSubsetUpdates{kSetSubsetOwner, kSetSubsetGroup,
                                                       kSetSubsetMode};
constexpr const char* kAnyUser = "SELECT EXISTS(SELECT 1 FROM users)";
constexpr const char* kUserExists = "SELECT EXISTS(SELECT 1 FROM users WHERE name = ?1)";
constexpr const char* kGroupExists = "SELECT EXISTS(SELECT 1 FROM groups WHERE name = ?1)";
constexpr const char* kSubsetsNamed =
    "SELECT id, kind, owner, grp, mode FROM subsets WHERE name = ?1 LIMIT 2";

// The one-number answer of a statement with optional text bound to ?1.
Status askNumber(SqliteDb& db, const char* sql, const std::string* text, std::int64_t& value)
{
    SqliteStatement* statement = nullptr;
    if (Status status = db.cached(sql, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    if (text)
        use->bind(1, *text);
    if (const int code = use->step(); code != SQLITE_ROW)
        return db.failure(code);
    value = use->integer(0);
    return Status::pass();
}

} // namespace

Status SqliteStore::applyOwnership(const OwnershipUpdates& updates, std::int64_t id,
                                   const std::string& mode, const Ownership& change)
{
    Status status = checkOwnership(change);
    if (status.ok() && change.owner)
        status = m_db.run(updates.owner, id, *change.owner);
    if (status.ok() && change.group)
        status = m_db.run(updates.group, id, *change.group);
    if (status.ok() && change.mode)
        status = m_db.run(updates.mode, id, applyModeChange(mode, *change.mode));
    return status;
}

Status SqliteStore::createSubset(const Session& session, Kind kind, const std::string& name,
                                 const std::vector<std::int64_t>& ids)
{
    Status status = checkSubsetName(name);
    if (!status.ok())
        return status;
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    if (status = transaction.begin(); !status.ok())
        return status;
    const std::string group = session.groups.empty() ? std::string() : session.groups.front();
    std::int64_t id = 0;
    if (status = insertSubset(kind, SubsetInfo{name, session.user, group, kDefaultMode}, id);
        !status.ok())
        return status;
    if (status = addReadableMembers(*this, session, kind, id, ids); !status.ok())
        return status;
    return transaction.commit();
}

Status SqliteStore::setObjectMode(std::int64_t id, const std::string& mode)
{
    return m_db.run(kSetObjectMode, id, mode);
}

Status SqliteStore::changeObjectModes(const Session& session, const ObjectSet& objects,
                                      const std::string& modeChange)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = Molb::changeObjectModes(*this, session, objects, modeChange);
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                                     const std::string& modeChange)
{
    Status status = checkModeChange(modeChange);
    if (!status.ok())
        return status;
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    std::int64_t id = 0;
    SubsetInfo info;
    if (status = transaction.begin(); status.ok())
        status = subsetId(kind, name, id, &info);
    // A subset the session may not read does not exist for it.
    if (status.ok() && rightOf(session, info.owner, info.group, info.mode) == Right::None)
        status = Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                       kindKeyword(kind) + " objects.");
    if (status.ok())
        status = mayChangeSubsetMode(session, name, info.owner);
    if (status.ok())
        status = m_db.run(kSetSubsetMode, id, applyModeChange(info.mode, modeChange));
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::checkOwnership(const Ownership& change)
{
    if (change.mode)
        if (Status status = checkModeChange(*change.mode); !status.ok())
            return status;
    std::int64_t anyUser = 0;
    if (Status status = askNumber(m_db, kAnyUser, nullptr, anyUser); !status.ok() || !anyUser)
        return status; // a store without users knows no names to check against
    std::int64_t known = 0;
    if (change.owner) {
        if (Status status = askNumber(m_db, kUserExists, &*change.owner, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound, "There is no user \"" + *change.owner + "\".");
    }
    if (change.group && !change.group->empty()) {
        if (Status status = askNumber(m_db, kGroupExists, &*change.group, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound,
                                "There is no group \"" + *change.group + "\".");
    }
    return Status::pass();
}

Status SqliteStore::setObjectOwnership(std::int64_t id, const Ownership& change)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    ObjectState state;
    if (status.ok())
        status = objectState(id, std::nullopt, state);
    if (status.ok())
        status = applyOwnership(kObjectUpdates, id, state.mode, change);
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                                       const Ownership& change)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (!status.ok())
        return status;
    std::int64_t id = 0;
    SubsetInfo info;
    if (kind) {
        status = subsetId(*kind, name, id, &info);
    } else {
        SqliteStatement* statement = nullptr;
        if (status = m_db.cached(kSubsetsNamed, statement); !status.ok())
            return status;
        StatementUse use(*statement);
        use->bind(1, name);
        int code = use->step();
        if (code == SQLITE_DONE)
            return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\".");
        if (code != SQLITE_ROW)
            return m_db.failure(code);
        id = use->integer(0);
        info = SubsetInfo{name, use->text(2), use->text(3), use->text(4)};
        if ((code = use->step()) == SQLITE_ROW)
            return Status::fail(ErrorCode::BadRequest, "Subsets named \"" + name +
                                                           "\" exist for several kinds; give "
                                                           "--kind.");
        if (code != SQLITE_DONE)
            return m_db.failure(code);
    }
    if (status.ok())
        status = applyOwnership(kSubsetUpdates, id, info.mode, change);
    return status.ok() ? transaction.commit() : status;
}

} // namespace Dbscout::Molb
