#include "link/agent_link.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

constexpr char kMagic[8] = {'M', 'O', 'L', 'B', 'A', 'G', '1', '\n'};
// Bounds for what a request may announce, so a damaged or hostile header cannot make the agent
// reserve memory it will never fill.
constexpr std::uint64_t kMaxUrl = 16u << 20;
constexpr std::uint64_t kMaxEnvironment = 1u << 20;
constexpr std::uint64_t kMaxInput = std::uint64_t(1) << 32;

struct Header
{
    char magic[8];
    std::uint64_t urlLength;
    std::uint64_t environmentLength;
    std::uint64_t inputLength;
};

Status broken(const char* what)
{
    return Status::fail(ErrorCode::Failure,
                        std::string("The molb connection agent's link failed: ") + what + ": " +
                            std::strerror(errno));
}

bool receiveAll(int socket, char* data, size_t length)
{
    while (length > 0) {
        const ssize_t count = ::recv(socket, data, length, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = ECONNRESET;
            return false;
        }
        data += count;
        length -= static_cast<size_t>(count);
    }
    return true;
}

// Grows text with the bytes as they come: a length only announced costs no memory.
bool receiveGrowing(int socket, std::string& text, std::uint64_t length)
{
    constexpr std::uint64_t kStep = 1u << 20;
    while (text.size() < length) {
        const size_t start = text.size();
        const size_t count = static_cast<size_t>(std::min(length - start, kStep));
        text.resize(start + count);
        if (!receiveAll(socket, text.data() + start, count))
            return false;
    }
    return true;
}

} // namespace

Status agentFolder(std::string& folder)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        folder = std::string(runtime) + "/molb";
    else
        folder = "/tmp/molb-agent-" + std::to_string(::geteuid());
    if (agentSocketPath(folder).size() >= sizeof(sockaddr_un::sun_path))
        return Status::fail(ErrorCode::Failure,
                            "The folder " + folder +
                                " for the molb connection agent's socket has too long a name; "
                                "set XDG_RUNTIME_DIR to a shorter one.");
    return ensurePrivateFolder(folder);
}

Status ensurePrivateFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Status::fail(ErrorCode::Failure,
                            "Cannot create the folder " + folder +
                                " for the molb connection agent: " + std::strerror(errno));
    struct stat info = {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & 077) != 0)
        return Status::fail(ErrorCode::Failure,
                            "The folder " + folder +
                                " of the molb connection agent must be a folder of yours that "
                                "nobody else may enter; remove it or correct its owner and mode.");
    return Status::pass();
}

std::string agentSocketPath(const std::string& folder)
{
    return folder + "/agent.socket";
}

int agentIdleSeconds()
{
    const char* text = std::getenv("MOLB_AGENT_IDLE_SECONDS");
    int seconds = 0;
    if (text) {
        const char* end = text + std::strlen(text);
        const auto [stop, error] = std::from_chars(text, end, seconds);
        if (error == std::errc() && stop == end && seconds > 0 && seconds <= 86400)
            return seconds;
    }
    return 60;
}

Status sendAgentRequest(int socket, const AgentRequest& request)
{
    std::string environment;
    for (const std::string& entry : request.environment)
        environment.append(entry).push_back('\0');
    Header header = {};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.urlLength = request.url.size();
    header.environmentLength = environment.size();
    header.inputLength = request.input.size();

    iovec part{&header, sizeof header};
    const int descriptors[2] = {request.answerFd, request.errorFd};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof descriptors)] = {};
    msghdr message = {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof descriptors);
    std::memcpy(CMSG_DATA(rights), descriptors, sizeof descriptors);
    ssize_t sent = 0;
    do {
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return broken("sending the request");
    const char* rest = reinterpret_cast<const char*>(&header) + sent;
    if (!writeAll(socket, rest, sizeof header - static_cast<size_t>(sent)) ||
        !writeAll(socket, request.url.data(), request.url.size()) ||
        !writeAll(socket, environment.data(), environment.size()) ||
        !writeAll(socket, request.input.data(), request.input.size()))
        return broken("sending the request");
    return Status::pass();
}

Status receiveAgentRequest(int socket, AgentRequest& request)
{
    Header header = {};
    iovec part{&header, sizeof header};
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t received = 0;
    do {
        received = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    } while (received < 0 && errno == EINTR);
    for (cmsghdr* item = CMSG_FIRSTHDR(&message); item; item = CMSG_NXTHDR(&message, item)) {
        if (item->cmsg_level != SOL_SOCKET || item->cmsg_type != SCM_RIGHTS)
            continue;
        const size_t count = (item->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        int descriptors[2] = {-1, -1};
        std::memcpy(descriptors, CMSG_DATA(item), std::min<size_t>(count, 2) * sizeof(int));
        request.answerFd = descriptors[0];
        request.errorFd = descriptors[1];
    }
    if (received <= 0)
        return broken("receiving the request");
    char* rest = reinterpret_cast<char*>(&header) + received;
    if (!receiveAll(socket, rest, sizeof header - static_cast<size_t>(received)))
        return broken("receiving the request");
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || request.answerFd < 0 ||
        request.errorFd < 0 || header.urlLength > kMaxUrl ||
        header.environmentLength > kMaxEnvironment || header.inputLength > kMaxInput)
        return Status::fail(ErrorCode::BadRequest, "The request to the molb connection agent "
                                                   "is malformed.");
    std::string environment;
    if (!receiveGrowing(socket, request.url, header.urlLength) ||
        !receiveGrowing(socket, environment, header.environmentLength) ||
        !receiveGrowing(socket, request.input, header.inputLength))
        return broken("receiving the request");
    for (size_t start = 0; start < environment.size();) {
        const size_t end = environment.find('\0', start);
        request.environment.push_back(environment.substr(start, end - start));
        start = end == std::string::npos ? environment.size() : end + 1;
    }
    return Status::pass();
}

} // namespace Dbscout::Molb
