// Parent-to-descendant links: made by the administrator, followed by saves that recalculate or
// disconnect descendants; and the revision history.

#include "derivation.h"
#include "sqlite/sqlite_store.h"

#include <unordered_set>

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

// Why the session cannot recalculate a descendant it found; empty when it can.
std::string obstacle(const Session& session, const ObjectState& child)
{
    if (rightOf(session, child.owner, child.group, child.mode) != Right::Write)
        return "you may not change it";
    if (!child.checkoutBy.empty() && child.checkoutBy != session.user)
        return "it is checked out by " + child.checkoutBy;
    return {};
}

} // namespace

Status SqliteStore::addLink(std::int64_t parent, std::int64_t child, const std::string& derivation)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    ObjectState state;
    if (status.ok())
        status = objectState(parent, std::nullopt, state);
    if (status.ok())
        status = objectState(child, std::nullopt, state);
    std::vector<std::int64_t> below;
    if (status.ok())
        status = descendantClosure(
            {child},
            [this](std::int64_t id, std::vector<std::int64_t>& children) {
                return childrenOf(id, children);
            },
            below);
    if (status.ok() &&
        (parent == child || std::find(below.begin(), below.end(), parent) != below.end()))
        return Status::fail(ErrorCode::BadRequest,
                            "Object " + std::to_string(parent) + " descends from object " +
                                std::to_string(child) + "; the link would close a circle.");
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

Status SqliteStore::treatDescendants(const Session& session, const Located& saved,
                                     const SaveRequest& request, SaveOutcome& outcome)
{
    switch (request.descendants) {
    case DescendantMode::Leave:
        return Status::pass();
    case DescendantMode::Disconnect:
        return m_db.run(kCutLinks, saved.id);
    case DescendantMode::Reconstruct:
        break;
    }
    // Breadth first from the saved object: a recalculated descendant passes its new bytes on.
    std::vector<std::pair<std::int64_t, std::string>> level{{saved.id, request.object.bytes}};
    std::unordered_set<std::int64_t> seen{saved.id};
    while (!level.empty()) {
        std::vector<std::pair<std::int64_t, std::string>> next;
        for (const auto& [parent, bytes] : level) {
            if (Status status = recalculate(session, parent, bytes, request, outcome, next);
                !status.ok())
                return status;
        }
        std::erase_if(next,
                      [&seen](const auto& entry) { return !seen.insert(entry.first).second; });
        level = std::move(next);
    }
    return Status::pass();
}

Status SqliteStore::recalculate(const Session& session, std::int64_t parent,
                                const std::string& parentBytes, const SaveRequest& request,
                                SaveOutcome& outcome,
                                std::vector<std::pair<std::int64_t, std::string>>& next)
{
    std::vector<std::pair<std::int64_t, std::string>> links;
    {
        SqliteStatement* statement = nullptr;
        if (Status status = m_db.cached(kLinksOf, statement); !status.ok())
            return status;
        StatementUse use(*statement);
        use->bind(1, parent);
        int code = SQLITE_ROW;
        while ((code = use->step()) == SQLITE_ROW)
            links.emplace_back(use->integer(0), use->text(1));
        if (code != SQLITE_DONE)
            return m_db.failure(code);
    }
    for (const auto& [child, derivation] : links) {
        ObjectState state;
        if (Status status = objectState(child, std::nullopt, state); !status.ok())
            return status;
        std::string reason = obstacle(session, state);
        NewObject remade;
        if (reason.empty()) {
            if (Status derived = deriveObject(derivation, parentBytes, state.name, remade);
                !derived.ok())
                reason = derived.message();
        }
        if (reason.empty()) {
            Located located;
            Status status = locate(ObjectRef{std::nullopt, std::to_string(child), 0}, located);
            if (status.ok())
                status = addRevision(located, remade, session.user);
            if (!status.ok())
                return status;
            ++outcome.recalculated;
            next.emplace_back(child, std::move(remade.bytes));
            continue;
        }
        DescendantNote note{objectLabel(session, state), reason, request.disconnectUnrecalculable};
        if (note.disconnected)
            if (Status status = m_db.run(kCutLink, parent, child); !status.ok())
                return status;
        outcome.notes.push_back(std::move(note));
    }
    return Status::pass();
}

} // namespace Dbscout::Molb
