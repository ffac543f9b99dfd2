#include "pg/pg_connection.h"

#include "model/shared_names.h"
#include "pg/pg_interrupt.h"

#include <charconv>
#include <cstring>
#include <iterator>
#include <mutex>
#include <poll.h>

namespace Dbscout::Molb {
namespace {

constexpr const char* kSnapshotBegin = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";

constexpr int kMaxAttempts = 8;

std::string firstLine(const char* text)
{
    std::string line = text ? text : "";
    line.erase(std::min(line.find('\n'), line.size()));
    return line;
}

// libpq prefixes connection failures with where it tried; the server's reason follows.
std::string connectionReason(PGconn* connection)
{
    std::string message = PQerrorMessage(connection);
    for (const char* marker : {"FATAL:  ", "failed: "}) {
        if (const size_t at = message.rfind(marker); at != std::string::npos) {
            message.erase(0, at + std::strlen(marker));
            break;
        }
    }
    return firstLine(message.c_str());
}

bool isRetryable(const std::string& state)
{
    return state == "40001" || state == "40P01";
}

// The parameter arrays libpq takes, for values that outlive them.
struct LibpqValues
{
    explicit LibpqValues(const std::vector<PgValue>& values)
    {
        for (const PgValue& value : values) {
            data.push_back(value.data());
            lengths.push_back(value.length());
            formats.push_back(value.binary() ? 1 : 0);
        }
    }
    int count() const { return static_cast<int>(data.size()); }

    std::vector<const char*> data;
    std::vector<int> lengths;
    std::vector<int> formats;
};

// Notices (such as a search without words) are no business of the handler's standard error.
void ignoreNotice(void*, const char*) {}

} // namespace

PgValue::PgValue(const std::string& text)
{
    take(text);
}

PgValue::PgValue(const char* text)
{
    take(text);
}

void PgValue::take(std::string_view text)
{
    if (isValidUtf8(text) && text.find('\0') == std::string_view::npos) {
        m_ref = text;
        m_referenced = true;
        return;
    }
    for (char c : repairedUtf8(text))
        m_owned += c == '\0' ? std::string_view("\xef\xbf\xbd") : std::string_view(&c, 1);
}

PgValue PgValue::bytes(const std::string& bytes)
{
    PgValue value;
    value.m_ref = bytes;
    value.m_referenced = true;
    value.m_binary = true;
    return value;
}

PgValue PgValue::null()
{
    PgValue value;
    value.m_null = true;
    return value;
}

const char* PgValue::data() const
{
    if (m_null)
        return nullptr;
    return m_referenced ? m_ref.data() : m_owned.c_str();
}

int PgValue::length() const
{
    return static_cast<int>(m_referenced ? m_ref.size() : m_owned.size());
}

PgResult& PgResult::operator=(PgResult&& other) noexcept
{
    if (this != &other) {
        PQclear(m_result);
        m_result = std::exchange(other.m_result, nullptr);
    }
    return *this;
}

std::int64_t PgResult::affected() const
{
    const char* text = m_result ? PQcmdTuples(m_result) : "";
    std::int64_t count = 0;
    std::from_chars(text, text + std::strlen(text), count);
    return count;
}

std::string PgResult::text(int row, int column) const
{
    return std::string(PQgetvalue(m_result, row, column),
                       static_cast<size_t>(PQgetlength(m_result, row, column)));
}

std::int64_t PgResult::integer(int row, int column) const
{
    const char* text = PQgetvalue(m_result, row, column);
    std::int64_t value = 0;
    std::from_chars(text, text + PQgetlength(m_result, row, column), value);
    return value;
}

std::string_view PgResult::bytes(int row, int column) const
{
    return std::string_view(PQgetvalue(m_result, row, column),
                            static_cast<size_t>(PQgetlength(m_result, row, column)));
}

PgConnection::PgConnection(PgConnection&& other) noexcept
{
    *this = std::move(other);
}

PgConnection& PgConnection::operator=(PgConnection&& other) noexcept
{
    if (this == &other)
        return *this;
    close();
    PGconn* connection = std::exchange(other.m_connection, nullptr);
    if (other.m_interrupt && connection)
        other.m_interrupt->unwatch(PQsocket(connection));
    m_lastState = std::move(other.m_lastState);
    m_loginRefused = other.m_loginRefused;
    m_prepared = std::move(other.m_prepared);
    other.m_prepared.clear();
    adopt(connection);
    return *this;
}

PgConnection::~PgConnection()
{
    close();
}

void PgConnection::setInterrupt(PgInterrupt* interrupt)
{
    if (m_interrupt && m_connection)
        m_interrupt->unwatch(PQsocket(m_connection));
    m_interrupt = interrupt;
    if (m_interrupt && m_connection)
        m_interrupt->watch(PQsocket(m_connection));
}

void PgConnection::adopt(PGconn* connection)
{
    m_connection = connection;
    if (m_interrupt && m_connection)
        m_interrupt->watch(PQsocket(m_connection));
}

void PgConnection::close()
{
    if (!m_connection)
        return;
    // Unwatched first: once closed, the socket's number may belong to another connection.
    if (m_interrupt)
        m_interrupt->unwatch(PQsocket(m_connection));
    PQfinish(std::exchange(m_connection, nullptr));
    m_prepared.clear();
}

bool PgConnection::reusable() const
{
    if (!m_connection || PQstatus(m_connection) != CONNECTION_OK ||
        PQtransactionStatus(m_connection) != PQTRANS_IDLE)
        return false;
    // An idle connection has nothing to read unless the server said goodbye (a restart, an
    // administrator's termination, its idle timeout).
    pollfd socket{PQsocket(m_connection), POLLIN, 0};
    if (::poll(&socket, 1, 0) == 0)
        return true;
    return PQconsumeInput(m_connection) == 1 && PQstatus(m_connection) == CONNECTION_OK &&
           ::poll(&socket, 1, 0) == 0;
}

Status PgConnection::connect(const Parameters& parameters, bool expandDbname)
{
    m_loginRefused = false;
    std::vector<const char*> keywords, values;
    for (const auto& [keyword, value] : parameters) {
        keywords.push_back(keyword.c_str());
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* connection = PQconnectdbParams(keywords.data(), values.data(), expandDbname ? 1 : 0);
    if (connection && PQstatus(connection) == CONNECTION_OK) {
        PQsetNoticeProcessor(connection, ignoreNotice, nullptr);
        close();
        adopt(connection);
        return Status::pass();
    }
    if (!connection)
        return Status::fail(ErrorCode::Failure, "Cannot connect to the database server: out of "
                                                "memory.");
    const std::string reason = connectionReason(connection);
    // The server names neither which of user and password was wrong nor, before the login, any
    // database; libpq says whether a password was asked for.
    const bool refusedLogin = PQconnectionNeedsPassword(connection) ||
                              (PQconnectionUsedPassword(connection) &&
                               reason.find("authentication failed") != std::string::npos);
    const bool noDatabase = reason.find("database \"") != std::string::npos &&
                            reason.find("does not exist") != std::string::npos;
    PQfinish(connection);
    m_loginRefused = refusedLogin;
    if (refusedLogin || reason.find("permission denied") != std::string::npos)
        return Status::fail(ErrorCode::Denied, reason);
    if (noDatabase)
        return Status::fail(ErrorCode::NotFound, reason);
    return Status::fail(ErrorCode::Failure, "Cannot connect to the database server: " + reason);
}

Status PgConnection::failure(const PGresult* result)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    m_lastState = state ? state : "";
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary)
        return Status::fail(ErrorCode::Failure, "The connection to the database server failed: " +
                                                    firstLine(PQerrorMessage(m_connection)));
    if (m_lastState == kDeniedState || m_lastState == "42501")
        return Status::fail(ErrorCode::Denied, primary);
    if (m_lastState == kConflictState || m_lastState == "23505")
        return Status::fail(ErrorCode::Conflict, primary);
    return Status::fail(ErrorCode::Failure, std::string("The database server failed: ") + primary);
}

Status PgConnection::exec(std::string_view sql, const std::vector<PgValue>& values,
                          PgResult* result, bool binaryResult)
{
    const LibpqValues parameters(values);
    const std::string text(sql);
    std::string name;
    if (Status status = prepared(text, parameters.count(), name); !status.ok())
        return status;
    PgResult answer(name.empty()
                        ? PQexecParams(m_connection, text.c_str(), parameters.count(), nullptr,
                                       parameters.data.data(), parameters.lengths.data(),
                                       parameters.formats.data(), binaryResult ? 1 : 0)
                        : PQexecPrepared(m_connection, name.c_str(), parameters.count(),
                                         parameters.data.data(), parameters.lengths.data(),
                                         parameters.formats.data(), binaryResult ? 1 : 0));
    if (Status status = checked(answer); !status.ok())
        return status;
    if (result)
        *result = std::move(answer);
    return Status::pass();
}

std::string PgConnection::preparedName(const std::string& sql) const
{
    const auto known = m_prepared.find(sql);
    return known == m_prepared.end() ? std::string() : known->second;
}

std::string PgConnection::newPreparedName(const std::string& sql, size_t pending) const
{
    // Queries only (transaction control gains nothing), and a bounded number of them: searches
    // are written for their words and filters, and each would otherwise stay for good.
    constexpr size_t kMaxPrepared = 64;
    const bool query = sql.starts_with("SELECT") || sql.starts_with("INSERT") ||
                       sql.starts_with("UPDATE") || sql.starts_with("DELETE");
    if (!query || m_prepared.size() + pending >= kMaxPrepared)
        return {};
    return "molb_" + std::to_string(m_prepared.size() + pending);
}

Status PgConnection::prepared(const std::string& sql, int parameterCount, std::string& name)
{
    name = preparedName(sql);
    if (!name.empty())
        return Status::pass();
    const std::string candidate = newPreparedName(sql, 0);
    if (candidate.empty())
        return Status::pass();
    if (Status status = checked(PgResult(
            PQprepare(m_connection, candidate.c_str(), sql.c_str(), parameterCount, nullptr)));
        !status.ok())
        return status;
    name = m_prepared.emplace(sql, candidate).first->second;
    return Status::pass();
}

Status PgConnection::execPipelined(const std::vector<PgStatement>& statements,
                                   std::vector<PgResult>* results)
{
    if (results) {
        results->clear();
        results->resize(statements.size());
    }
    if (PQenterPipelineMode(m_connection) != 1)
        return failure(nullptr);
    std::vector<PipelineSent> sent;
    const Status status = sendPipeline(statements, sent);
    if (PQpipelineSync(m_connection) != 1) {
        PQexitPipelineMode(m_connection);
        return status.ok() ? failure(nullptr) : status;
    }
    return readPipeline(statements, sent, results, status);
}

Status PgConnection::sendPipeline(const std::vector<PgStatement>& statements,
                                  std::vector<PipelineSent>& sent)
{
    std::unordered_map<std::string, std::string> preparing;
    for (size_t i = 0; i < statements.size(); ++i) {
        const PgStatement& statement = statements[i];
        const LibpqValues parameters(statement.values);
        std::string name = preparedName(statement.sql);
        if (const auto pending = preparing.find(statement.sql); pending != preparing.end())
            name = pending->second;
        if (name.empty()) {
            name = newPreparedName(statement.sql, preparing.size());
            if (!name.empty()) {
                if (PQsendPrepare(m_connection, name.c_str(), statement.sql.c_str(),
                                  parameters.count(), nullptr) != 1)
                    return failure(nullptr);
                preparing.emplace(statement.sql, name);
                sent.push_back({i, name});
            }
        }
        const int sentOk =
            name.empty()
                ? PQsendQueryParams(m_connection, statement.sql.c_str(), parameters.count(),
                                    nullptr, parameters.data.data(), parameters.lengths.data(),
                                    parameters.formats.data(), 0)
                : PQsendQueryPrepared(m_connection, name.c_str(), parameters.count(),
                                      parameters.data.data(), parameters.lengths.data(),
                                      parameters.formats.data(), 0);
        if (sentOk != 1)
            return failure(nullptr);
        sent.push_back({i, {}});
    }
    return Status::pass();
}

Status PgConnection::readPipeline(const std::vector<PgStatement>& statements,
                                  const std::vector<PipelineSent>& sent,
                                  std::vector<PgResult>* results, Status status)
{
    // Each one sent is answered, then followed by a null result.
    size_t next = 0;
    while (true) {
        PgResult answer(PQgetResult(m_connection));
        const ExecStatusType type = PQresultStatus(answer.get());
        if (type == PGRES_PIPELINE_SYNC)
            break;
        if (answer.get() && type == PGRES_FATAL_ERROR && status.ok())
            status = failure(answer.get());
        if (!answer.get() && PQstatus(m_connection) == CONNECTION_BAD) {
            status = status.ok() ? failure(nullptr) : status;
            break;
        }
        if (!answer.get()) {
            ++next;
            continue;
        }
        if (next >= sent.size() || (type != PGRES_TUPLES_OK && type != PGRES_COMMAND_OK))
            continue;
        const PipelineSent& what = sent[next];
        if (!what.preparedAs.empty())
            m_prepared.emplace(statements[what.statement].sql, what.preparedAs);
        else if (results)
            (*results)[what.statement] = std::move(answer);
    }
    PQexitPipelineMode(m_connection);
    return status;
}

Status PgConnection::execScript(const char* sql)
{
    return checked(PgResult(PQexec(m_connection, sql)));
}

Status PgConnection::checked(const PgResult& answer)
{
    const ExecStatusType status = PQresultStatus(answer.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return failure(answer.get());
    m_lastState.clear();
    return Status::pass();
}

Status PgConnection::readSnapshot(const std::vector<PgStatement>& statements,
                                  std::vector<PgResult>& results)
{
    std::vector<PgStatement> all{{kSnapshotBegin, {}}};
    all.insert(all.end(), statements.begin(), statements.end());
    all.push_back({"COMMIT", {}});
    std::vector<PgResult> answers;
    const Status status = execPipelined(all, &answers);
    if (!status.ok()) {
        // A statement failed inside the transaction: the server skipped the COMMIT.
        const std::string state = m_lastState;
        if (PQtransactionStatus(m_connection) == PQTRANS_INERROR)
            static_cast<void>(exec("ROLLBACK"));
        m_lastState = state;
        return status;
    }
    results.assign(std::make_move_iterator(answers.begin() + 1),
                   std::make_move_iterator(answers.end() - 1));
    return status;
}

Status PgConnection::transaction(Isolation isolation, const std::function<Status()>& work)
{
    const char* begin = isolation == Isolation::Snapshot ? kSnapshotBegin : "BEGIN";
    for (int attempt = 1;; ++attempt) {
        m_lastState.clear();
        Status status = exec(begin);
        if (status.ok())
            status = work();
        if (status.ok())
            status = exec("COMMIT");
        if (status.ok())
            return status;
        const std::string state = m_lastState;
        static_cast<void>(exec("ROLLBACK"));
        m_lastState = state;
        if (!isRetryable(state) || attempt == kMaxAttempts)
            return status;
    }
}

const std::string& pgSql(const char* sql)
{
    // The connection agent serves requests on several threads.
    static std::mutex lock;
    static std::unordered_map<const char*, std::string> forms;
    const std::lock_guard<std::mutex> hold(lock);
    auto [entry, made] = forms.try_emplace(sql);
    if (made) {
        for (const char* c = sql; *c; ++c)
            entry->second += *c == '?' && c[1] >= '0' && c[1] <= '9' ? '$' : *c;
    }
    return entry->second;
}

} // namespace Dbscout::Molb
