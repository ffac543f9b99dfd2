#include "running_handler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace MolbTest {
namespace {

// The test's environment with the variables of changes replaced or added.
std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> variables = changes;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        const std::string_view name = text.substr(0, text.find('='));
        const bool changed = std::any_of(changes.begin(), changes.end(), [&](const auto& change) {
            return change.starts_with(name) && change.size() > name.size() &&
                   change[name.size()] == '=';
        });
        if (!changed)
            variables.emplace_back(text);
    }
    return variables;
}

void closeOnce(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

RunningHandler::RunningHandler(const std::string& url, const std::vector<std::string>& environment)
{
    // Writing to a pipe whose reader the test dropped must fail, not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> variables = changedEnvironment(environment);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = handlerPath(), argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    const int spawned = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    m_output = out[0];
    m_error = err[0];
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program;
        m_pid = -1;
    }
}

RunningHandler::~RunningHandler()
{
    if (!waitExit(std::chrono::milliseconds(0)))
        kill();
    closeOnce(m_output);
    closeOnce(m_error);
}

std::string RunningHandler::errorLine()
{
    std::string line;
    char c = 0;
    while (line.empty() || line.back() != '\n') {
        const ssize_t count = ::read(m_error, &c, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        line += c;
    }
    return line;
}

std::string RunningHandler::output(size_t count)
{
    std::string text;
    char buffer[1 << 16];
    while (text.size() < count) {
        const ssize_t read = ::read(m_output, buffer, std::min(sizeof buffer, count - text.size()));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        text.append(buffer, static_cast<size_t>(read));
    }
    return text;
}

void RunningHandler::dropOutput()
{
    closeOnce(m_output);
}

void RunningHandler::kill()
{
    if (m_pid < 0 || m_status)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_status = -1;
}

std::optional<int> RunningHandler::waitExit(std::chrono::milliseconds limit)
{
    if (m_pid < 0 || m_status)
        return m_status;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return m_status;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ProcessResult runHandlerWith(const std::string& url, const std::vector<std::string>& environment)
{
    RunningHandler handler(url, environment);
    ProcessResult result;
    // Standard error alongside, so that a handler saying much there cannot stall its output.
    std::thread errors([&] {
        for (std::string line; !(line = handler.errorLine()).empty();)
            result.errors += line;
    });
    result.output = handler.output();
    errors.join();
    result.exitCode = handler.waitExit().value_or(-1);
    return result;
}

} // namespace MolbTest
