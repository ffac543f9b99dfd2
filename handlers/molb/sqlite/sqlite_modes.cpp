// The steps of subsets and of owners, groups and modes (object_steps.h).

#include "sqlite/sqlite_store.h"

namespace Dbscout::Molb {
namespace {

// By Owned, then OwnedPart.
constexpr const char* kSetOwned[2][3] = {
    {"UPDATE objects SET owner = ?2 WHERE id = ?1", "UPDATE objects SET grp = ?2 WHERE id = ?1",
     "UPDATE objects SET mode = ?2 WHERE id = ?1"},
    {"UPDATE subsets SET owner = ?2 WHERE id = ?1", "UPDATE subsets SET grp = ?2 WHERE id = ?1",
     "UPDATE subsets SET mode = ?2 WHERE id = ?1"}};
constexpr const char* kSubsetByName =
    "SELECT id, owner, grp, mode FROM subsets WHERE kind = ?1 AND name = ?2";
constexpr const char* kSubsetsNamed =
    "SELECT id, owner, grp, mode FROM subsets WHERE name = ?1 ORDER BY id LIMIT 2";
constexpr const char* kInsertSubset =
    "INSERT INTO subsets(kind, name, owner, grp, mode) VALUES (?1, ?2, ?3, ?4, ?5)";
constexpr const char* kAppendMember =
    "INSERT OR IGNORE INTO subset_members(subset_id, position, object_id)"
    " SELECT ?1, member_count, ?2 FROM subsets WHERE id = ?1";
constexpr const char* kCountMember =
    "UPDATE subsets SET member_count = member_count + 1 WHERE id = ?1";

} // namespace

Status SqliteStore::setOwnedPart(Owned what, std::int64_t id, OwnedPart part,
                                 const std::string& value)
{
    return m_db.run(kSetOwned[static_cast<int>(what)][static_cast<int>(part)], id, value);
}

Status SqliteStore::subsetState(Kind kind, const std::string& name, std::int64_t& id,
                                SubsetInfo* info)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kSubsetByName, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, static_cast<std::int64_t>(kind));
    use->bind(2, name);
    const int code = use->step();
    if (code == SQLITE_DONE)
        return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                     kindKeyword(kind) + " objects.");
    if (code != SQLITE_ROW)
        return m_db.failure(code);
    id = use->integer(0);
    if (info)
        *info = SubsetInfo{name, use->text(1), use->text(2), use->text(3)};
    return Status::pass();
}

Status SqliteStore::subsetHidden(Kind, const std::string&, bool& hidden)
{
    hidden = false;
    return Status::pass();
}

Status SqliteStore::subsetsNamed(const std::string& name,
                                 std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kSubsetsNamed, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, name);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW)
        subsets.emplace_back(use->integer(0),
                             SubsetInfo{name, use->text(1), use->text(2), use->text(3)});
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id)
{
    const Status status = m_db.run(kInsertSubset, static_cast<std::int64_t>(kind), subset.name,
                                   subset.owner, subset.group, subset.mode);
    if (status.code() == ErrorCode::Conflict)
        return subsetNameTaken(kind, subset.name);
    if (status.ok())
        id = sqlite3_last_insert_rowid(m_db.handle());
    return status;
}

Status SqliteStore::appendMember(std::int64_t subset, std::int64_t object)
{
    Status status = m_db.run(kAppendMember, subset, object);
    if (!status.ok() || sqlite3_changes(m_db.handle()) == 0)
        return status; // failed, or already a member
    return m_db.run(kCountMember, subset);
}

} // namespace Dbscout::Molb
