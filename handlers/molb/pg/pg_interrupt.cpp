#include "pg/pg_interrupt.h"

#include <sys/socket.h>

namespace Dbscout::Molb {

void PgInterrupt::watch(int socket)
{
    std::lock_guard lock(m_mutex);
    if (m_fired)
        ::shutdown(socket, SHUT_RDWR);
    else
        m_sockets.insert(socket);
}

void PgInterrupt::unwatch(int socket)
{
    std::lock_guard lock(m_mutex);
    m_sockets.erase(socket);
}

void PgInterrupt::fire()
{
    {
        std::lock_guard lock(m_mutex);
        m_fired = true;
        for (int socket : m_sockets)
            ::shutdown(socket, SHUT_RDWR);
        m_sockets.clear();
    }
    m_firedChanged.notify_all();
}

bool PgInterrupt::fired() const
{
    std::lock_guard lock(m_mutex);
    return m_fired;
}

void PgInterrupt::waitFired()
{
    std::unique_lock lock(m_mutex);
    m_firedChanged.wait(lock, [this] { return m_fired; });
}

} // namespace Dbscout::Molb
