// Objects: finding, fetching, saving and importing them, with their revisions.

#include "model/object_columns.h"
#include "model/object_id.h"
#include "pg/pg_store.h"
#include "steps/store_sql.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <map>
#include <set>

namespace Dbscout::Molb {
namespace {

constexpr size_t kFetchChunk = 1 << 20;

// The store's owner reads the table; a user reads the catalog, where an object it may not read
// has no name, owner, holder or revision.
constexpr const char* kAdminColumns =
    "SELECT id, revision, name, owner, grp, mode, checkout_by, 'w', kind FROM objects";
constexpr const char* kUserColumns =
    "SELECT id, revision, name, owner, grp, mode, checkout_by, access, kind FROM object_catalog";
constexpr const char* kById = " WHERE id = $1 AND ($2 = 0 OR kind = $2)";
// Found by name also where the role may not read them: the request named them.
constexpr const char* kByName = " WHERE id IN (SELECT molb_objects_named($1, $2)) ORDER BY id";
constexpr const char* kRevisionData =
    "SELECT data FROM revisions WHERE object_id = $1 AND revision = $2";
constexpr size_t kImportBatch = 500;
// The objects that take the kinds and names of two arrays, element by element.
constexpr const char* kTakenNames = "SELECT kind, name FROM objects WHERE (kind, name) IN"
                                    " (SELECT * FROM unnest($1::integer[], $2::text[]))";
// The object inserted last in this session is the one these belong to.
constexpr const char* kInsertFirstRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, created)"
    " VALUES (currval(pg_get_serial_sequence('objects', 'id')), 1, $1, $2, $3, $4)";
constexpr const char* kAppendNewMember =
    "INSERT INTO subset_members(subset_id, position, object_id)"
    " VALUES ($1, $2, currval(pg_get_serial_sequence('objects', 'id')))";
constexpr const char* kReservePlaces = "UPDATE kinds SET object_count = object_count + $2"
                                       " WHERE kind = $1 RETURNING object_count - $2";
constexpr const char* kReserveMembers = "UPDATE subsets SET member_count = member_count + $2"
                                        " WHERE id = $1 RETURNING member_count - $2";

// Whether the server lets the role read the object found.
bool readLocated(const PgResult& rows, int row, LocatedObject& found)
{
    const std::int64_t id = rows.integer(row, 0);
    const Kind kind = static_cast<Kind>(rows.integer(row, 8));
    const std::string access = rows.text(row, 7);
    const bool readable = access == "r" || access == "w";
    found.revision = static_cast<int>(rows.integer(row, 1));
    // Where the server says the role may not read it, no rule may say otherwise.
    found.state = readable ? ObjectState{id,
                                         rows.text(row, 2),
                                         rows.text(row, 3),
                                         rows.text(row, 4),
                                         rows.text(row, 5),
                                         rows.text(row, 6),
                                         kind}
                           : ObjectState{id, {}, {}, {}, "---", {}, kind};
    return readable;
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

// Without a place the server puts the object last; with one (the store's owner only) it stands
// at $8.
const std::string& insertObjectSql(bool placed)
{
    static const auto make = [](bool withPlace) {
        std::string columns = "kind, name, arcname, owner, grp, mode, created, modified";
        std::string values = "$1, $2, $3, $4, $5, $6, $7, $7";
        if (withPlace) {
            columns += ", pos";
            values += ", $8";
        }
        appendFieldSql(withPlace ? 9 : 8, columns, &values);
        return "INSERT INTO objects(" + columns + ") VALUES (" + values + ") RETURNING id";
    };
    static const std::string plain = make(false);
    static const std::string withPlace = make(true);
    return placed ? withPlace : plain;
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

// The statement that inserts object's row, at place when given; its values refer to the
// arguments, which must outlive it.
PgStatement objectInsert(const NewObject& object, const std::string& owner,
                         const std::string& group, const std::string& mode, std::int64_t now,
                         std::optional<std::int64_t> place = std::nullopt)
{
    PgStatement insert{insertObjectSql(place.has_value()),
                       {static_cast<int>(object.kind), object.meta[Field::Name], object.arcname,
                        owner, group, mode, now}};
    if (place)
        insert.values.emplace_back(*place);
    appendFields(insert.values, object.meta);
    return insert;
}

Status nameTaken(const NewObject& object)
{
    return objectNameTaken(object.kind, object.meta[Field::Name]);
}

} // namespace

const char* PgStore::locateColumns() const
{
    return m_admin ? kAdminColumns : kUserColumns;
}

Status PgStore::locateByName(std::optional<Kind> kind, const std::string& name,
                             LocatedObject& found, bool& exists)
{
    bool readable = false;
    return findByName(kind, name, found, exists, readable);
}

Status PgStore::findByName(std::optional<Kind> kind, const std::string& name, LocatedObject& found,
                           bool& exists, bool& readable)
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
    readable = readLocated(rows, 0, found);
    exists = true;
    return Status::pass();
}

Status PgStore::locate(const ObjectRef& ref, LocatedObject& found)
{
    std::int64_t id = 0;
    int inPath = 0;
    if (parseObjectId(ref.text, id, inPath)) {
        PgResult rows;
        const int kind = ref.kind ? static_cast<int>(*ref.kind) : 0;
        if (Status status = m_db.exec(std::string(locateColumns()) + kById, {id, kind}, &rows);
            !status.ok())
            return status;
        if (rows.rows() == 1)
            return readLocated(rows, 0, found) ? pickRevision(ref, inPath, id, found.revision)
                                               : Status::pass();
    }
    bool exists = false;
    bool readable = false;
    Status status = findByName(ref.kind, ref.text, found, exists, readable);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(ref.kind, ref.text));
    return status.ok() && readable ? pickRevision(ref, 0, found.state.id, found.revision) : status;
}

Status PgStore::sendRevision(std::int64_t id, int revision, const ByteSink& sink)
{
    PgResult data;
    if (Status status = m_db.exec(kRevisionData, {id, revision}, &data, true); !status.ok())
        return status;
    // The server shows a revision only to those who may read it.
    if (data.rows() == 0)
        return m_admin
                   ? Status::fail(ErrorCode::Failure, "The bytes of object " + std::to_string(id) +
                                                          " are missing from the store.")
                   : Status::fail(ErrorCode::Denied, {});
    const std::string_view bytes = data.bytes(0, 0);
    for (size_t offset = 0; offset < bytes.size(); offset += kFetchChunk) {
        const size_t length = std::min(kFetchChunk, bytes.size() - offset);
        if (!sink(bytes.data() + offset, length))
            return Status::fail(ErrorCode::Failure, "The reader of the object went away.");
    }
    return Status::pass();
}

Status PgStore::insertObject(const NewObject& object, const std::string& owner,
                             const std::string& group, const std::string& mode, std::int64_t& id)
{
    const std::int64_t now = time(nullptr);
    PgResult row;
    const PgStatement insert = objectInsert(object, owner, group, mode, now);
    Status status = m_db.exec(insert.sql, insert.values, &row);
    if (status.code() == ErrorCode::Conflict && m_db.lastState() == "23505")
        return nameTaken(object);
    if (!status.ok())
        return status;
    id = row.integer(0, 0);
    return m_db.exec(
        pgSql(StoreSql::kInsertRevision),
        {id, 1, PgValue::bytes(object.bytes), object.arcname, owner, now, object.comment});
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
    return m_db.exec(
        pgSql(StoreSql::kInsertRevision),
        {id, revision, PgValue::bytes(update.bytes), update.arcname, author, now, update.comment});
}

// Imports go out in pipelines of a batch of objects each: a million objects are millions of
// statements, and a round trip for each would take most of the time. Each batch takes its
// listing places (and subset places) as one block per kind.
Status PgStore::importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                              const std::string& owner, std::vector<Status>& results)
{
    const std::int64_t now = time(nullptr);
    const std::string mode = kDefaultMode; // the statements refer to it
    return writing([&] {
        results.assign(objects.size(), Status::pass());
        std::string group;
        Status status = owner.empty() ? Status::pass() : primaryGroup(owner, group);
        std::map<Kind, std::int64_t> subsetIds;
        std::set<std::pair<Kind, std::string>> taken;
        for (size_t first = 0; status.ok() && first < objects.size(); first += kImportBatch) {
            const size_t end = std::min(objects.size(), first + kImportBatch);
            if (status = takenNames(objects, first, end, taken); !status.ok())
                break;
            std::map<Kind, std::int64_t> places, members; // per kind: count, then next place
            for (size_t i = first; i < end; ++i) {
                if (taken.emplace(objects[i].kind, objects[i].meta[Field::Name]).second)
                    ++places[objects[i].kind];
                else
                    results[i] = nameTaken(objects[i]);
            }
            for (auto& [kind, next] : places) {
                members[kind] = next;
                if (status = reservePlaces(kReservePlaces, static_cast<int>(kind), next);
                    status.ok() && !subset.empty())
                    status = subsetForImport(*this, kind, subset, owner, group, subsetIds[kind]);
                if (status.ok() && !subset.empty())
                    status = reservePlaces(kReserveMembers, subsetIds[kind], members[kind]);
                if (!status.ok())
                    return status;
            }
            std::vector<PgStatement> statements;
            for (size_t i = first; i < end; ++i) {
                const NewObject& object = objects[i];
                if (!results[i].ok())
                    continue;
                statements.push_back(
                    objectInsert(object, owner, group, mode, now, places[object.kind]++));
                statements.push_back({kInsertFirstRevision,
                                      {PgValue::bytes(object.bytes), object.arcname, owner, now}});
                if (!subset.empty())
                    statements.push_back(
                        {kAppendNewMember, {subsetIds[object.kind], members[object.kind]++}});
            }
            status = m_db.execPipelined(statements);
        }
        return status;
    });
}

// Takes count places at the end of what sql counts (a kind's objects or a subset's members) and
// gives back the first of them in count.
Status PgStore::reservePlaces(const char* sql, std::int64_t owner, std::int64_t& count)
{
    PgResult first;
    Status status = m_db.exec(sql, {owner, count}, &first);
    if (status.ok())
        count = first.integer(0, 0);
    return status;
}

// Adds to taken the kinds and names of objects[first, end) that the store holds already.
Status PgStore::takenNames(const std::vector<NewObject>& objects, size_t first, size_t end,
                           std::set<std::pair<Kind, std::string>>& taken)
{
    std::string kinds = "{";
    std::string names = "{";
    for (size_t i = first; i < end; ++i) {
        kinds += (i > first ? "," : "") + std::to_string(static_cast<int>(objects[i].kind));
        names += i > first ? ",\"" : "\"";
        for (char c : objects[i].meta[Field::Name]) {
            if (c == '"' || c == '\\')
                names += '\\';
            names += c;
        }
        names += '"';
    }
    PgResult rows;
    Status status = m_db.exec(kTakenNames, {kinds + "}", names + "}"}, &rows);
    for (int row = 0; status.ok() && row < rows.rows(); ++row)
        taken.emplace(static_cast<Kind>(rows.integer(row, 0)), rows.text(row, 1));
    return status;
}

} // namespace Dbscout::Molb
