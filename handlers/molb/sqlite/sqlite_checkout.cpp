// Check-out, check-in and undo check-out: the checks of object_rules.h over every object first,
// then the changes, in one write transaction.

#include "sqlite/sqlite_store.h"
#include "test_pause.h"

#include <ctime>

namespace Dbscout::Molb {
namespace {

constexpr const char* kObjectState =
    "SELECT kind, name, owner, grp, mode, checkout_by FROM objects WHERE id = ?1";
constexpr const char* kChildren =
    "SELECT child_id FROM links WHERE parent_id = ?1 ORDER BY child_id";
constexpr const char* kSetHolder =
    "UPDATE objects SET checkout_by = ?2, checkout_comment = ?3 WHERE id = ?1";
// The current bytes again, as the revision after the current one.
constexpr const char* kCopyRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, comment, created)"
    " SELECT r.object_id, r.revision + 1, r.data, r.arcname, ?2, ?3, ?4 FROM objects o"
    " JOIN revisions r ON r.object_id = o.id AND r.revision = o.revision WHERE o.id = ?1";
constexpr const char* kCheckedIn =
    "UPDATE objects SET revision = revision + 1, modified = ?2, checkout_by = '',"
    " checkout_comment = '' WHERE id = ?1";

} // namespace

Status SqliteStore::objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kObjectState, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    const int code = use->step();
    if (code != SQLITE_ROW && code != SQLITE_DONE)
        return m_db.failure(code);
    if (code == SQLITE_DONE || (kind && static_cast<Kind>(use->integer(0)) != *kind))
        return Status::fail(
            ErrorCode::NotFound,
            "There is no object " + std::to_string(id) +
                (kind ? std::string(" of ") + kindKeyword(*kind) + " objects" : std::string()) +
                ".");
    state = ObjectState{id, use->text(1), use->text(2), use->text(3), use->text(4), use->text(5)};
    return Status::pass();
}

Status SqliteStore::objectName(std::int64_t id, std::string& name)
{
    ObjectState state;
    Status status = objectState(id, std::nullopt, state);
    name = state.name;
    return status;
}

Status SqliteStore::childrenOf(std::int64_t id, std::vector<std::int64_t>& children)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kChildren, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW)
        children.push_back(use->integer(0));
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::collectStates(const ObjectSet& objects, bool descendants,
                                  std::vector<ObjectState>& states)
{
    states.clear();
    if (objects.ids.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "The address names no object: put the ids after the kind, joined by "
                            "\",\".");
    std::vector<std::int64_t> more;
    if (descendants) {
        Status status = descendantClosure(
            objects.ids,
            [this](std::int64_t id, std::vector<std::int64_t>& children) {
                return childrenOf(id, children);
            },
            more);
        if (!status.ok())
            return status;
    }
    for (std::int64_t id : objects.ids) {
        states.emplace_back();
        if (Status status = objectState(id, objects.kind, states.back()); !status.ok())
            return status;
    }
    // Descendants may be of another kind (a protein made from a DNA record).
    for (std::int64_t id : more) {
        states.emplace_back();
        if (Status status = objectState(id, std::nullopt, states.back()); !status.ok())
            return status;
    }
    return Status::pass();
}

Status SqliteStore::takeObjects(const Session& session, const CheckRequest& request)
{
    std::vector<ObjectState> states;
    Status status = collectStates(request.objects, request.descendants, states);
    if (!status.ok())
        return status;
    return checkAllThenChange(
        states, [&](const ObjectState& state) { return mayCheckOut(session, state); },
        [&](const ObjectState& state) {
            return m_db.run(kSetHolder, state.id, session.user, request.comment);
        });
}

Status SqliteStore::releaseHold(std::int64_t id)
{
    return m_db.run(kSetHolder, id, std::string(), std::string());
}

Status SqliteStore::checkInObject(std::int64_t id, const std::string& author,
                                  const std::string& comment)
{
    const std::int64_t now = time(nullptr);
    Status status = m_db.run(kCopyRevision, id, author, comment, now);
    return status.ok() ? m_db.run(kCheckedIn, id, now) : status;
}

Status SqliteStore::releaseHeldDescendants(const Session& session, std::int64_t id,
                                           const std::string& comment)
{
    std::vector<ObjectState> states;
    Status status = collectStates(ObjectSet{std::nullopt, {id}}, true, states);
    for (size_t i = 1; status.ok() && i < states.size(); ++i) {
        if (mayCheckIn(session, states[i]).ok())
            status = checkInObject(states[i].id, session.user, comment);
    }
    return status;
}

Status SqliteStore::checkOut(const Session& session, const CheckRequest& request)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = takeObjects(session, request);
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::checkIn(const Session& session, const CheckRequest& request)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    std::vector<ObjectState> states;
    if (status.ok())
        status = collectStates(request.objects, false, states);
    if (status.ok())
        status = checkAllThenChange(
            states, [&](const ObjectState& state) { return mayCheckIn(session, state); },
            [&](const ObjectState& state) {
                Status done = checkInObject(state.id, session.user, request.comment);
                if (done.ok() && request.descendants)
                    done = releaseHeldDescendants(session, state.id, request.comment);
                return done;
            });
    if (status.ok())
        pauseForTest("checkin");
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::undoCheckOut(const Session& session, const ObjectSet& objects)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    std::vector<ObjectState> states;
    if (status.ok())
        status = collectStates(objects, false, states);
    if (status.ok())
        status = checkAllThenChange(
            states, [&](const ObjectState& state) { return mayUndoCheckOut(session, state); },
            [&](const ObjectState& state) { return releaseHold(state.id); });
    return status.ok() ? transaction.commit() : status;
}

} // namespace Dbscout::Molb
