// Objects: finding, fetching, saving and importing them, with their revisions.

#include "object_id.h"
#include "pg/pg_store.h"
#include "sqlite/sqlite_schema.h" // the object columns, named alike in both stores

#include <algorithm>
#include <charconv>
#include <ctime>

namespace Dbscout::Molb {
namespace {

constexpr size_t kFetchChunk = 1 << 20;

constexpr const char* kLocateColumns =
    "SELECT id, revision, name, owner, grp, mode, checkout_by FROM object_catalog ";
const std::string kById = std::string(kLocateColumns) + "WHERE id = $1 AND ($2 = 0 OR kind = $2)";
const std::string kByKindName = std::string(kLocateColumns) + "WHERE kind = $1 AND name = $2";
const std::string kByName =
    std::string(kLocateColumns) + "WHERE kind IN (1, 2, 14, 15, 17) AND name = $1 LIMIT 2";
constexpr const char* kRevisionData =
    "SELECT data FROM revisions WHERE object_id = $1 AND revision = $2";
constexpr const char* kInsertRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, created)"
    " VALUES ($1, $2, $3, $4, $5, $6)";
constexpr const char* kAppendMember =
    "INSERT INTO subset_members(subset_id, object_id) VALUES ($1, $2)";

// Every field but the name and the times is a column of its own that a record fills.
bool isStoredField(Field field)
{
    return field != Field::Name && field != Field::Modified && field != Field::Created;
}

// ", column = $N" (assignments) or ", column" and ", $N" for every stored field, from N = first.
void appendFieldSql(int first, std::string& columns, std::string* values)
{
    int parameter = first;
    for (size_t i = 0; i < kFieldCount; ++i) {
        const Field field = static_cast<Field>(i);
        if (!isStoredField(field))
            continue;
        const std::string placeholder = "$" + std::to_string(parameter++);
        columns += std::string(", ") + fieldColumn(field);
        if (values)
            *values += ", " + placeholder;
        else
            columns += " = " + placeholder;
    }
}

const std::string& insertObjectSql()
{
    static const std::string sql = [] {
        std::string columns = "kind, name, arcname, owner, grp, mode, created, modified";
        std::string values = "$1, $2, $3, $4, $5, $6, $7, $7";
        appendFieldSql(8, columns, &values);
        return "INSERT INTO objects(" + columns + ") VALUES (" + values + ") RETURNING id";
    }();
    return sql;
}

// The next revision; with the fields of a recognised record when fields is set.
const std::string& nextRevisionSql(bool fields)
{
    static const std::string kHead =
        "UPDATE objects SET revision = revision + 1, modified = $2, arcname = $3";
    static const std::string kTail = " WHERE id = $1 RETURNING revision";
    static const std::string plain = kHead + kTail;
    static const std::string withFields = [] {
        std::string assignments = kHead;
        appendFieldSql(4, assignments, nullptr);
        return assignments + kTail;
    }();
    return fields ? withFields : plain;
}

// The stored fields as parameters: numbers where a number is stored (NULL when the text is
// none), text where text is (NULL when empty, but for the accession).
void appendFields(std::vector<PgValue>& values, const ObjectMeta& meta)
{
    for (size_t i = 0; i < kFieldCount; ++i) {
        const Field field = static_cast<Field>(i);
        if (!isStoredField(field))
            continue;
        const std::string& value = meta[field];
        std::int64_t number = 0;
        if (isNumericField(field))
            values.push_back(
                std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc()
                    ? PgValue(number)
                    : PgValue::null());
        else
            values.push_back(field == Field::Accession || !value.empty() ? PgValue(value)
                                                                         : PgValue::null());
    }
}

Status nameTaken(const NewObject& object)
{
    return Status::fail(ErrorCode::Conflict, "An object named \"" + object.meta[Field::Name] +
                                                 "\" of " + kindKeyword(object.kind) +
                                                 " objects exists already.");
}

} // namespace

Status PgStore::locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                             bool& exists)
{
    exists = false;
    PgResult rows;
    const Status status = kind ? m_db.exec(kByKindName, {static_cast<int>(*kind), name}, &rows)
                               : m_db.exec(kByName, {name}, &rows);
    if (!status.ok() || rows.rows() == 0)
        return status;
    if (rows.rows() > 1)
        return Status::fail(ErrorCode::BadRequest, "Several objects are named \"" + name +
                                                       "\"; add the kind to the address.");
    found = Located{rows.integer(0, 0), static_cast<int>(rows.integer(0, 1)),
                    rows.text(0, 2),    rows.text(0, 3),
                    rows.text(0, 4),    rows.text(0, 5),
                    rows.text(0, 6)};
    exists = true;
    return Status::pass();
}

Status PgStore::locate(const ObjectRef& ref, Located& found)
{
    std::int64_t id = 0;
    int revision = 0;
    if (parseObjectId(ref.text, id, revision)) {
        PgResult rows;
        const int kind = ref.kind ? static_cast<int>(*ref.kind) : 0;
        if (Status status = m_db.exec(kById, {id, kind}, &rows); !status.ok())
            return status;
        if (rows.rows() == 1) {
            found = Located{id,
                            static_cast<int>(rows.integer(0, 1)),
                            rows.text(0, 2),
                            rows.text(0, 3),
                            rows.text(0, 4),
                            rows.text(0, 5),
                            rows.text(0, 6)};
            if (revision > found.revision)
                return Status::fail(ErrorCode::NotFound, "Object " + std::to_string(id) +
                                                             " has no revision " +
                                                             std::to_string(revision) + ".");
            if (revision > 0)
                found.revision = revision;
            return Status::pass();
        }
    }
    bool exists = false;
    Status status = locateByName(ref.kind, ref.text, found, exists);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(ref.kind, ref.text));
    return status;
}

Status PgStore::fetchObject(const Session& session, const ObjectRef& ref, const ByteSink& sink)
{
    return m_db.transaction(PgConnection::Isolation::Snapshot, [&] {
        Located found;
        Status status = locate(ref, found);
        if (!status.ok())
            return status;
        const Status denied =
            Status::fail(ErrorCode::Denied, "You may not read \"" + found.name + "\".");
        if (rightOf(session, found.owner, found.group, found.mode) == Right::None)
            return denied;
        PgResult data;
        if (status = m_db.exec(kRevisionData, {found.id, found.revision}, &data, true);
            !status.ok())
            return status;
        // The server shows a revision only to those who may read it.
        if (data.rows() == 0)
            return session.everyoneOwns
                       ? Status::fail(ErrorCode::Failure, "The bytes of object " +
                                                              std::to_string(found.id) +
                                                              " are missing from the store.")
                       : denied;
        const std::string_view bytes = data.bytes(0, 0);
        for (size_t offset = 0; offset < bytes.size(); offset += kFetchChunk) {
            const size_t length = std::min(kFetchChunk, bytes.size() - offset);
            if (!sink(bytes.data() + offset, length))
                return Status::fail(ErrorCode::Failure, "The reader of the object went away.");
        }
        return Status::pass();
    });
}

Status PgStore::insertObject(const NewObject& object, const std::string& owner,
                             const std::string& group, std::int64_t& id)
{
    const std::int64_t now = time(nullptr);
    std::vector<PgValue> values = {static_cast<int>(object.kind),
                                   object.meta[Field::Name],
                                   object.arcname,
                                   owner,
                                   group,
                                   kDefaultMode,
                                   now};
    appendFields(values, object.meta);
    PgResult row;
    Status status = m_db.exec(insertObjectSql(), values, &row);
    if (status.code() == ErrorCode::Conflict && m_db.lastState() == "23505")
        return nameTaken(object);
    if (!status.ok())
        return status;
    id = row.integer(0, 0);
    return m_db.exec(kInsertRevision,
                     {id, 1, PgValue::bytes(object.bytes), object.arcname, owner, now});
}

// Stores update's bytes as the revision after the object's current one (the row lock of the
// update orders concurrent saves) and makes it the current one.
Status PgStore::addRevision(const Located& object, const NewObject& update,
                            const std::string& author, int& revision)
{
    const std::int64_t now = time(nullptr);
    std::vector<PgValue> values = {object.id, now, update.arcname};
    if (update.metaKnown)
        appendFields(values, update.meta);
    PgResult row;
    Status status = m_db.exec(nextRevisionSql(update.metaKnown), values, &row);
    if (!status.ok())
        return status;
    if (row.rows() == 0)
        return Status::fail(ErrorCode::Denied, "You may not change \"" + object.name + "\".");
    revision = static_cast<int>(row.integer(0, 0));
    return m_db.exec(kInsertRevision, {object.id, revision, PgValue::bytes(update.bytes),
                                       update.arcname, author, now});
}

Status PgStore::appendMember(std::int64_t subsetId, std::int64_t objectId)
{
    return m_db.exec(kAppendMember, {subsetId, objectId});
}

Status PgStore::saveObject(const Session& session, const SaveRequest& request, SaveOutcome& outcome)
{
    const NewObject& object = request.object;
    const std::string& name = object.meta[Field::Name];
    return m_db.transaction(PgConnection::Isolation::ReadCommitted, [&] {
        outcome = SaveOutcome();
        std::int64_t subset = 0;
        Status status = Status::pass();
        if (!request.subset.empty()) {
            SubsetInfo info;
            if (status = subsetRow(object.kind, request.subset, subset, &info); !status.ok())
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
        outcome.id = std::to_string(existing.id);
        if (exists && !request.force) {
            outcome.exists = true;
            return Status::pass(); // nothing written; the transaction just ends
        }
        std::int64_t id = existing.id;
        if (exists) {
            if (rightOf(session, existing.owner, existing.group, existing.mode) != Right::Write)
                return Status::fail(ErrorCode::Denied, "You may not change \"" + name + "\".");
            if (!existing.checkoutBy.empty() && existing.checkoutBy != session.user)
                return Status::fail(ErrorCode::Conflict, "\"" + name + "\" is checked out by " +
                                                             existing.checkoutBy + ".");
            status = addRevision(existing, object, session.user, outcome.revision);
        } else {
            const std::string group =
                session.groups.empty() ? std::string() : session.groups.front();
            status = insertObject(object, session.user, group, id);
            outcome.revision = 1;
        }
        if (status.ok() && subset != 0)
            status = appendMember(subset, id);
        outcome.id = std::to_string(id);
        return status;
    });
}

Status PgStore::importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                              const std::string& owner, std::vector<Status>& results)
{
    return m_db.transaction(PgConnection::Isolation::ReadCommitted, [&] {
        results.clear();
        std::string group;
        Status status = owner.empty() ? Status::pass() : primaryGroup(owner, group);
        std::int64_t subsetIds[kAllKinds.size()] = {};
        for (size_t i = 0; status.ok() && i < objects.size(); ++i) {
            const NewObject& object = objects[i];
            Located existing;
            bool exists = false;
            std::int64_t id = 0;
            // Looked up first: a refused insert would end the whole transaction.
            status = locateByName(object.kind, object.meta[Field::Name], existing, exists);
            if (status.ok() && exists) {
                results.push_back(nameTaken(object));
                continue;
            }
            if (status.ok())
                status = insertObject(object, owner, group, id);
            results.push_back(status);
            if (!status.ok() || subset.empty())
                continue;
            const size_t slot = static_cast<size_t>(
                std::find(kAllKinds.begin(), kAllKinds.end(), object.kind) - kAllKinds.begin());
            if (subsetIds[slot] == 0) {
                status = subsetRow(object.kind, subset, subsetIds[slot], nullptr);
                if (status.code() == ErrorCode::NotFound)
                    status =
                        createSubset(object.kind, SubsetInfo{subset, owner, group, kDefaultMode},
                                     subsetIds[slot]);
            }
            if (status.ok())
                status = appendMember(subsetIds[slot], id);
        }
        return status;
    });
}

} // namespace Dbscout::Molb
