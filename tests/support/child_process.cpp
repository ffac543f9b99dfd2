#include "support/child_process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace DbscoutTest {

std::string Child::read(int which, size_t count, bool toLineBreak)
{
    std::string text;
    char buffer[1 << 16];
    while (m_fds[which] >= 0 && text.size() < count && !(toLineBreak && text.ends_with('\n'))) {
        const size_t want = toLineBreak ? 1 : std::min(sizeof buffer, count - text.size());
        const ssize_t got = ::read(m_fds[which], buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    return text;
}

void Child::closeFd(int which)
{
    if (m_fds[which] >= 0)
        ::close(m_fds[which]);
    m_fds[which] = -1;
}

Child::Child(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment, bool withInput)
{
    // Writing to a child that stopped reading, or to a test that stopped, must fail, not kill.
    std::signal(SIGPIPE, SIG_IGN);
    int pipes[3][2];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int i = 0; i < 3; ++i) {
        if (i == 0 && !withInput) {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
            continue;
        }
        if (::pipe2(pipes[i], O_CLOEXEC) != 0)
            return; // not started: every read finds the end, waitExit gives -1
        posix_spawn_file_actions_adddup2(&actions, pipes[i][i == 0 ? 0 : 1], i);
        m_fds[i] = pipes[i][i == 0 ? 1 : 0];
    }
    std::vector<std::string> variables = environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        if (std::none_of(variables.begin(), variables.begin() + environment.size(),
                         [&](const std::string& change) { return change.starts_with(name); }))
            variables.push_back(text);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())}, envp;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        m_pid = -1; // every read finds the end, waitExit gives -1
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 3; ++i) {
        if (m_fds[i] >= 0)
            ::close(pipes[i][i == 0 ? 0 : 1]);
    }
}

Child::~Child()
{
    kill();
    for (int which = 0; which < 3; ++which)
        closeFd(which);
}

bool Child::write(const std::string& bytes, size_t count)
{
    count = std::min(count, bytes.size());
    for (size_t done = 0; done < count;) {
        const ssize_t wrote = ::write(m_fds[0], bytes.data() + done, count - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

void Child::kill()
{
    if (m_pid >= 0 && !m_status) {
        ::kill(m_pid, SIGKILL);
        waitExit();
    }
}

std::optional<int> Child::waitExit(std::optional<std::chrono::milliseconds> limit)
{
    const auto deadline =
        std::chrono::steady_clock::now() + limit.value_or(std::chrono::milliseconds(0));
    while (m_pid >= 0 && !m_status) {
        int status = 0;
        const pid_t ended = ::waitpid(m_pid, &status, limit ? WNOHANG : 0);
        if (ended == m_pid)
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        else if (ended < 0 && errno != EINTR)
            m_status = -1;
        else if (limit && std::chrono::steady_clock::now() >= deadline)
            break;
        else if (limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_status;
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::vector<std::string>& environment)
{
    Child child(program, arguments, environment, true);
    // Input and standard error each on a thread of their own, so that neither can stall another.
    std::thread writer([&] {
        child.write(input);
        child.closeInput();
    });
    ProcessResult result;
    std::thread errors([&] { result.errors = child.errors(); });
    result.output = child.output();
    writer.join();
    errors.join();
    result.exitCode = child.waitExit().value_or(-1);
    return result;
}

} // namespace DbscoutTest
