#pragma once
// Thin owners of a libpq connection and its results. Every statement goes out with its values as
// parameters, so no text of a request ever becomes SQL.

#include "model/shared_names.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <libpq-fe.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Dbscout::Molb {

// One statement parameter: text, a whole number, raw bytes or NULL. Text the server's text type
// cannot hold (malformed UTF-8, NUL bytes) goes out repaired, with U+FFFD in their place. Text and
// bytes are referenced, not copied: a value lives only for the call it is passed to.
class PgValue
{
public:
    PgValue(const std::string& text);
    PgValue(const char* text);
    PgValue(std::int64_t number) : m_owned(std::to_string(number)) {}
    PgValue(int number) : PgValue(static_cast<std::int64_t>(number)) {}
    static PgValue bytes(const std::string& bytes);
    static PgValue null();

    const char* data() const;
    int length() const;
    bool binary() const { return m_binary; }

private:
    PgValue() = default;
    void take(std::string_view text);

    std::string_view m_ref;
    std::string m_owned;
    bool m_referenced = false;
    bool m_null = false;
    bool m_binary = false;
};

class PgResult final
{
public:
    PgResult() = default;
    explicit PgResult(PGresult* result) : m_result(result) {}
    PgResult(PgResult&& other) noexcept : m_result(std::exchange(other.m_result, nullptr)) {}
    PgResult& operator=(PgResult&& other) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    ~PgResult() { PQclear(m_result); }

    const PGresult* get() const { return m_result; }
    int rows() const { return m_result ? PQntuples(m_result) : 0; }
    // The rows a command changed.
    std::int64_t affected() const;
    bool isNull(int row, int column) const { return PQgetisnull(m_result, row, column) != 0; }
    // A column's text; NULL gives "".
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const;
    // A column of a binary result as it came, without a copy.
    std::string_view bytes(int row, int column) const;

private:
    PGresult* m_result = nullptr;
};

// A statement of a pipeline: its SQL and values, which must outlive the call that sends it.
struct PgStatement
{
    std::string sql;
    std::vector<PgValue> values;
};

// The server's form of a statement written with SQLite's placeholders (?1 becomes $1), for the
// statements both back ends share (store_sql.h). sql must be a constant: its form is made once
// and kept for the process.
const std::string& pgSql(const char* sql);

class PgInterrupt;

class PgConnection final
{
public:
    enum class Isolation { ReadCommitted, Snapshot };
    using Parameters = std::vector<std::pair<std::string, std::string>>;

    PgConnection() = default;
    PgConnection(PgConnection&& other) noexcept;
    PgConnection& operator=(PgConnection&& other) noexcept;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection();

    // The request this connection works for: when it is interrupted, the connection is cut, so
    // that an unfinished transaction ends on the server as if the handler had been killed.
    void setInterrupt(PgInterrupt* interrupt);

    // Connects with libpq's keywords; with expandDbname the first "dbname" may be a whole
    // connection string. A refused login or a database the role may not connect to fails with
    // Denied, a missing database with NotFound, anything else with Failure; the message is the
    // server's or libpq's first line.
    Status connect(const Parameters& parameters, bool expandDbname = false);
    bool isOpen() const { return m_connection != nullptr; }
    // Whether the last connect failed because the server refused the login (no or a wrong
    // password, an unknown user).
    bool loginRefused() const { return m_loginRefused; }
    PGconn* handle() const { return m_connection; }
    // Open, outside any transaction, and not closed by the server in the meantime: fit to serve
    // another request of the same login.
    bool reusable() const;

    // Runs one statement, prepared once per connection; rows come into result when given, as
    // binary when asked.
    Status exec(std::string_view sql, std::initializer_list<PgValue> values = {},
                PgResult* result = nullptr, bool binaryResult = false)
    {
        return exec(sql, std::vector<PgValue>(values), result, binaryResult);
    }
    Status exec(std::string_view sql, const std::vector<PgValue>& values,
                PgResult* result = nullptr, bool binaryResult = false);
    // Sends every statement before reading any answer (libpq's pipeline mode): one round trip
    // instead of one per statement. Fails with the first statement that failed; the server skips
    // the ones after it. results, when given, gets one per statement, empty for those that did
    // not run.
    Status execPipelined(const std::vector<PgStatement>& statements,
                         std::vector<PgResult>* results = nullptr);
    // Runs statements in one read-only snapshot, in one round trip; results gets one answer per
    // statement.
    Status readSnapshot(const std::vector<PgStatement>& statements, std::vector<PgResult>& results);
    // Runs a script of several statements without parameters (the schema).
    Status execScript(const char* sql);
    // Runs work in one transaction and commits when it passes; rolls back otherwise. A
    // serialization failure or a deadlock runs the whole of work again, a few times at most.
    Status transaction(Isolation isolation, const std::function<Status()>& work);

    // The SQLSTATE of the last failed statement, "" when it passed.
    const std::string& lastState() const { return m_lastState; }
    // The server's error as a Status; the code follows the SQLSTATE.
    Status failure(const PGresult* result);

private:
    Status checked(const PgResult& answer);
    // The name under which sql is prepared on this connection, prepared now when it is new;
    // empty for a statement left unprepared. Fails as running sql would.
    Status prepared(const std::string& sql, int parameterCount, std::string& name);
    std::string preparedName(const std::string& sql) const;
    // The name sql gets when it is prepared now, after pending others; empty where it is left
    // unprepared.
    std::string newPreparedName(const std::string& sql, size_t pending) const;
    // What a pipeline sent, in order: each statement, after its preparation where it is new.
    struct PipelineSent
    {
        size_t statement;
        std::string preparedAs; // for a preparation: the name it takes
    };
    Status sendPipeline(const std::vector<PgStatement>& statements,
                        std::vector<PipelineSent>& sent);
    // Reads every answer up to the pipeline's sync, keeping the first failure after status.
    Status readPipeline(const std::vector<PgStatement>& statements,
                        const std::vector<PipelineSent>& sent, std::vector<PgResult>* results,
                        Status status);
    void adopt(PGconn* connection);
    void close();

    PGconn* m_connection = nullptr;
    PgInterrupt* m_interrupt = nullptr;
    // Statements prepared on this connection, by their SQL: a kept connection plans each of a
    // request's statements once, not in every request.
    std::unordered_map<std::string, std::string> m_prepared;
    std::string m_lastState;
    bool m_loginRefused = false;
};

// The SQLSTATEs the store's own checks raise, with their message for the user.
inline constexpr const char* kDeniedState = "MB403";
inline constexpr const char* kConflictState = "MB409";

} // namespace Dbscout::Molb
