// Parent-to-descendant links made by the administrator, derived objects, and the revision
// history.

#include "pg/pg_store.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kInsertLink =
    "INSERT INTO links(parent_id, child_id, derivation) VALUES ($1, $2, $3)";
constexpr const char* kRevisions =
    "SELECT revision, author, created, comment, arcname, length(data) FROM revisions"
    " WHERE object_id = $1 ORDER BY revision";

} // namespace

Status PgStore::addLink(std::int64_t parent, std::int64_t child, const std::string& derivation)
{
    return writing([&] {
        Status status = checkNewLink(*this, parent, child);
        if (status.ok())
            status = m_db.exec(kInsertLink, {parent, child, derivation});
        if (status.code() == ErrorCode::Conflict)
            return Status::fail(ErrorCode::Conflict, "Object " + std::to_string(child) +
                                                         " is a descendant of object " +
                                                         std::to_string(parent) + " already.");
        return status;
    });
}

Status PgStore::addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                           std::vector<std::int64_t>& ids)
{
    const Status status = writing([&] {
        ids.clear();
        ObjectState from;
        Status status = objectState(parent, std::nullopt, from);
        for (size_t i = 0; status.ok() && i < objects.size(); ++i) {
            std::int64_t id = 0;
            status = insertObject(objects[i].object, from.owner, from.group, from.mode, id);
            if (status.ok())
                status = m_db.exec(kInsertLink, {parent, id, objects[i].derivation});
            ids.push_back(id);
        }
        return status;
    });
    if (!status.ok())
        ids.clear();
    return status;
}

Status PgStore::revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    return m_db.transaction(PgConnection::Isolation::Snapshot, [&] {
        revisions.clear();
        ObjectState state;
        PgResult rows;
        Status status = objectState(id, std::nullopt, state);
        if (status.ok())
            status = m_db.exec(kRevisions, {id}, &rows);
        for (int row = 0; status.ok() && row < rows.rows(); ++row)
            revisions.push_back(
                RevisionInfo{static_cast<int>(rows.integer(row, 0)), rows.text(row, 1),
                             static_cast<std::time_t>(rows.integer(row, 2)), rows.text(row, 3),
                             rows.text(row, 4), rows.integer(row, 5)});
        return status;
    });
}

} // namespace Dbscout::Molb
