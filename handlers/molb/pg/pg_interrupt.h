#pragma once
// Cuts the server connections of one request when its client goes away. The connection agent
// serves a request on a thread while the handler that sent it may be killed (the panel's Stop);
// cutting the connection ends an unfinished transaction on the server exactly as the death of a
// handler holding the connection itself would, so no work outlives the request that asked for it.

#include <condition_variable>
#include <mutex>
#include <set>

namespace Dbscout::Molb {

class PgInterrupt
{
public:
    // Sockets of the request's open connections; one watched after fire() is cut at once.
    void watch(int socket);
    void unwatch(int socket);
    // Cuts every watched connection (both directions shut down; libpq then fails each call with
    // a connection error instead of waiting) and wakes waitFired.
    void fire();
    bool fired() const;
    void waitFired();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_firedChanged;
    std::set<int> m_sockets;
    bool m_fired = false;
};

} // namespace Dbscout::Molb
