// The steps of subsets and of owners, groups and modes (object_steps.h).

#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kAppendMember =
    "INSERT OR IGNORE INTO subset_members(subset_id, position, object_id)"
    " SELECT ?1, member_count, ?2 FROM subsets WHERE id = ?1";
constexpr const char* kCountMember =
    "UPDATE subsets SET member_count = member_count + 1 WHERE id = ?1";

} // namespace

Status SqliteStore::setOwnedPart(Owned what, std::int64_t id, OwnedPart part,
                                 const std::string& value)
{
    return m_db.run(StoreSql::kSetOwned[static_cast<int>(what)][static_cast<int>(part)], id, value);
}

Status SqliteStore::subsetState(Kind kind, const std::string& name, std::int64_t& id,
                                SubsetInfo* info)
{
    bool found = false;
    const auto read = [&](const SqliteStatement& row) {
        found = true;
        id = row.integer(0);
        if (info)
            *info = SubsetInfo{name, row.text(1), row.text(2), row.text(3)};
        return Status::pass();
    };
    const Status status =
        m_db.eachRow(StoreSql::kSubsetByName, read, static_cast<std::int64_t>(kind), name);
    if (status.ok() && !found)
        return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                     kindKeyword(kind) + " objects.");
    return status;
}

Status SqliteStore::subsetHidden(Kind, const std::string&, bool& hidden)
{
    hidden = false;
    return Status::pass();
}

Status SqliteStore::subsetsNamed(const std::string& name,
                                 std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets)
{
    const auto read = [&](const SqliteStatement& row) {
        subsets.emplace_back(row.integer(0),
                             SubsetInfo{name, row.text(1), row.text(2), row.text(3)});
        return Status::pass();
    };
    return m_db.eachRow(StoreSql::kSubsetsNamed, read, name);
}

Status SqliteStore::insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id)
{
    const auto read = [&id](const SqliteStatement& row) {
        id = row.integer(0);
        return Status::pass();
    };
    const Status status =
        m_db.eachRow(StoreSql::kInsertSubset, read, static_cast<std::int64_t>(kind), subset.name,
                     subset.owner, subset.group, subset.mode);
    return status.code() == ErrorCode::Conflict ? subsetNameTaken(kind, subset.name) : status;
}

Status SqliteStore::appendMember(std::int64_t subset, std::int64_t object)
{
    Status status = m_db.run(kAppendMember, subset, object);
    if (!status.ok() || sqlite3_changes(m_db.handle()) == 0)
        return status; // failed, or already a member
    return m_db.run(kCountMember, subset);
}

} // namespace Dbscout::Molb
