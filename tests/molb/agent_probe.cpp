#include "agent_probe.h"

#include "server_store.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace MolbTest {
namespace {

std::vector<std::string> commandLine(const std::filesystem::path& process)
{
    std::ifstream file(process / "cmdline", std::ios::binary);
    std::vector<std::string> arguments;
    for (std::string argument; std::getline(file, argument, '\0');)
        arguments.push_back(argument);
    return arguments;
}

} // namespace

std::string agentFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    EXPECT_NE(runtime, nullptr) << "the test has no runtime folder of its own";
    return std::string(runtime ? runtime : "") + "/molb";
}

std::string agentSocketFile()
{
    return agentFolder() + "/agent.socket";
}

std::vector<pid_t> agentProcesses(const std::string& folder)
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // A process that ended meanwhile, or a zombie, shows no command line.
        const std::vector<std::string> arguments = commandLine(entry.path());
        if (arguments.size() == 2 &&
            std::filesystem::path(arguments[0]).filename() == "molb-agent" &&
            arguments[1] == folder)
            found.push_back(std::stoi(name));
    }
    return found;
}

long peakMemoryKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:"))
            return std::stol(line.substr(6));
    }
    return -1;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int handlerBackends(const std::string& role, const std::string& state)
{
    std::string sql = "SELECT count(*) FROM pg_stat_activity WHERE application_name = "
                      "'molb-handler' AND usename = '" +
                      role + "'";
    if (!state.empty())
        sql += " AND state = '" + state + "'";
    const ProcessResult result = runPsql("postgres", sql);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    return result.exitCode == 0 ? std::stoi(result.output) : -1;
}

AgentConnection::AgentConnection()
{
    const std::string path = agentSocketFile();
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        fd = -1;
    }
}

AgentConnection::~AgentConnection()
{
    if (fd >= 0)
        ::close(fd);
}

bool AgentConnection::send(const std::string& bytes, const std::vector<int>& descriptors)
{
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    std::vector<char> control(CMSG_SPACE(descriptors.size() * sizeof(int)));
    msghdr message = {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (!descriptors.empty()) {
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr* rights = CMSG_FIRSTHDR(&message);
        rights->cmsg_level = SOL_SOCKET;
        rights->cmsg_type = SCM_RIGHTS;
        rights->cmsg_len = CMSG_LEN(descriptors.size() * sizeof(int));
        std::memcpy(CMSG_DATA(rights), descriptors.data(), descriptors.size() * sizeof(int));
    }
    const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
    if (sent < 0)
        return false;
    for (size_t done = static_cast<size_t>(sent); done < bytes.size();) {
        const ssize_t count = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

std::string AgentConnection::finish()
{
    ::shutdown(fd, SHUT_WR);
    const timeval limit{30, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string received;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        received.append(buffer, static_cast<size_t>(count));
    // An agent that closes with bytes of ours unread resets the connection: closed all the same.
    EXPECT_TRUE(count == 0 || errno == ECONNRESET)
        << "the agent neither answered nor closed the connection: " << std::strerror(errno);
    return received;
}

} // namespace MolbTest
