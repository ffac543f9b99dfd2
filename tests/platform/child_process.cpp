#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace DbscoutTest {

namespace {

pid_t spawn(const std::string& program, const std::vector<std::string>& args, int in, int out,
            int err)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
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

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (count > 0)
            text.append(buffer, size_t(count));
        else if (errno != EINTR)
            break;
    }
    return text;
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
    int in[2], out[2];
    FILE* err = std::tmpfile(); // standard error apart, so that reading one never blocks the other
    if (!err || ::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC))
        return result;
    const pid_t pid = spawn(program, args, in[0], out[1], fileno(err));
    ::close(in[0]);
    ::close(out[1]);
    if (pid > 0 && !input.empty() && ::write(in[1], input.data(), input.size()) < 0)
        result.err = "cannot write the child's input";
    ::close(in[1]);
    result.out = readAll(out[0]);
    ::close(out[0]);
    if (pid > 0)
        result.exitCode = reap(pid);
    ::lseek(fileno(err), 0, SEEK_SET);
    result.err += readAll(fileno(err));
    std::fclose(err);
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
    wait();
    ::close(m_out);
}

bool Child::readLine(std::string& line)
{
    for (size_t end; (end = m_pending.find('\n')) == std::string::npos;) {
        char buffer[4096];
        const ssize_t count = ::read(m_out, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        m_pending.append(buffer, size_t(count));
    }
    const size_t end = m_pending.find('\n');
    line = m_pending.substr(0, end);
    m_pending.erase(0, end + 1);
    return true;
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
