#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

#include "model/password.h"
#include "sqlite/sqlite_schema.h"

#include <future>

#include <sys/stat.h>

namespace Dbscout::Molb {
namespace {

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

// The yes-or-no answer of a shared statement (store_sql.h) with values bound.
template <typename... Values>
Status askYes(SqliteDb& db, const char* sql, bool& yes, const Values&... values)
{
    yes = false;
    return db.eachRow(
        sql,
        [&yes](const SqliteStatement& row) {
            yes = row.integer(0) != 0;
            return Status::pass();
        },
        values...);
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
    std::future<bool> verdict;
    const Status status = authenticateDeferred(given, user, password, session, verdict);
    if (status.ok() && verdict.valid() && !verdict.get())
        return wrongUserOrPassword();
    return status;
}

// The user's row and groups are read at once; the password's hash, worked out on purpose
// slowly, is compared on another thread.
Status SqliteStore::authenticateDeferred(bool given, const std::string& user,
                                         const std::string& password, Session& session,
                                         std::future<bool>& verdict)
{
    verdict = {};
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

    bool known = false;
    std::string hash;
    std::string primary;
    status = m_db.eachRow(
        kUserByName,
        [&](const SqliteStatement& row) {
            known = true;
            hash = row.text(0);
            primary = row.text(1);
            return Status::pass();
        },
        user);
    if (!status.ok())
        return status;
    if (!known)
        return wrongUserOrPassword();
    if (!primary.empty())
        session.groups.push_back(primary);
    const auto group = [&session](const SqliteStatement& row) {
        session.groups.push_back(row.text(0));
        return Status::pass();
    };
    if (status = m_db.eachRow(kUserGroups, group, user, primary); !status.ok())
        return status;
    verdict =
        std::async(std::launch::async, [password, hash] { return verifyPassword(password, hash); });
    return Status::pass();
}

Status SqliteStore::listSubsets(const Session& session, Kind kind, std::vector<SubsetInfo>& subsets)
{
    subsets.clear();
    const auto read = [&](const SqliteStatement& row) {
        SubsetInfo subset{row.text(0), row.text(1), row.text(2), row.text(3)};
        subset.right = rightOf(session, subset.owner, subset.group, subset.mode);
        if (subset.right != Right::None)
            subsets.push_back(std::move(subset));
        return Status::pass();
    };
    return m_db.eachRow(kSubsetsOfKind, read, static_cast<std::int64_t>(kind));
}

Status SqliteStore::primaryGroup(const std::string& user, std::string& group)
{
    group.clear();
    const auto read = [&group](const SqliteStatement& row) {
        group = row.text(1);
        return Status::pass();
    };
    return m_db.eachRow(kUserByName, read, user);
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

Status SqliteStore::inOneCommit(const std::function<Status()>& work)
{
    // The savepoints keep what they would undo in memory, not in a file written for each save.
    Status status = m_db.execute("PRAGMA temp_store = MEMORY");
    return status.ok() ? writing(work) : status;
}

Status SqliteStore::hasUsers(bool& any)
{
    return askYes(m_db, StoreSql::kAnyUser, any);
}

Status SqliteStore::isUser(const std::string& name, bool& known)
{
    return askYes(m_db, StoreSql::kUserExists, known, name);
}

Status SqliteStore::isGroup(const std::string& name, bool& known)
{
    return askYes(m_db, StoreSql::kGroupExists, known, name);
}

} // namespace Dbscout::Molb
