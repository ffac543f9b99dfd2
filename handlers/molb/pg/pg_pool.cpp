#include "pg/pg_pool.h"

namespace Dbscout::Molb {

bool PgPool::take(const PgConnection::Parameters& parameters, PgConnection& connection)
{
    std::list<Idle> unfit; // closed outside the lock
    bool found = false;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_idle.begin(); it != m_idle.end();) {
            if (it->parameters != parameters) {
                ++it;
                continue;
            }
            if (it->connection.reusable()) {
                connection = std::move(it->connection);
                m_idle.erase(it);
                found = true;
                break;
            }
            unfit.splice(unfit.end(), m_idle, it++);
        }
    }
    return found;
}

void PgPool::giveBack(const PgConnection::Parameters& parameters, PgConnection&& connection)
{
    if (!connection.reusable())
        return;
    std::list<Idle> surplus;
    std::lock_guard lock(m_mutex);
    m_idle.push_front(Idle{parameters, std::move(connection), Clock::now()});
    while (m_idle.size() > kMaxIdle)
        surplus.splice(surplus.end(), m_idle, std::prev(m_idle.end()));
}

size_t PgPool::closeIdle()
{
    std::list<Idle> old;
    std::lock_guard lock(m_mutex);
    const Clock::time_point limit = Clock::now() - m_idleLimit;
    for (auto it = m_idle.begin(); it != m_idle.end();) {
        if (it->since < limit)
            old.splice(old.end(), m_idle, it++);
        else
            ++it;
    }
    return m_idle.size();
}

} // namespace Dbscout::Molb
