// The steps of check-out and check-in (object_steps.h): holding an object and giving it back
// with a revision.

#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

#include <ctime>

namespace Dbscout::Molb {
namespace {

// The current bytes again, as the revision after the current one.
constexpr const char* kCopyRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, comment, created)"
    " SELECT r.object_id, r.revision + 1, r.data, r.arcname, ?2, ?3, ?4 FROM objects o"
    " JOIN revisions r ON r.object_id = o.id AND r.revision = o.revision WHERE o.id = ?1";
constexpr const char* kCheckedIn =
    "UPDATE objects SET revision = revision + 1, modified = ?2, checkout_by = '',"
    " checkout_comment = '' WHERE id = ?1";

} // namespace

Status SqliteStore::setHolder(std::int64_t id, const std::string& user, const std::string& comment)
{
    return m_db.run(StoreSql::kSetHolder, id, user, comment);
}

Status SqliteStore::checkInObject(std::int64_t id, const std::string& author,
                                  const std::string& comment)
{
    const std::int64_t now = time(nullptr);
    Status status = m_db.run(kCopyRevision, id, author, comment, now);
    return status.ok() ? m_db.run(kCheckedIn, id, now) : status;
}

} // namespace Dbscout::Molb
