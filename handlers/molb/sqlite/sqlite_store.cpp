#include "sqlite/sqlite_store.h"

#include "password.h"
#include "sqlite/sqlite_schema.h"

#include <sys/stat.h>

namespace Dbscout::Molb {
namespace {

constexpr const char* kAnyUser = "SELECT EXISTS(SELECT 1 FROM users)";
constexpr const char* kUserByName =
    "SELECT password_hash, primary_group FROM users WHERE name = ?1";
constexpr const char* kUserGroups =
    "SELECT group_name FROM group_members WHERE user_name = ?1 AND group_name <> ?2 "
    "ORDER BY group_name";
constexpr const char* kSubsetsOfKind =
    "SELECT name, owner, grp, mode FROM subsets WHERE kind = ?1 ORDER BY name";
constexpr const char* kInsertUser =
    "INSERT INTO users(name, password_hash, primary_group) VALUES (?1, ?2, ?3)";
constexpr const char* kInsertGroup = "INSERT OR IGNORE INTO groups(name) VALUES (?1)";
constexpr const char* kInsertMembership =
    "INSERT OR IGNORE INTO group_members(user_name, group_name) VALUES (?1, ?2)";
constexpr const char* kUserExists = "SELECT EXISTS(SELECT 1 FROM users WHERE name = ?1)";
constexpr const char* kGroupExists = "SELECT EXISTS(SELECT 1 FROM groups WHERE name = ?1)";

Status busyOr(SqliteDb& db, int code)
{
    return code == SQLITE_DONE || code == SQLITE_ROW ? Status::pass() : db.failure(code);
}

// The yes-or-no answer of a statement with optional text bound to ?1.
Status askYes(SqliteDb& db, const char* sql, const std::string* text, bool& yes)
{
    SqliteStatement* statement = nullptr;
    if (Status status = db.cached(sql, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    if (text)
        use->bind(1, *text);
    if (const int code = use->step(); code != SQLITE_ROW)
        return db.failure(code);
    yes = use->integer(0) != 0;
    return Status::pass();
}

std::string columnText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string(text, static_cast<size_t>(sqlite3_value_bytes(value)))
                : std::string();
}

// molb_may_read(owner, grp, mode): whether the session of the listing being read may read the
// object, by the same rule (rightOf) as everything else.
void mayRead(sqlite3_context* context, int, sqlite3_value** values)
{
    const Session* session = *static_cast<const Session**>(sqlite3_user_data(context));
    const bool readable = session && rightOf(*session, columnText(values[0]), columnText(values[1]),
                                             columnText(values[2])) != Right::None;
    sqlite3_result_int(context, readable ? 1 : 0);
}

} // namespace

Status SqliteStore::open(const std::string& path, bool create)
{
    struct stat info = {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (create && exists)
        return Status::fail(ErrorCode::Conflict, "The store " + path + " exists already.");
    if (!create && !exists)
        return Status::fail(ErrorCode::NotFound, "There is no store " + path + ".");
    Status status = m_db.open(path, create);
    if (status.ok())
        status = create ? createSqliteSchema(m_db) : checkSqliteSchema(m_db, path);
    if (status.ok() && sqlite3_create_function_v2(m_db.handle(), "molb_may_read", 3, SQLITE_UTF8,
                                                  &m_listingSession, mayRead, nullptr, nullptr,
                                                  nullptr) != SQLITE_OK)
        status = m_db.failure(sqlite3_errcode(m_db.handle()));
    return status;
}

Status SqliteStore::authenticate(bool given, const std::string& user, const std::string& password,
                                 Session& session)
{
    session = Session();
    bool anyUser = false;
    Status status = hasUsers(anyUser);
    if (!status.ok())
        return status;
    session.user = user;
    if (!anyUser) {
        session.everyoneOwns = true;
        return Status::pass();
    }
    if (!given || user.empty())
        return Status::fail(ErrorCode::Denied,
                            "This database needs a user name and password (user= and pass=).");

    SqliteStatement* byName = nullptr;
    if (status = m_db.cached(kUserByName, byName); !status.ok())
        return status;
    StatementUse use(*byName);
    use->bind(1, user);
    const int code = use->step();
    if (code != SQLITE_ROW && code != SQLITE_DONE)
        return m_db.failure(code);
    if (code == SQLITE_DONE || !verifyPassword(password, use->text(0)))
        return Status::fail(ErrorCode::Denied, "Wrong user name or password.");
    const std::string primary = use->text(1);
    if (!primary.empty())
        session.groups.push_back(primary);

    SqliteStatement* groups = nullptr;
    if (status = m_db.cached(kUserGroups, groups); !status.ok())
        return status;
    StatementUse groupsUse(*groups);
    groupsUse->bind(1, user);
    groupsUse->bind(2, primary);
    int step = SQLITE_ROW;
    while ((step = groupsUse->step()) == SQLITE_ROW)
        session.groups.push_back(groupsUse->text(0));
    return busyOr(m_db, step);
}

Status SqliteStore::listSubsets(const Session& session, Kind kind, std::vector<SubsetInfo>& subsets)
{
    subsets.clear();
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kSubsetsOfKind, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, static_cast<std::int64_t>(kind));
    int code = SQLITE_ROW;
    while ((code = use->step()) == SQLITE_ROW) {
        SubsetInfo subset{use->text(0), use->text(1), use->text(2), use->text(3)};
        subset.right = rightOf(session, subset.owner, subset.group, subset.mode);
        if (subset.right != Right::None)
            subsets.push_back(std::move(subset));
    }
    return busyOr(m_db, code);
}

Status SqliteStore::primaryGroup(const std::string& user, std::string& group)
{
    group.clear();
    SqliteStatement* statement = nullptr;
    if (Status status = m_db.cached(kUserByName, statement); !status.ok())
        return status;
    StatementUse use(*statement);
    use->bind(1, user);
    const int code = use->step();
    if (code == SQLITE_ROW)
        group = use->text(1);
    return busyOr(m_db, code);
}

Status SqliteStore::addUser(const std::string& name, const std::string& passwordHash,
                            const std::vector<std::string>& groups)
{
    return writing([&] {
        Status status = m_db.run(kInsertUser, name, passwordHash,
                                 groups.empty() ? std::string() : groups.front());
        if (status.code() == ErrorCode::Conflict)
            return Status::fail(ErrorCode::Conflict, "A user \"" + name + "\" exists already.");
        for (size_t i = 0; status.ok() && i < groups.size(); ++i) {
            status = m_db.run(kInsertGroup, groups[i]);
            if (status.ok())
                status = m_db.run(kInsertMembership, name, groups[i]);
        }
        return status;
    });
}

Status SqliteStore::writing(const std::function<Status()>& work)
{
    return SqliteTransaction::run(m_db, SqliteTransaction::Kind::Write, work);
}

Status SqliteStore::reading(const std::function<Status()>& work)
{
    return SqliteTransaction::run(m_db, SqliteTransaction::Kind::Read, work);
}

Status SqliteStore::hasUsers(bool& any)
{
    return askYes(m_db, kAnyUser, nullptr, any);
}

Status SqliteStore::isUser(const std::string& name, bool& known)
{
    return askYes(m_db, kUserExists, &name, known);
}

Status SqliteStore::isGroup(const std::string& name, bool& known)
{
    return askYes(m_db, kGroupExists, &name, known);
}

} // namespace Dbscout::Molb
