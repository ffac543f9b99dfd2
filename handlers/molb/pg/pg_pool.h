#pragma once
// The connection agent's idle server connections. Each is kept under the exact parameters it was
// opened with, password included, so a request gets only a connection that the server itself
// accepted for the same login, database and settings; any other request connects anew and the
// server checks it. Connections unused for the idle limit are closed.

#include "pg/pg_connection.h"

#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>

namespace Dbscout::Molb {

class PgPool
{
public:
    using Clock = std::chrono::steady_clock;

    explicit PgPool(Clock::duration idleLimit) : m_idleLimit(idleLimit) {}

    // Moves an idle connection opened with parameters into connection; false when there is none
    // still fit for use.
    bool take(const PgConnection::Parameters& parameters, PgConnection& connection);
    // Keeps connection for the next request with the same parameters, when it is fit for one.
    void giveBack(const PgConnection::Parameters& parameters, PgConnection&& connection);
    // Closes the connections idle for longer than the limit; returns how many stay open.
    size_t closeIdle();

private:
    struct Idle
    {
        PgConnection::Parameters parameters;
        PgConnection connection;
        Clock::time_point since;
    };

    static constexpr size_t kMaxIdle = 32;

    const Clock::duration m_idleLimit;
    std::mutex m_mutex;
    std::list<Idle> m_idle; // the most recently returned first
};

} // namespace Dbscout::Molb
