// molb-admin on a server: making the database, its schema and the roles of its users. Names of
// roles and databases cannot be statement parameters; they come from the administrator's command
// line and go into SQL only through libpq's identifier and literal quoting.

#include "model/names.h"
#include "pg/pg_schema.h"
#include "pg/pg_store.h"

#include <memory>

namespace Dbscout::Molb {
namespace {

constexpr size_t kMaxRoleName = 63;

constexpr const char* kDatabaseExists = "SELECT 1 FROM pg_database WHERE datname = $1";
constexpr const char* kUserExists = "SELECT 1 FROM users WHERE name = $1";
// A role that logs in, owns the store or stands above row-level security would hand every
// member rights beyond any mode.
constexpr const char* kRoleKind =
    "SELECT r.rolsuper OR r.rolbypassrls, r.rolcanlogin, "
    "pg_has_role(r.oid, (SELECT relowner FROM pg_class WHERE oid = 'public.objects'::regclass), "
    "'MEMBER') FROM pg_roles r WHERE r.rolname = $1";
constexpr const char* kInsertUser = "INSERT INTO users(name, primary_group) VALUES ($1, $2)";
constexpr const char* kInsertGroup = "INSERT INTO groups(name) VALUES ($1) ON CONFLICT DO NOTHING";
constexpr const char* kInsertMembership =
    "INSERT INTO group_members(user_name, group_name) VALUES ($1, $2) ON CONFLICT DO NOTHING";

using Freed = std::unique_ptr<char, decltype(&PQfreemem)>;

std::string quoted(PGconn* connection, const std::string& text, bool identifier)
{
    Freed escaped(identifier ? PQescapeIdentifier(connection, text.data(), text.size())
                             : PQescapeLiteral(connection, text.data(), text.size()),
                  &PQfreemem);
    return escaped ? escaped.get() : std::string();
}

std::string option(const PQconninfoOption* options, const char* keyword)
{
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (std::string_view(option->keyword) == keyword && option->val)
            return option->val;
    }
    return {};
}

Status checkRoleName(const std::string& name, const char* what)
{
    if (name.empty() || name.size() > kMaxRoleName)
        return Status::fail(ErrorCode::BadRequest,
                            std::string("A ") + what + " name must have 1 to 63 bytes.");
    return Status::pass();
}

} // namespace

Status PgStore::openAdmin(const std::string& connection, bool create)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.c_str(), &error);
    if (!options) {
        const std::string message = error ? error : "out of memory";
        PQfreemem(error);
        return Status::fail(ErrorCode::BadRequest, "The connection string is not valid: " +
                                                       message.substr(0, message.find('\n')));
    }
    m_database = option(options, "dbname");
    m_host = option(options, "host");
    m_port = option(options, "port");
    PQconninfoFree(options);
    if (m_database.empty())
        return Status::fail(ErrorCode::BadRequest, "The connection string names no database, as "
                                                   "in postgresql://HOST/DATABASE.");
    if (!isValidDatabaseName(m_database) || m_database.size() > kMaxRoleName - 5)
        return Status::fail(ErrorCode::BadRequest,
                            "The database name \"" + m_database + "\" is not valid.");
    const std::string server = (m_host.empty() ? std::string("the default server") : m_host) +
                               (m_port.empty() ? std::string() : ":" + m_port);
    m_where = "database \"" + m_database + "\" on " + server;
    Status status = create ? createDatabase(connection, m_database) : Status::pass();
    if (status.ok())
        status = m_db.connect({{"dbname", connection},
                               {"application_name", "molb-admin"},
                               {"client_encoding", "UTF8"},
                               {"options", "-c search_path=public"}},
                              true);
    if (status.code() == ErrorCode::NotFound)
        return Status::fail(ErrorCode::NotFound,
                            "There is no database \"" + m_database + "\" on " + server +
                                " (create it with molb-admin init and the same connection "
                                "string).");
    if (!status.ok())
        return status;
    m_admin = true;
    return migratePgSchema(m_db, m_where, create);
}

Status PgStore::createDatabase(const std::string& connection, const std::string& database)
{
    // Later keywords win: the same server and login, in the maintenance database.
    PgConnection server;
    Status status = server.connect({{"dbname", connection},
                                    {"dbname", "postgres"},
                                    {"application_name", "molb-admin"},
                                    {"client_encoding", "UTF8"}},
                                   true);
    PgResult exists;
    if (status.ok())
        status = server.exec(kDatabaseExists, {database}, &exists);
    if (!status.ok() || exists.rows() == 1)
        return status; // an empty database made by its administrator is fine too
    return server.exec("CREATE DATABASE " + quoted(server.handle(), database, true) +
                       " ENCODING 'UTF8' TEMPLATE template0");
}

Status PgStore::passwordRecord(const std::string& user, const std::string& password,
                               std::string& record)
{
    if (password.find('\0') != std::string::npos)
        return Status::fail(ErrorCode::BadRequest, "The password contains a NUL byte.");
    // The server keeps a SCRAM verifier, made here, so the password itself never travels.
    Freed verifier(
        PQencryptPasswordConn(m_db.handle(), password.c_str(), user.c_str(), "scram-sha-256"),
        &PQfreemem);
    if (!verifier)
        return Status::fail(ErrorCode::Failure, std::string("Cannot make the password record: ") +
                                                    PQerrorMessage(m_db.handle()));
    record = verifier.get();
    return Status::pass();
}

Status PgStore::addUser(const std::string& name, const std::string& passwordHash,
                        const std::vector<std::string>& groups)
{
    Status status = checkRoleName(name, "user");
    for (size_t i = 0; status.ok() && i < groups.size(); ++i)
        status = checkRoleName(groups[i], "group");
    if (!status.ok())
        return status;
    PGconn* handle = m_db.handle();
    const std::string user = quoted(handle, name, true);
    return m_db.transaction(PgConnection::Isolation::ReadCommitted, [&] {
        PgResult rows;
        Status status = m_db.exec(kUserExists, {name}, &rows);
        if (status.ok() && rows.rows() == 1)
            return Status::fail(ErrorCode::Conflict, "A user \"" + name + "\" exists already.");
        if (status.ok())
            status = m_db.exec(kRoleKind, {name}, &rows);
        if (!status.ok())
            return status;
        if (rows.rows() == 1 && (rows.text(0, 0) == "t" || rows.text(0, 2) == "t"))
            return Status::fail(ErrorCode::BadRequest,
                                "The role \"" + name +
                                    "\" owns the store or stands above row-level security; a "
                                    "molb user must not.");
        status = m_db.exec((rows.rows() == 1 ? "ALTER ROLE " : "CREATE ROLE ") + user +
                           " LOGIN PASSWORD " + quoted(handle, passwordHash, false));
        if (status.ok())
            status =
                m_db.exec("GRANT " + quoted(handle, "molb." + m_database, true) + " TO " + user);
        if (status.ok())
            status =
                m_db.exec(kInsertUser, {name, groups.empty() ? std::string() : groups.front()});
        for (size_t i = 0; status.ok() && i < groups.size(); ++i) {
            const std::string group = quoted(handle, groups[i], true);
            status = m_db.exec(kRoleKind, {groups[i]}, &rows);
            if (status.ok() && rows.rows() == 1 &&
                (rows.text(0, 0) == "t" || rows.text(0, 1) == "t" || rows.text(0, 2) == "t"))
                status = Status::fail(ErrorCode::BadRequest,
                                      "The group \"" + groups[i] +
                                          "\" is a role that logs in, owns the store or stands "
                                          "above row-level security; choose another name.");
            if (status.ok() && rows.rows() == 0)
                status = m_db.exec("CREATE ROLE " + group + " NOLOGIN");
            if (status.ok())
                status = m_db.exec("GRANT " + group + " TO " + user);
            if (status.ok())
                status = m_db.exec(kInsertGroup, {groups[i]});
            if (status.ok())
                status = m_db.exec(kInsertMembership, {name, groups[i]});
        }
        return status;
    });
}

} // namespace Dbscout::Molb
