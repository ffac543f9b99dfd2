#include "agent/agent_service.h"

#include "agent/agent_session.h"
#include "link/agent_link.h"
#include "pg/pg_pool.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <memory>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

using Clock = std::chrono::steady_clock;

// How long a new agent waits for one that is closing down to let go of the folder.
constexpr auto kLockWait = std::chrono::seconds(3);
constexpr int kTickMilliseconds = 500;

struct Worker
{
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
};

bool takeLock(const std::string& folder)
{
    const int lock = ::open((folder + "/agent.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0)
        return false;
    // Kept open (and locked) for the agent's whole life.
    for (const Clock::time_point limit = Clock::now() + kLockWait;;) {
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (Clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int listenAt(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    ::unlink(path.c_str()); // left by an agent that died; the lock says none is running
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 128) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

ino_t inodeOf(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A request's thread. The requests answer their own failures (serveAgentClient), and nothing
// else one of them throws may end the agent, which serves everybody else's requests too: the
// handler of such a request sees its connection close unanswered.
void serveClient(int client, PgPool& pool, std::atomic<bool>& done) noexcept
{
    try {
        serveAgentClient(client, pool);
    } catch (...) {
    }
    ::close(client);
    done.store(true);
}

void startWorker(std::list<Worker>& workers, int client, PgPool& pool)
{
    try {
        // Everything that can fail comes before the thread starts, which comes last.
        std::list<Worker> added(1);
        Worker& worker = added.back();
        worker.done = std::make_shared<std::atomic<bool>>(false);
        worker.thread =
            std::thread([client, &pool, done = worker.done] { serveClient(client, pool, *done); });
        workers.splice(workers.end(), added);
    } catch (const std::exception&) {
        ::close(client); // no thread or memory for it now: its handler sees it unanswered
    }
}

void joinFinished(std::list<Worker>& workers)
{
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

int runAgent(const std::string& folder)
{
    if (!ensurePrivateFolder(folder).ok() || !takeLock(folder))
        return 1;
    const std::string path = agentSocketPath(folder);
    const int listener = listenAt(path);
    if (listener < 0) {
        std::perror("molb-agent: cannot listen");
        return 1;
    }
    const ino_t socketInode = inodeOf(path);
    const auto idle = std::chrono::seconds(agentIdleSeconds());
    PgPool pool(idle);
    std::list<Worker> workers;
    Clock::time_point lastRequest = Clock::now();

    while (true) {
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, kTickMilliseconds) > 0) {
            const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                startWorker(workers, client, pool);
        }
        joinFinished(workers);
        if (!workers.empty()) {
            lastRequest = Clock::now();
            continue;
        }
        const size_t open = pool.closeIdle();
        // A folder removed or taken over by another agent ends this one at once.
        if (inodeOf(path) != socketInode)
            break;
        if (open == 0 && Clock::now() - lastRequest >= idle)
            break;
    }
    // New handlers find no socket and start another agent; handlers that connected in the
    // meantime see the connection close unanswered and try again.
    if (inodeOf(path) == socketInode)
        ::unlink(path.c_str());
    ::close(listener);
    for (Worker& worker : workers)
        worker.thread.join();
    return 0;
}

} // namespace Dbscout::Molb
