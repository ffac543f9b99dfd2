// Objects: finding, fetching, saving and importing them, with their revisions.

#include "object_id.h"
#include "sqlite/sqlite_schema.h"
#include "sqlite/sqlite_store.h"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace Dbscout::Molb {
namespace {

constexpr size_t kFetchChunk = 1 << 20;

// The fields an object row keeps besides its name and times.
constexpr Field kStoredFields[] = {
    Field::Accession, Field::Length,  Field::Topology,     Field::Organism, Field::Description,
    Field::Authors,   Field::Journal, Field::Year,         Field::Program,  Field::Database,
    Field::Hits,      Field::RunDate, Field::AnalysisType, Field::Source};
constexpr int kFirstFieldParameter = 8;

constexpr const char* kLocateColumns =
    "SELECT id, kind, revision, name, owner, grp, mode, checkout_by FROM objects ";
const std::string kById = std::string(kLocateColumns) + "WHERE id = ?1";
const std::string kByKindName = std::string(kLocateColumns) + "WHERE kind = ?1 AND name = ?2";
const std::string kByName =
    std::string(kLocateColumns) + "WHERE kind IN (1, 2, 14, 15, 17) AND name = ?2 LIMIT 2";
constexpr const char* kRevisionRow =
    "SELECT rowid FROM revisions WHERE object_id = ?1 AND revision = ?2";
constexpr const char* kCountObject =
    "UPDATE kinds SET object_count = object_count + 1 WHERE kind = ?1";
constexpr const char* kInsertRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, created, comment)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
constexpr const char* kSetRevision =
    "UPDATE objects SET revision = ?2, modified = ?3, arcname = ?4 WHERE id = ?1";
constexpr const char* kAppendMember =
    "INSERT OR IGNORE INTO subset_members(subset_id, position, object_id)"
    " SELECT ?1, member_count, ?2 FROM subsets WHERE id = ?1";
constexpr const char* kCountMember =
    "UPDATE subsets SET member_count = member_count + 1 WHERE id = ?1";

const std::string& insertObjectSql()
{
    static const std::string sql = [] {
        std::string columns = "kind, pos, name, arcname, owner, grp, mode, created, modified";
        std::string values = "?1, (SELECT object_count FROM kinds WHERE kind = ?1), ?2, ?3, ?4, "
                             "?5, ?6, ?7, ?7";
        int parameter = kFirstFieldParameter;
        for (Field field : kStoredFields) {
            columns += std::string(", ") + fieldColumn(field);
            values += ", ?" + std::to_string(parameter++);
        }
        return "INSERT INTO objects(" + columns + ") VALUES (" + values + ")";
    }();
    return sql;
}

const std::string& updateFieldsSql()
{
    static const std::string sql = [] {
        std::string text = "UPDATE objects SET ";
        int parameter = kFirstFieldParameter;
        for (Field field : kStoredFields) {
            if (parameter != kFirstFieldParameter)
                text += ", ";
            text += std::string(fieldColumn(field)) + " = ?" + std::to_string(parameter++);
        }
        return text + " WHERE id = ?1";
    }();
    return sql;
}

void bindFields(SqliteStatement& statement, const ObjectMeta& meta)
{
    int parameter = kFirstFieldParameter;
    for (Field field : kStoredFields) {
        const std::string& value = meta[field];
        std::int64_t number = 0;
        const bool numeric =
            isNumericField(field) &&
            std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc();
        if (numeric)
            statement.bind(parameter, number);
        else if (field == Field::Accession || (!value.empty() && !isNumericField(field)))
            statement.bind(parameter, value);
        else
            statement.bindNull(parameter);
        ++parameter;
    }
}

} // namespace

Status SqliteStore::locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                                 bool& exists)
{
    exists = false;
    const std::string& sql = kind ? kByKindName : kByName;
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(sql.c_str(), statement); !status.ok())
        return status;
    StatementUse use(*statement);
    if (kind)
        use->bind(1, static_cast<std::int64_t>(*kind));
    use->bind(2, name);
    int code = use->step();
    if (code == SQLITE_DONE)
        return Status::pass();
    if (code != SQLITE_ROW)
        return m_db.failure(code);
    found = Located{use->integer(0), static_cast<int>(use->integer(2)),
                    use->text(3),    use->text(4),
                    use->text(5),    use->text(6),
                    use->text(7)};
    exists = true;
    code = use->step();
    if (code == SQLITE_ROW)
        return Status::fail(ErrorCode::BadRequest, "Several objects are named \"" + name +
                                                       "\"; add the kind to the address.");
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::locate(const ObjectRef& ref, Located& found)
{
    std::int64_t id = 0;
    int revision = 0;
    if (parseObjectId(ref.text, id, revision)) {
        SqliteStatement* statement = nullptr;
        if (Status status = m_db.cached(kById.c_str(), statement); !status.ok())
            return status;
        StatementUse use(*statement);
        use->bind(1, id);
        const int code = use->step();
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            return m_db.failure(code);
        if (code == SQLITE_ROW && (!ref.kind || static_cast<Kind>(use->integer(1)) == *ref.kind)) {
            found = Located{id,           static_cast<int>(use->integer(2)),
                            use->text(3), use->text(4),
                            use->text(5), use->text(6),
                            use->text(7)};
            return pickRevision(ref, revision, found.id, found.revision);
        }
    }
    bool exists = false;
    Status status = locateByName(ref.kind, ref.text, found, exists);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(ref.kind, ref.text));
    return status.ok() ? pickRevision(ref, 0, found.id, found.revision) : status;
}

Status SqliteStore::fetchObject(const Session& session, const FetchRequest& request,
                                const ByteSink& sink)
{
    SqliteTransaction transaction(m_db, request.checkOut ? SqliteTransaction::Kind::Write
                                                         : SqliteTransaction::Kind::Read);
    Status status = transaction.begin();
    Located found;
    if (status.ok())
        status = locate(request.ref, found);
    // Named as the request named it: the stored name of an unreadable object stays hidden.
    if (status.ok() && rightOf(session, found.owner, found.group, found.mode) == Right::None)
        status = Status::fail(ErrorCode::Denied, refusedReadMessage(request.ref.text, found.id));
    if (status.ok() && request.checkOut)
        status =
            takeObjects(*this, session,
                        CheckRequest{ObjectSet{std::nullopt, {found.id}}, request.descendants, {}});
    if (status.ok())
        status = streamRevision(found.id, found.revision, sink);
    return status.ok() ? transaction.commit() : status;
}

Status SqliteStore::streamRevision(std::int64_t id, int revision, const ByteSink& sink)
{
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kRevisionRow, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, id);
    use->bind(2, static_cast<std::int64_t>(revision));
    const int code = use->step();
    if (code == SQLITE_DONE)
        return Status::fail(ErrorCode::Failure, "The bytes of object " + std::to_string(id) +
                                                    " are missing from the store.");
    if (code != SQLITE_ROW)
        return m_db.failure(code);
    // Read in pieces, so that a large object never sits in memory twice.
    sqlite3_blob* blob = nullptr;
    int openCode =
        sqlite3_blob_open(m_db.handle(), "main", "revisions", "data", use->integer(0), 0, &blob);
    if (openCode != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return m_db.failure(openCode);
    }
    const int size = sqlite3_blob_bytes(blob);
    std::string chunk;
    Status status = Status::pass();
    for (int offset = 0; offset < size && status.ok();) {
        const int length = std::min<int>(static_cast<int>(kFetchChunk), size - offset);
        chunk.resize(static_cast<size_t>(length));
        if (const int readCode = sqlite3_blob_read(blob, chunk.data(), length, offset);
            readCode != SQLITE_OK)
            status = m_db.failure(readCode);
        else if (!sink(chunk.data(), chunk.size()))
            status = Status::fail(ErrorCode::Failure, "The reader of the object went away.");
        offset += length;
    }
    sqlite3_blob_close(blob);
    return status;
}

Status SqliteStore::insertObject(const NewObject& object, const std::string& owner,
                                 const std::string& group, const std::string& mode,
                                 std::int64_t& id)
{
    const std::int64_t now = time(nullptr);
    const std::int64_t kind = static_cast<std::int64_t>(object.kind);
    SqliteStatement* insert = nullptr;
    if (Status status = m_db.cached(insertObjectSql().c_str(), insert); !status.ok())
        return status;
    {
        StatementUse use(*insert);
        use->bind(1, kind);
        use->bind(2, object.meta[Field::Name]);
        use->bind(3, object.arcname);
        use->bind(4, owner);
        use->bind(5, group);
        use->bind(6, mode);
        use->bind(7, now);
        bindFields(*use, object.meta);
        const int code = use->step();
        if (code == SQLITE_CONSTRAINT_UNIQUE)
            return Status::fail(ErrorCode::Conflict,
                                "An object named \"" + object.meta[Field::Name] + "\" of " +
                                    kindKeyword(object.kind) + " objects exists already.");
        if (code != SQLITE_DONE)
            return m_db.failure(code);
    }
    id = sqlite3_last_insert_rowid(m_db.handle());
    if (Status status = m_db.run(kCountObject, kind); !status.ok())
        return status;
    return addRevision(Located{id, 0, object.meta[Field::Name], owner, group, mode, {}}, object,
                       owner);
}

// Stores update's bytes as the revision after object.revision and makes it the current one.
Status SqliteStore::addRevision(const Located& object, const NewObject& update,
                                const std::string& author)
{
    const std::int64_t now = time(nullptr);
    const std::int64_t revision = object.revision + 1;
    Status status = m_db.run(kInsertRevision, object.id, revision, BlobRef{update.bytes},
                             update.arcname, author, now, update.comment);
    if (!status.ok() || revision == 1)
        return status; // a new object's row already says revision 1
    if (status = m_db.run(kSetRevision, object.id, revision, now, update.arcname); !status.ok())
        return status;
    if (!update.metaKnown)
        return Status::pass();
    SqliteStatement* fields = nullptr;
    if (status = m_db.cached(updateFieldsSql().c_str(), fields); !status.ok())
        return status;
    StatementUse fieldsUse(*fields);
    fieldsUse->bind(1, object.id);
    bindFields(*fieldsUse, update.meta);
    const int code = fieldsUse->step();
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::appendMember(std::int64_t subsetId, std::int64_t objectId)
{
    Status status = m_db.run(kAppendMember, subsetId, objectId);
    if (!status.ok() || sqlite3_changes(m_db.handle()) == 0)
        return status; // failed, or already a member
    return m_db.run(kCountMember, subsetId);
}

Status SqliteStore::saveObject(const Session& session, const SaveRequest& request,
                               SaveOutcome& outcome)
{
    outcome = SaveOutcome();
    const NewObject& object = request.object;
    const std::string& name = object.meta[Field::Name];
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    if (!status.ok())
        return status;
    std::int64_t subset = 0;
    if (!request.subset.empty()) {
        SubsetInfo info;
        if (status = subsetId(object.kind, request.subset, subset, &info); !status.ok())
            return status;
        if (rightOf(session, info.owner, info.group, info.mode) != Right::Write)
            return Status::fail(ErrorCode::Denied,
                                "You may not add objects to the subset \"" + info.name + "\".");
    }
    Located existing;
    bool exists = false;
    if (status = locateByName(object.kind, name, existing, exists); !status.ok())
        return status;
    outcome.name = name;
    if (exists && !request.force) {
        outcome.exists = true;
        outcome.id = std::to_string(existing.id);
        return Status::pass(); // nothing written; the transaction just ends
    }
    std::int64_t id = existing.id;
    if (exists) {
        status = saveOver(*this, session,
                          ObjectState{existing.id, existing.name, existing.owner, existing.group,
                                      existing.mode, existing.checkoutBy},
                          request, outcome);
    } else {
        const std::string group = session.groups.empty() ? std::string() : session.groups.front();
        status = insertObject(object, session.user, group, kDefaultMode, id);
        outcome.revision = 1;
    }
    if (status.ok() && subset != 0)
        status = appendMember(subset, id);
    if (status.ok())
        status = transaction.commit();
    outcome.id = std::to_string(id);
    return status;
}

Status SqliteStore::importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                                  const std::string& owner, std::vector<Status>& results)
{
    results.clear();
    SqliteTransaction transaction(m_db, SqliteTransaction::Kind::Write);
    Status status = transaction.begin();
    std::string group;
    if (status.ok() && !owner.empty())
        status = primaryGroup(owner, group);
    std::int64_t subsetIds[kAllKinds.size()] = {};
    for (size_t i = 0; status.ok() && i < objects.size(); ++i) {
        const NewObject& object = objects[i];
        std::int64_t id = 0;
        results.push_back(insertObject(object, owner, group, kDefaultMode, id));
        if (results.back().code() == ErrorCode::Conflict)
            continue;
        status = results.back();
        if (!status.ok() || subset.empty())
            continue;
        const size_t slot = static_cast<size_t>(
            std::find(kAllKinds.begin(), kAllKinds.end(), object.kind) - kAllKinds.begin());
        if (subsetIds[slot] == 0) {
            status = subsetId(object.kind, subset, subsetIds[slot], nullptr);
            if (status.code() == ErrorCode::NotFound)
                status = insertSubset(object.kind, SubsetInfo{subset, owner, group, kDefaultMode},
                                      subsetIds[slot]);
        }
        if (status.ok())
            status = appendMember(subsetIds[slot], id);
    }
    return status.ok() ? transaction.commit() : status;
}

} // namespace Dbscout::Molb
