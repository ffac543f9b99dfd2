#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace DbscoutTest {

namespace {

// Starts program with the given standard input and output ends; returns the pid or -1.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, int in, int out,
            int err)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input)
{
    ChildResult result;
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC))
        return result;
    const pid_t pid = spawn(program, args, in[0], out[1], err[1]);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Inputs are small: they fit the pipe, so writing first cannot block on a full output.
    if (pid > 0 && !input.empty() && ::write(in[1], input.data(), input.size()) < 0)
        result.err = "cannot write the child's input";
    ::close(in[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, -1) >= 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents)
                continue;
            char buffer[4096];
            const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                sinks[i]->append(buffer, size_t(count));
            } else if (count == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (pid > 0)
        result.exitCode = reap(pid);
    return result;
}

Child::Child(const std::string& program, const std::vector<std::string>& args)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC))
        return;
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    m_pid = spawn(program, args, null, out[1], null);
    ::close(null);
    ::close(out[1]);
    m_out = out[0];
}

Child::~Child()
{
    kill();
    if (m_pid > 0)
        wait();
    if (m_out >= 0)
        ::close(m_out);
}

bool Child::readLine(std::string& line)
{
    for (;;) {
        const size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        char buffer[4096];
        const ssize_t count = ::read(m_out, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        m_pending.append(buffer, size_t(count));
    }
}

void Child::kill()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGKILL);
}

int Child::wait()
{
    const int code = m_pid > 0 ? reap(m_pid) : -1;
    m_pid = -1;
    return code;
}

} // namespace DbscoutTest
