// The steps of subsets and of owners, groups and modes on the server (object_steps.h).

#include "pg/pg_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kSubsetExists = "SELECT molb_subset_exists($1, $2)";
constexpr const char* kAppendMember =
    "INSERT INTO subset_members(subset_id, object_id) VALUES ($1, $2)";

} // namespace

Status PgStore::setOwnedPart(Owned what, std::int64_t id, OwnedPart part, const std::string& value)
{
    PgResult result;
    const Status status =
        m_db.exec(pgSql(StoreSql::kSetOwned[static_cast<int>(what)][static_cast<int>(part)]),
                  {id, value}, &result);
    return what == Owned::Object ? changedOneObject(status, result, id) : status;
}

Status PgStore::subsetState(Kind kind, const std::string& name, std::int64_t& id, SubsetInfo* info)
{
    PgResult row;
    if (Status status =
            m_db.exec(pgSql(StoreSql::kSubsetByName), {static_cast<int>(kind), name}, &row);
        !status.ok())
        return status;
    if (row.rows() == 0)
        return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                     kindKeyword(kind) + " objects.");
    id = row.integer(0, 0);
    if (info)
        *info = SubsetInfo{name, row.text(0, 1), row.text(0, 2), row.text(0, 3)};
    return Status::pass();
}

Status PgStore::subsetHidden(Kind kind, const std::string& name, bool& hidden)
{
    PgResult row;
    const Status status = m_db.exec(kSubsetExists, {static_cast<int>(kind), name}, &row);
    hidden = status.ok() && row.rows() == 1 && row.text(0, 0) == "t";
    return status;
}

Status PgStore::subsetsNamed(const std::string& name,
                             std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets)
{
    PgResult rows;
    const Status status = m_db.exec(pgSql(StoreSql::kSubsetsNamed), {name}, &rows);
    for (int row = 0; status.ok() && row < rows.rows(); ++row)
        subsets.emplace_back(
            rows.integer(row, 0),
            SubsetInfo{name, rows.text(row, 1), rows.text(row, 2), rows.text(row, 3)});
    return status;
}

Status PgStore::insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id)
{
    PgResult row;
    const Status status = m_db.exec(
        pgSql(StoreSql::kInsertSubset),
        {static_cast<int>(kind), subset.name, subset.owner, subset.group, subset.mode}, &row);
    if (status.code() == ErrorCode::Conflict && m_db.lastState() == "23505")
        return subsetNameTaken(kind, subset.name);
    if (status.ok())
        id = row.integer(0, 0);
    return status;
}

Status PgStore::appendMember(std::int64_t subset, std::int64_t object)
{
    return m_db.exec(kAppendMember, {subset, object});
}

} // namespace Dbscout::Molb
