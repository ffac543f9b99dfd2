// The primitive steps of the object operations (object_steps.h), and check-out, check-in and undo
// check-out built from them, each in one write transaction.

#include "object_id.h"
#include "sqlite/sqlite_store.h"
#include "test_pause.h"

#include <ctime>

namespace Dbscout::Molb {
namespace {

constexpr const char* kObjectState =
    "SELECT kind, name, owner, grp, mode, checkout_by FROM objects WHERE id = ?1";
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
        return Status::fail(ErrorCode::NotFound, noObjectMessage(id, kind));
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

Status SqliteStore::setHolder(std::int64_t id, const std::string& user, const std::string& comment)
{
    return m_db.run(kSetHolder, id, user, comment);
}

Status SqliteStore::checkInObject(std::int64_t id, const std::string& author,
                                  const std::string& comment)
{
    const std::int64_t now = time(nullptr);
    Status status = m_db.run(kCopyRevision, id, author, comment, now);
    return status.ok() ? m_db.run(kCheckedIn, id, now) : status;
}

Status SqliteStore::checkOut(const Session& session, const CheckRequest& request)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = takeObjects(*this, session, request);
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::checkIn(const Session& session, const CheckRequest& request)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = checkInObjects(*this, session, request);
    if (status.ok())
        pauseForTest("checkin");
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::undoCheckOut(const Session& session, const ObjectSet& objects)
{
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (status.ok())
        status = undoCheckOuts(*this, session, objects);
    return status.ok() ? transaction.commit() : status;
}

} // namespace Dbscout::Molb
