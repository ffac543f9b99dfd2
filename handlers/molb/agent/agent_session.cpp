#include "agent/agent_session.h"

#include "link/agent_link.h"
#include "pg/pg_interrupt.h"
#include "pg/pg_store.h"
#include "protocol/molb_pages.h"
#include "serve/commands.h"
#include "test_hooks/test_pause.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

constexpr int kExitRefused = 1;
// A handler sends its whole request at once; one that stalls longer is given up.
constexpr int kRequestSeconds = 30;

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }
    int get() const { return m_fd; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// Fires interrupt when the handler's end of socket closes (the handler died or was killed):
// a handler sends nothing after its request, so anything readable means it is gone.
class ClientWatch
{
public:
    ClientWatch(int socket, PgInterrupt& interrupt)
        : m_stop(::eventfd(0, EFD_CLOEXEC)), m_thread([this, socket, &interrupt] {
              pollfd watched[2] = {{socket, POLLIN | POLLRDHUP, 0}, {m_stop.get(), POLLIN, 0}};
              int ready = 0;
              do {
                  ready = ::poll(watched, 2, -1);
              } while (ready < 0 && errno == EINTR);
              if (ready < 0 || watched[0].revents != 0)
                  interrupt.fire();
          })
    {}
    ~ClientWatch()
    {
        const std::uint64_t one = 1;
        static_cast<void>(::write(m_stop.get(), &one, sizeof one));
        m_thread.join();
    }

private:
    Descriptor m_stop;
    std::thread m_thread;
};

// The handler's libpq settings (PGUSER, PGPASSWORD, PGSSLMODE, ...) as connection parameters,
// so the agent connects exactly as the handler would have with its own environment.
PgConnection::Parameters libpqSettings(const std::vector<std::string>& environment)
{
    PgConnection::Parameters settings;
    PQconninfoOption* options = PQconndefaults();
    for (const std::string& entry : environment) {
        const size_t equals = entry.find('=');
        const std::string name = entry.substr(0, equals);
        for (PQconninfoOption* option = options; option && option->keyword; ++option) {
            if (option->envvar && name == option->envvar && equals != std::string::npos)
                settings.emplace_back(option->keyword, entry.substr(equals + 1));
        }
    }
    PQconninfoFree(options);
    return settings;
}

std::string pauseStage(const std::vector<std::string>& environment)
{
    constexpr std::string_view kPause = "DBSCOUT_MOLB_TEST_PAUSE=";
    for (const std::string& entry : environment) {
        if (entry.starts_with(kPause))
            return entry.substr(kPause.size());
    }
    return {};
}

} // namespace

void serveAgentClient(int socket, PgPool& pool)
{
    // The folder already keeps other users out; a peer of another user is not served anyway.
    ucred peer = {};
    socklen_t size = sizeof peer;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid())
        return;
    const timeval limit{kRequestSeconds, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    AgentRequest request;
    const Status received = receiveAgentRequest(socket, request);
    Descriptor answer(request.answerFd), error(request.errorFd);
    if (!received.ok() && received.code() != ErrorCode::BadRequest)
        return;
    const char accepted = kAgentAccepted;
    if (::send(socket, &accepted, 1, MSG_NOSIGNAL) != 1)
        return;
    // The pipe's end tells the handler the answer is whole; the status follows.
    const auto finish = [&](int code) {
        answer.close();
        error.close();
        const char status = static_cast<char>(code);
        static_cast<void>(::send(socket, &status, 1, MSG_NOSIGNAL));
    };
    if (!received.ok()) {
        static_cast<void>(writeAll(answer.get(), errorPage(received.message())));
        finish(kExitRefused);
        return;
    }
    PgInterrupt interrupt;
    const ClientWatch watch(socket, interrupt);
    const RequestPause pause{pauseStage(request.environment), error.get(),
                             [&interrupt] { interrupt.waitFired(); }};
    setRequestPause(pause.stage.empty() ? nullptr : &pause);
    const PgStoreContext context{&pool, &interrupt, libpqSettings(request.environment)};
    const ServerStoreOpener opener = [&context](const std::string& host,
                                                const std::string& database,
                                                std::unique_ptr<Store>& store) {
        auto server = std::make_unique<PgStore>(context);
        Status status = server->setAddress(host, database);
        if (status.ok())
            store = std::move(server);
        return status;
    };
    const int code =
        serveServerRequest(request.url, std::move(request.input), answer.get(), opener);
    setRequestPause(nullptr);
    // The store has given its connection back by now. The handler is answered before the watch
    // ends: waiting for its thread to be scheduled and to stop would only delay the answer.
    finish(code);
}

} // namespace Dbscout::Molb
