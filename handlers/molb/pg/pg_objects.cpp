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

// The store's owner reads the table; a user reads the catalog, where an object it may not read
// has no name, owner, holder or revision.
constexpr const char* kAdminColumns =
    "SELECT id, revision, name, owner, grp, mode, checkout_by, 'w' FROM objects";
constexpr const char* kUserColumns =
    "SELECT id, revision, name, owner, grp, mode, checkout_by, access FROM object_catalog";
constexpr const char* kById = " WHERE id = $1 AND ($2 = 0 OR kind = $2)";
// Found by name also where the role may not read them: the request named them.
constexpr const char* kByName = " WHERE id IN (SELECT molb_objects_named($1, $2)) ORDER BY id";
constexpr const char* kRevisionData =
    "SELECT data FROM revisions WHERE object_id = $1 AND revision = $2";
constexpr const char* kInsertRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, created)"
    " VALUES ($1, $2, $3, $4, $5, $6)";
constexpr const char* kSubsetNamed = "SELECT molb_subset_exists($1, $2)";
constexpr const char* kNameLock = "SELECT pg_advisory_xact_lock($1, hashtext($2))";

void readLocated(const PgResult& rows, int row, PgStore::Located& found)
{
    found.id = rows.integer(row, 0);
    found.revision = static_cast<int>(rows.integer(row, 1));
    const std::string access = rows.text(row, 7);
    found.readable = access == "r" || access == "w";
    // Where the server says the role may not read it, no rule may say otherwise.
    found.state = found.readable
                      ? ObjectState{found.id,          rows.text(row, 2), rows.text(row, 3),
                                    rows.text(row, 4), rows.text(row, 5), rows.text(row, 6)}
                      : ObjectState{found.id, {}, {}, {}, "---", {}};
}

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

const char* PgStore::locateColumns() const
{
    return m_admin ? kAdminColumns : kUserColumns;
}

Status PgStore::locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                             bool& exists)
{
    exists = false;
    PgResult rows;
    const Status status = m_db.exec(std::string(locateColumns()) + kByName,
                                    {kind ? static_cast<int>(*kind) : 0, name}, &rows);
    if (!status.ok() || rows.rows() == 0)
        return status;
    if (rows.rows() > 1)
        return Status::fail(ErrorCode::BadRequest, "Several objects are named \"" + name +
                                                       "\"; add the kind to the address.");
    readLocated(rows, 0, found);
    exists = true;
    return Status::pass();
}

Status PgStore::locate(const ObjectRef& ref, Located& found)
{
    std::int64_t id = 0;
    int inPath = 0;
    if (parseObjectId(ref.text, id, inPath)) {
        PgResult rows;
        const int kind = ref.kind ? static_cast<int>(*ref.kind) : 0;
        if (Status status = m_db.exec(std::string(locateColumns()) + kById, {id, kind}, &rows);
            !status.ok())
            return status;
        if (rows.rows() == 1) {
            readLocated(rows, 0, found);
            return found.readable ? pickRevision(ref, inPath, id, found.revision) : Status::pass();
        }
    }
    bool exists = false;
    Status status = locateByName(ref.kind, ref.text, found, exists);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(ref.kind, ref.text));
    return status.ok() && found.readable ? pickRevision(ref, 0, found.id, found.revision) : status;
}

Status PgStore::fetchObject(const Session& session, const FetchRequest& request,
                            const ByteSink& sink)
{
    const auto work = [&] {
        Located found;
        Status status = locate(request.ref, found);
        if (!status.ok())
            return status;
        // Named as the request named it: the stored name of an unreadable object stays hidden.
        const Status denied =
            Status::fail(ErrorCode::Denied, refusedReadMessage(request.ref.text, found.id));
        if (rightOf(session, found.state.owner, found.state.group, found.state.mode) == Right::None)
            return denied;
        if (request.checkOut)
            status = takeObjects(
                *this, session,
                CheckRequest{ObjectSet{std::nullopt, {found.id}}, request.descendants, {}});
        PgResult data;
        if (status.ok())
            status = m_db.exec(kRevisionData, {found.id, found.revision}, &data, true);
        if (!status.ok())
            return status;
        // The server shows a revision only to those who may read it.
        if (data.rows() == 0)
            return m_admin ? Status::fail(ErrorCode::Failure, "The bytes of object " +
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
    };
    // A fetch that checks out holds nothing until the last byte went out.
    return request.checkOut ? writing(work)
                            : m_db.transaction(PgConnection::Isolation::Snapshot, work);
}

Status PgStore::insertObject(const NewObject& object, const std::string& owner,
                             const std::string& group, const std::string& mode, std::int64_t& id)
{
    const std::int64_t now = time(nullptr);
    std::vector<PgValue> values = {static_cast<int>(object.kind),
                                   object.meta[Field::Name],
                                   object.arcname,
                                   owner,
                                   group,
                                   mode,
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
Status PgStore::addRevisionOf(std::int64_t id, const NewObject& update, const std::string& author,
                              int& revision)
{
    const std::int64_t now = time(nullptr);
    std::vector<PgValue> values = {id, now, update.arcname};
    if (update.metaKnown)
        appendFields(values, update.meta);
    PgResult row;
    Status status = m_db.exec(nextRevisionSql(update.metaKnown), values, &row);
    if (!status.ok())
        return status;
    if (row.rows() == 0)
        return Status::fail(ErrorCode::Denied,
                            "The server refused the change of object " + std::to_string(id) + ".");
    revision = static_cast<int>(row.integer(0, 0));
    return m_db.exec(kInsertRevision,
                     {id, revision, PgValue::bytes(update.bytes), update.arcname, author, now});
}

Status PgStore::saveObject(const Session& session, const SaveRequest& request, SaveOutcome& outcome)
{
    return writing([&] { return storeSaved(session, request, outcome); });
}

Status PgStore::storeSaved(const Session& session, const SaveRequest& request, SaveOutcome& outcome)
{
    outcome = SaveOutcome();
    const NewObject& object = request.object;
    const std::string& name = object.meta[Field::Name];
    std::int64_t subset = 0;
    Status status = Status::pass();
    if (!request.subset.empty()) {
        SubsetInfo info;
        status = subsetRow(object.kind, request.subset, subset, &info);
        const Status denied = Status::fail(
            ErrorCode::Denied, "You may not add objects to the subset \"" + request.subset + "\".");
        // A subset the server hides from the user: refused as the local store refuses it.
        PgResult hidden;
        if (status.code() == ErrorCode::NotFound &&
            m_db.exec(kSubsetNamed, {static_cast<int>(object.kind), request.subset}, &hidden)
                .ok() &&
            hidden.text(0, 0) == "t")
            return denied;
        if (!status.ok())
            return status;
        if (rightOf(session, info.owner, info.group, info.mode) != Right::Write)
            return denied;
    }
    // Two saves of one new name wait for each other, so the second finds the name taken.
    Located existing;
    bool exists = false;
    if (status = m_db.exec(kNameLock, {static_cast<int>(object.kind), name}); status.ok())
        status = locateByName(object.kind, name, existing, exists);
    if (!status.ok())
        return status;
    outcome.name = name;
    outcome.id = std::to_string(existing.id);
    if (exists && !request.force) {
        outcome.exists = true;
        return Status::pass(); // nothing written; the transaction just ends
    }
    std::int64_t id = existing.id;
    if (exists) {
        ObjectState state;
        if (status = lockObjects({id}); status.ok())
            status = objectState(id, object.kind, state);
        if (!status.ok())
            return status;
        status = saveOver(*this, session, state, request, outcome);
    } else {
        const std::string group = session.groups.empty() ? std::string() : session.groups.front();
        status = insertObject(object, session.user, group, kDefaultMode, id);
        outcome.revision = 1;
    }
    if (status.ok() && subset != 0)
        status = appendMember(subset, id);
    outcome.id = std::to_string(id);
    return status;
}

Status PgStore::importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                              const std::string& owner, std::vector<Status>& results)
{
    return writing([&] {
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
                status = insertObject(object, owner, group, kDefaultMode, id);
            results.push_back(status);
            if (!status.ok() || subset.empty())
                continue;
            const size_t slot = static_cast<size_t>(
                std::find(kAllKinds.begin(), kAllKinds.end(), object.kind) - kAllKinds.begin());
            if (subsetIds[slot] == 0) {
                status = subsetRow(object.kind, subset, subsetIds[slot], nullptr);
                if (status.code() == ErrorCode::NotFound)
                    status =
                        insertSubset(object.kind, SubsetInfo{subset, owner, group, kDefaultMode},
                                     subsetIds[slot]);
            }
            if (status.ok())
                status = appendMember(subsetIds[slot], id);
        }
        return status;
    });
}

} // namespace Dbscout::Molb
