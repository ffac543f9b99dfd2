// The steps of parent-to-descendant links (made by the administrator, followed by saves that
// recalculate or disconnect descendants) and of the revision history.

#include "sqlite/sqlite_store.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kInsertLink =
    "INSERT INTO links(parent_id, child_id, derivation) VALUES (?1, ?2, ?3)";
constexpr const char* kLinksOf =
    "SELECT child_id, derivation FROM links WHERE parent_id = ?1 ORDER BY child_id";
constexpr const char* kCutLink = "DELETE FROM links WHERE parent_id = ?1 AND child_id = ?2";
constexpr const char* kCutLinks = "DELETE FROM links WHERE parent_id = ?1";
constexpr const char* kRevisions =
    "SELECT revision, author, created, comment, arcname, length(data) FROM revisions"
    " WHERE object_id = ?1 ORDER BY revision";

} // namespace

Status SqliteStore::insertLink(std::int64_t parent, std::int64_t child,
                               const std::string& derivation)
{
    return m_db.run(kInsertLink, parent, child, derivation);
}

Status SqliteStore::revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kRevisions, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW)
        revisions.push_back(RevisionInfo{static_cast<int>(use->integer(0)), use->text(1),
                                         static_cast<std::time_t>(use->integer(2)), use->text(3),
                                         use->text(4), use->integer(5)});
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::linksOf(std::int64_t id,
                            std::vector<std::pair<std::int64_t, std::string>>& links)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kLinksOf, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW)
        links.emplace_back(use->integer(0), use->text(1));
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::cutLinks(std::int64_t parent, std::int64_t child)
{
    return child == 0 ? m_db.run(kCutLinks, parent) : m_db.run(kCutLink, parent, child);
}

} // namespace Dbscout::Molb
