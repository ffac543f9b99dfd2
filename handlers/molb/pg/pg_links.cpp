// The steps of parent-to-descendant links (made by the administrator, followed by saves that
// recalculate or disconnect descendants) and of the revision history, on the server.

#include "pg/pg_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {

Status PgStore::insertLink(std::int64_t parent, std::int64_t child, const std::string& derivation)
{
    return m_db.exec(pgSql(StoreSql::kInsertLink), {parent, child, derivation});
}

Status PgStore::revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    PgResult rows;
    const Status status = m_db.exec(pgSql(StoreSql::kRevisions), {id}, &rows);
    for (int row = 0; status.ok() && row < rows.rows(); ++row)
        revisions.push_back(RevisionInfo{static_cast<int>(rows.integer(row, 0)), rows.text(row, 1),
                                         static_cast<std::time_t>(rows.integer(row, 2)),
                                         rows.text(row, 3), rows.text(row, 4),
                                         rows.integer(row, 5)});
    return status;
}

Status PgStore::linksOf(std::int64_t id, std::vector<std::pair<std::int64_t, std::string>>& links)
{
    PgResult rows;
    const Status status = m_db.exec(pgSql(StoreSql::kLinksOf), {id}, &rows);
    for (int row = 0; status.ok() && row < rows.rows(); ++row)
        links.emplace_back(rows.integer(row, 0), rows.text(row, 1));
    return status;
}

Status PgStore::cutLinks(std::int64_t parent, std::int64_t child)
{
    return child == 0 ? m_db.exec(pgSql(StoreSql::kCutLinks), {parent})
                      : m_db.exec(pgSql(StoreSql::kCutLink), {parent, child});
}

} // namespace Dbscout::Molb
