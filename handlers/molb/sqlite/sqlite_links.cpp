// Parent-to-descendant links: made by the administrator, followed by saves that recalculate or
// disconnect descendants; and the revision history.

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

Status SqliteStore::addLink(std::int64_t parent, std::int64_t child, const std::string& derivation)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = checkNewLink(*this, parent, child);
    if (status.ok())
        status = m_db.run(kInsertLink, parent, child, derivation);
    if (status.code() == ErrorCode::Conflict)
        return Status::fail(ErrorCode::Conflict, "Object " + std::to_string(child) +
                                                     " is a descendant of object " +
                                                     std::to_string(parent) + " already.");
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                               std::vector<std::int64_t>& ids)
{
    ids.clear();
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    ObjectState from;
    if (status.ok())
        status = objectState(parent, std::nullopt, from);
    for (size_t i = 0; status.ok() && i < objects.size(); ++i) {
        std::int64_t id = 0;
        status = insertObject(objects[i].object, from.owner, from.group, from.mode, id);
        if (status.ok())
            status = m_db.run(kInsertLink, parent, id, objects[i].derivation);
        ids.push_back(id);
    }
    if (!status.ok())
        ids.clear();
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    revisions.clear();
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Read);
    Status status = transaction.begin();
    ObjectState state;
    if (status.ok())
        status = objectState(id, std::nullopt, state);
    SqliteStatement* statement = nullptr;
    if (status.ok())
        status = m_db.cached(kRevisions, statement);
    if (!status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW)
        revisions.push_back(RevisionInfo{static_cast<int>(use->integer(0)), use->text(1),
                                         static_cast<std::time_t>(use->integer(2)), use->text(3),
                                         use->text(4), use->integer(5)});
    return code == SQLITE_DONE ? transaction.commit() : m_db.failure(code);
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

Status SqliteStore::addRevisionOf(std::int64_t id, const NewObject& remade,
                                  const std::string& author, int& revision)
{
    Located located;
    Status status = locate(ObjectRef{std::nullopt, std::to_string(id), 0}, located);
    revision = located.revision + 1;
    return status.ok() ? addRevision(located, remade, author) : status;
}

} // namespace Dbscout::Molb
