// Objects: finding, fetching, saving and importing them, with their revisions.

#include "model/object_columns.h"
#include "model/object_id.h"
#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace Dbscout::Molb {
namespace {

constexpr size_t kFetchChunk = 1 << 20;

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
constexpr const char* kSetRevision =
    "UPDATE objects SET revision = ?2, modified = ?3, arcname = ?4 WHERE id = ?1";

// The fields an object row keeps besides its name and times, in column order.
const std::vector<Field>& storedFields()
{
    static const std::vector<Field> fields = [] {
        std::vector<Field> stored;
        for (size_t i = 0; i < kFieldCount; ++i) {
            if (isStoredField(static_cast<Field>(i)))
                stored.push_back(static_cast<Field>(i));
        }
        return stored;
    }();
    return fields;
}

// The object of the statement's first columns: id, kind, revision, name, owner, grp, mode and
// checkout_by.
LocatedObject readLocated(const SqliteStatement& statement)
{
    return LocatedObject{ObjectState{statement.integer(0), statement.text(3), statement.text(4),
                                     statement.text(5), statement.text(6), statement.text(7),
                                     static_cast<Kind>(statement.integer(1))},
                         static_cast<int>(statement.integer(2))};
}

const std::string& insertObjectSql()
{
    static const std::string sql = [] {
        std::string columns = "kind, pos, name, arcname, owner, grp, mode, created, modified";
        std::string values = "?1, (SELECT object_count FROM kinds WHERE kind = ?1), ?2, ?3, ?4, "
                             "?5, ?6, ?7, ?7";
        int parameter = kFirstFieldParameter;
        for (Field field : storedFields()) {
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
        for (Field field : storedFields()) {
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
    for (Field field : storedFields()) {
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

Status SqliteStore::locateByName(std::optional<Kind> kind, const std::string& name,
                                 LocatedObject& found, bool& exists)
{
    exists = false;
    const auto read = [&](const SqliteStatement& row) {
        if (exists)
            return Status::fail(ErrorCode::BadRequest, "Several objects are named \"" + name +
                                                           "\"; add the kind to the address.");
        found = readLocated(row);
        exists = true;
        return Status::pass();
    };
    std::optional<std::int64_t> kindNumber;
    if (kind)
        kindNumber = static_cast<std::int64_t>(*kind);
    return m_db.eachRow((kind ? kByKindName : kByName).c_str(), read, kindNumber, name);
}

Status SqliteStore::locateId(std::int64_t id, std::optional<Kind> kind, LocatedObject& found,
                             bool& exists)
{
    exists = false;
    const auto read = [&](const SqliteStatement& row) {
        exists = !kind || static_cast<Kind>(row.integer(1)) == *kind;
        if (exists)
            found = readLocated(row);
        return Status::pass();
    };
    return m_db.eachRow(kById.c_str(), read, id);
}

Status SqliteStore::objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state)
{
    LocatedObject found;
    bool exists = false;
    Status status = locateId(id, kind, found, exists);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(id, kind));
    state = found.state;
    return status;
}

Status SqliteStore::locate(const ObjectRef& ref, LocatedObject& found)
{
    std::int64_t id = 0;
    int revision = 0;
    bool exists = false;
    if (parseObjectId(ref.text, id, revision)) {
        if (Status status = locateId(id, ref.kind, found, exists); !status.ok())
            return status;
        if (exists)
            return pickRevision(ref, revision, id, found.revision);
    }
    Status status = locateByName(ref.kind, ref.text, found, exists);
    if (status.ok() && !exists)
        return Status::fail(ErrorCode::NotFound, noObjectMessage(ref.kind, ref.text));
    return status.ok() ? pickRevision(ref, 0, found.state.id, found.revision) : status;
}

Status SqliteStore::sendRevision(std::int64_t id, int revision, const ByteSink& sink)
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
            return objectNameTaken(object.kind, object.meta[Field::Name]);
        if (code != SQLITE_DONE)
            return m_db.failure(code);
    }
    id = sqlite3_last_insert_rowid(m_db.handle());
    if (Status status = m_db.run(kCountObject, kind); !status.ok())
        return status;
    return storeRevision(id, 1, object, owner);
}

Status SqliteStore::addRevisionOf(std::int64_t id, const NewObject& remade,
                                  const std::string& author, int& revision)
{
    LocatedObject found;
    bool exists = false;
    Status status = locateId(id, std::nullopt, found, exists);
    if (status.ok() && !exists)
        status = Status::fail(ErrorCode::NotFound, noObjectMessage(id, std::nullopt));
    revision = found.revision + 1;
    return status.ok() ? storeRevision(id, revision, remade, author) : status;
}

// Stores update's bytes as revision and makes it the current one.
Status SqliteStore::storeRevision(std::int64_t id, int revision, const NewObject& update,
                                  const std::string& author)
{
    const std::int64_t now = time(nullptr);
    Status status = m_db.run(StoreSql::kInsertRevision, id, static_cast<std::int64_t>(revision),
                             BlobRef{update.bytes}, update.arcname, author, now, update.comment);
    if (!status.ok() || revision == 1)
        return status; // a new object's row already says revision 1
    if (status =
            m_db.run(kSetRevision, id, static_cast<std::int64_t>(revision), now, update.arcname);
        !status.ok())
        return status;
    if (!update.metaKnown)
        return Status::pass();
    SqliteStatement* fields = nullptr;
    if (status = m_db.cached(updateFieldsSql().c_str(), fields); !status.ok())
        return status;
    StatementUse fieldsUse(*fields);
    fieldsUse->bind(1, id);
    bindFields(*fieldsUse, update.meta);
    const int code = fieldsUse->step();
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

Status SqliteStore::importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                                  const std::string& owner, std::vector<Status>& results)
{
    results.clear();
    return writing([&] {
        std::string group;
        Status status = owner.empty() ? Status::pass() : primaryGroup(owner, group);
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
            std::int64_t& subsetId = subsetIds[static_cast<size_t>(
                std::find(kAllKinds.begin(), kAllKinds.end(), object.kind) - kAllKinds.begin())];
            status = subsetForImport(*this, object.kind, subset, owner, group, subsetId);
            if (status.ok())
                status = appendMember(subsetId, id);
        }
        return status;
    });
}

} // namespace Dbscout::Molb
