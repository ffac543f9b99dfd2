#include "serve/agent_client.h"

#include "link/agent_link.h"
#include "protocol/molb_pages.h"
#include "serve/commands.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Dbscout::Molb {
namespace {

constexpr int kExitStoreFailed = 2;
// How long a handler waits for an agent it started to listen.
constexpr auto kAgentStartLimit = std::chrono::seconds(5);

struct Descriptor
{
    explicit Descriptor(int fd = -1) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    void reset(int other = -1)
    {
        if (fd >= 0)
            ::close(fd);
        fd = other;
    }
    int fd;
};

int connectTo(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

// molb-agent beside this program.
std::string agentProgram()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "molb-agent";
    std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/') + 1) + "molb-agent";
}

// Starts the agent in a session of its own, holding none of this handler's descriptors (the
// panel waits for the end of the handler's output, not of the agent's).
Status startAgent(const std::string& folder)
{
    const std::string program = agentProgram();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd < 3; ++fd)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string programArgument = program, folderArgument = folder;
    char* argv[] = {programArgument.data(), folderArgument.data(), nullptr};
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return Status::fail(ErrorCode::Failure, "Cannot start the molb connection agent " +
                                                    program + ": " + std::strerror(error));
    return Status::pass();
}

// The environment that steers the server client, passed on so that the agent connects as this
// handler would.
std::vector<std::string> clientEnvironment()
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        if (text.starts_with("PG") || text.starts_with("DBSCOUT_MOLB_TEST_PAUSE="))
            entries.emplace_back(text);
    }
    return entries;
}

// One attempt: Accepted when the agent took the request (the answer then went to out and code
// holds the exit status), Unanswered when no agent took it (none listening, or one closing).
enum class Attempt { Accepted, Unanswered, Failed };

Attempt tryAgent(const std::string& socketPath, AgentRequest& request, int out, int& code,
                 Status& failure)
{
    Descriptor link(connectTo(socketPath));
    if (link.fd < 0)
        return Attempt::Unanswered;
    int answer[2];
    if (::pipe2(answer, O_CLOEXEC) != 0) {
        failure = Status::fail(ErrorCode::Failure,
                               std::string("Cannot make a pipe: ") + std::strerror(errno));
        return Attempt::Failed;
    }
    Descriptor reader(answer[0]), writer(answer[1]);
    request.answerFd = writer.fd;
    request.errorFd = STDERR_FILENO;
    if (!sendAgentRequest(link.fd, request).ok())
        return Attempt::Unanswered;
    writer.reset();
    char reply = 0;
    ssize_t count = 0;
    do {
        count = ::recv(link.fd, &reply, 1, 0);
    } while (count < 0 && errno == EINTR);
    if (count != 1 || reply != kAgentAccepted)
        return Attempt::Unanswered;

    bool answered = false, readerGone = false;
    char buffer[1 << 16];
    while (true) {
        count = ::read(reader.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        answered = true;
        // A reader that went away still lets the agent finish; only the copying stops.
        if (!readerGone && !writeAll(out, buffer, static_cast<size_t>(count)))
            readerGone = true;
    }
    do {
        count = ::recv(link.fd, &reply, 1, 0);
    } while (count < 0 && errno == EINTR);
    if (count == 1) {
        code = static_cast<unsigned char>(reply);
        return Attempt::Accepted;
    }
    code = kExitStoreFailed;
    if (!answered)
        static_cast<void>(writeAll(out, errorPage("The molb connection agent ended before it "
                                                  "answered.")));
    return Attempt::Accepted;
}

} // namespace

int relayToAgent(const std::string& url, std::string input, int out)
{
    auto fail = [out](const Status& status) {
        static_cast<void>(writeAll(out, errorPage(status.message())));
        return kExitStoreFailed;
    };
    std::string folder;
    if (Status status = agentFolder(folder); !status.ok())
        return fail(status);
    const std::string socketPath = agentSocketPath(folder);
    AgentRequest request;
    request.url = url;
    request.input = std::move(input);
    request.environment = clientEnvironment();

    bool started = false;
    const auto deadline = std::chrono::steady_clock::now() + kAgentStartLimit;
    for (auto pause = std::chrono::microseconds(200);;) {
        int code = 0;
        Status failure = Status::pass();
        switch (tryAgent(socketPath, request, out, code, failure)) {
        case Attempt::Accepted:
            return code;
        case Attempt::Failed:
            return fail(failure);
        case Attempt::Unanswered:
            break;
        }
        if (!started) {
            if (Status status = startAgent(folder); !status.ok())
                return fail(status);
            started = true;
            continue;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return fail(
                Status::fail(ErrorCode::Failure,
                             "The molb connection agent does not answer at " + socketPath + "."));
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(50000));
    }
}

} // namespace Dbscout::Molb
