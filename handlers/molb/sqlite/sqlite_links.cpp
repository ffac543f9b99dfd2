// The steps of parent-to-descendant links (made by the administrator, followed by saves that
// recalculate or disconnect descendants) and of the revision history.

#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {

Status SqliteStore::insertLink(std::int64_t parent, std::int64_t child,
                               const std::string& derivation)
{
    return m_db.run(StoreSql::kInsertLink, parent, child, derivation);
}

Status SqliteStore::revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    const auto read = [&revisions](const SqliteStatement& row) {
        revisions.push_back(RevisionInfo{static_cast<int>(row.integer(0)), row.text(1),
                                         static_cast<std::time_t>(row.integer(2)), row.text(3),
                                         row.text(4), row.integer(5)});
        return Status::pass();
    };
    return m_db.eachRow(StoreSql::kRevisions, read, id);
}

Status SqliteStore::linksOf(std::int64_t id,
                            std::vector<std::pair<std::int64_t, std::string>>& links)
{
    const auto read = [&links](const SqliteStatement& row) {
        links.emplace_back(row.integer(0), row.text(1));
        return Status::pass();
    };
    return m_db.eachRow(StoreSql::kLinksOf, read, id);
}

Status SqliteStore::cutLinks(std::int64_t parent, std::int64_t child)
{
    return child == 0 ? m_db.run(StoreSql::kCutLinks, parent)
                      : m_db.run(StoreSql::kCutLink, parent, child);
}

} // namespace Dbscout::Molb
