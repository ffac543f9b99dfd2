#include "pg/pg_store.h"
#include "steps/store_sql.h"

#include "model/names.h"
#include "model/password.h"
#include "pg/pg_interrupt.h"
#include "pg/pg_pool.h"
#include "pg/pg_schema.h"

#include <algorithm>
#include <charconv>

namespace Dbscout::Molb {
namespace {

// The longest role name the server keeps whole; a longer one would be cut, not refused.
constexpr size_t kMaxRoleName = 63;

constexpr const char* kSessionInfo =
    "SELECT molb_is_admin(), EXISTS (SELECT 1 FROM users), current_user, "
    "coalesce((SELECT primary_group FROM users WHERE name = current_user), '')";
constexpr const char* kSessionGroups =
    "SELECT name FROM groups WHERE molb_in_group(name) ORDER BY name COLLATE \"C\"";
constexpr const char* kSubsetsOfKind =
    "SELECT name, owner, grp, mode FROM subsets WHERE kind = $1 ORDER BY name COLLATE \"C\"";
// Every kind's, up to one more than the session keeps, so that a store with many is read by kind.
constexpr int kSessionSubsets = 1000;
const std::string kSubsetsOfEveryKind = "SELECT name, owner, grp, mode, kind FROM subsets "
                                        "ORDER BY kind, name COLLATE \"C\" LIMIT " +
                                        std::to_string(kSessionSubsets + 1);
constexpr const char* kPrimaryGroup = "SELECT primary_group FROM users WHERE name = $1";

// A row of name, owner, grp and mode.
SubsetInfo subsetInfo(const PgResult& rows, int row)
{
    return SubsetInfo{rows.text(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3)};
}

// The yes-or-no answer of a shared statement (store_sql.h).
Status askYes(PgConnection& db, const char* sql, std::initializer_list<PgValue> values, bool& yes)
{
    PgResult row;
    Status status = db.exec(pgSql(sql), values, &row);
    yes = status.ok() && row.rows() == 1 && row.text(0, 0) == "t";
    return status;
}

// 1 to longest characters, each of them alphanumeric (hexadecimal digits only with hex) or one
// of others.
bool isMadeOf(std::string_view text, size_t longest, bool hex, std::string_view others)
{
    const auto allowed = [&](char c) {
        const char lower = static_cast<char>(c | 0x20);
        return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= (hex ? 'f' : 'z')) ||
               others.find(c) != std::string_view::npos;
    };
    return !text.empty() && text.size() <= longest &&
           std::all_of(text.begin(), text.end(), allowed);
}

bool isHostName(std::string_view name)
{
    return isMadeOf(name, 253, false, ".-_");
}

bool isIpv6(std::string_view address)
{
    return isMadeOf(address, 45, true, ":.");
}

bool isPort(std::string_view text)
{
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return error == std::errc() && end == text.data() + text.size() && port > 0 && port < 65536;
}

} // namespace

PgStore::PgStore(PgStoreContext context) : m_context(std::move(context))
{
    m_db.setInterrupt(m_context.interrupt);
}

PgStore::~PgStore()
{
    if (m_context.pool && !(m_context.interrupt && m_context.interrupt->fired()))
        m_context.pool->giveBack(m_connected, std::move(m_db));
}

Status PgStore::setAddress(const std::string& host, const std::string& database)
{
    std::string_view name = host;
    std::string_view port;
    bool nameValid = false;
    if (!name.empty() && name.front() == '[') {
        const size_t close = name.find(']');
        if (close != std::string_view::npos) {
            port = name.substr(close + 1);
            name = name.substr(1, close - 1);
            nameValid = isIpv6(name) && (port.empty() || port.front() == ':');
            if (!port.empty())
                port.remove_prefix(1);
        }
    } else {
        const size_t colon = name.find(':');
        if (colon != std::string_view::npos) {
            port = name.substr(colon + 1);
            name = name.substr(0, colon);
        }
        nameValid = isHostName(name);
    }
    if (!nameValid || (!port.empty() && !isPort(port)) || (port.empty() && host.back() == ':'))
        return Status::fail(ErrorCode::BadRequest,
                            "The host " + quotedForMessage(host) +
                                " is neither \"local\" nor a server name with an optional "
                                "port, as in molb://db.example.org:5432/DATABASE/KIND/.");
    if (!isValidDatabaseName(database) || database.size() > kMaxRoleName - 5)
        return Status::fail(ErrorCode::BadRequest,
                            "The database name " + quotedForMessage(database) + " is not valid.");
    m_host = name;
    m_port = port;
    m_database = database;
    m_where = "database \"" + database + "\" on " + host;
    return Status::pass();
}

Status PgStore::connectAs(const std::string* user, const std::string* password)
{
    PgConnection::Parameters parameters = {
        {"host", m_host},
        {"dbname", m_database},
        {"sslmode", "prefer"},
        {"connect_timeout", "10"},
        {"application_name", "molb-handler"},
        {"client_encoding", "UTF8"},
        {"options", "-c search_path=public"},
    };
    if (!m_port.empty())
        parameters.emplace_back("port", m_port);
    // Without a user, libpq's own defaults (PGUSER, the login name, ~/.pgpass) pick the role.
    if (user) {
        parameters.emplace_back("user", *user);
        parameters.emplace_back("password", *password);
    }
    for (const auto& setting : m_context.defaults) {
        const bool set = std::any_of(parameters.begin(), parameters.end(), [&](const auto& given) {
            return given.first == setting.first;
        });
        if (!set)
            parameters.push_back(setting);
    }
    m_connected = parameters;
    if (m_context.pool && m_context.pool->take(parameters, m_db))
        return Status::pass();
    return m_db.connect(parameters);
}

Status PgStore::authenticate(bool given, const std::string& user, const std::string& password,
                             Session& session)
{
    session = Session();
    const bool named = given && !user.empty();
    Status status = Status::pass();
    bool refused = named && user.size() > kMaxRoleName;
    if (!refused) {
        status = named ? connectAs(&user, &password) : connectAs(nullptr, nullptr);
        refused = m_db.loginRefused();
    }
    if (refused && named) {
        // A store without users serves any request as its owner, whatever user it names, as
        // the local store does; only this process's default login can tell.
        Status fallback = connectAs(nullptr, nullptr);
        if (fallback.ok())
            fallback = readSession(false, user, session);
        if (fallback.ok() && session.everyoneOwns)
            return Status::pass();
        session = Session();
        return wrongUserOrPassword();
    }
    if (refused)
        return Status::fail(ErrorCode::Denied,
                            "This database needs a user name and password (user= and pass=).");
    if (status.code() == ErrorCode::NotFound)
        return Status::fail(ErrorCode::NotFound, "There is no database \"" + m_database +
                                                     "\" on the server " + m_host + ".");
    if (status.code() == ErrorCode::Denied)
        return Status::fail(ErrorCode::Denied, "You are not a user of the " + m_where + ".");
    if (!status.ok())
        return status;
    return readSession(named, user, session);
}

Status PgStore::readSession(bool named, const std::string& user, Session& session)
{
    // The store's version and who is asking, in one round trip. Where the version table is
    // missing, the statements after it fail, and the version's message is the one that counts.
    std::vector<PgStatement> statements = pgVersionStatements();
    statements.push_back({kSessionInfo, {}});
    statements.push_back({kSessionGroups, {}});
    statements.push_back({kSubsetsOfEveryKind, {}});
    std::vector<PgResult> answers;
    Status status = m_db.execPipelined(statements, &answers);
    if (Status schema = checkPgSchema(pgVersionFrom(answers[0], answers[1]), m_where);
        !schema.ok() && (status.ok() || answers[0].rows() == 1))
        return schema;
    if (!status.ok())
        return status;
    const PgResult& info = answers[2];
    m_subsets.reset();
    if (const PgResult& subsets = answers[4]; subsets.rows() <= kSessionSubsets) {
        m_subsets.emplace();
        for (int row = 0; row < subsets.rows(); ++row)
            m_subsets->emplace_back(static_cast<Kind>(subsets.integer(row, 4)),
                                    subsetInfo(subsets, row));
    }
    const bool admin = info.text(0, 0) == "t";
    m_admin = admin;
    const bool hasUsers = info.text(0, 1) == "t";
    if (!named && hasUsers)
        return Status::fail(ErrorCode::Denied,
                            "This database needs a user name and password (user= and pass=).");
    if (admin) {
        // The store's owner: every right, as in a store without users; the named user is
        // recorded as the owner of what it saves.
        session.everyoneOwns = true;
        session.user = user;
        return Status::pass();
    }
    session.user = info.text(0, 2);
    const std::string primary = info.text(0, 3);
    if (!primary.empty())
        session.groups.push_back(primary);
    const PgResult& groups = answers[3];
    for (int row = 0; row < groups.rows(); ++row) {
        if (groups.text(row, 0) != primary)
            session.groups.push_back(groups.text(row, 0));
    }
    return Status::pass();
}

Status PgStore::listSubsets(const Session& session, Kind kind, std::vector<SubsetInfo>& subsets)
{
    subsets.clear();
    if (m_subsets) {
        for (const auto& [itsKind, subset] : *m_subsets) {
            if (itsKind == kind)
                subsets.push_back(subset);
        }
    } else {
        PgResult rows;
        if (Status status = m_db.exec(kSubsetsOfKind, {static_cast<int>(kind)}, &rows);
            !status.ok())
            return status;
        for (int row = 0; row < rows.rows(); ++row)
            subsets.push_back(subsetInfo(rows, row));
    }
    for (SubsetInfo& subset : subsets)
        subset.right = rightOf(session, subset.owner, subset.group, subset.mode);
    return Status::pass();
}

Status PgStore::primaryGroup(const std::string& user, std::string& group)
{
    PgResult row;
    Status status = m_db.exec(kPrimaryGroup, {user}, &row);
    group = status.ok() && row.rows() == 1 ? row.text(0, 0) : std::string();
    return status;
}

Status PgStore::writing(const std::function<Status()>& work)
{
    m_subsets.reset(); // a write may make, hide or show subsets
    return m_db.transaction(PgConnection::Isolation::ReadCommitted, work);
}

Status PgStore::reading(const std::function<Status()>& work)
{
    return m_db.transaction(PgConnection::Isolation::Snapshot, work);
}

Status PgStore::hasUsers(bool& any)
{
    return askYes(m_db, StoreSql::kAnyUser, {}, any);
}

Status PgStore::isUser(const std::string& name, bool& known)
{
    return askYes(m_db, StoreSql::kUserExists, {name}, known);
}

Status PgStore::isGroup(const std::string& name, bool& known)
{
    return askYes(m_db, StoreSql::kGroupExists, {name}, known);
}

} // namespace Dbscout::Molb
