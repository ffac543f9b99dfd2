#pragma once
// One handler's request, served by the agent on the calling thread.

namespace Dbscout::Molb {

class PgPool;

// Takes the request from socket, answers it through the handler's pipe on a pooled connection
// and sends the exit status. When the handler goes away first, the request's connections are cut.
void serveAgentClient(int socket, PgPool& pool);

} // namespace Dbscout::Molb
