#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>

namespace Dbscout {

namespace {
void reapNow(pid_t pid)
{
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}
} // namespace

HandlerProcess::~HandlerProcess()
{
    if (m_pid > 0) {
        ::kill(-m_pid, SIGKILL);
        reapNow(m_pid);
    }
}

bool HandlerProcess::adopt(pid_t pid)
{
    std::lock_guard lock(m_mutex);
    m_pid = pid;
    if (m_terminateAsked)
        ::kill(-m_pid, SIGKILL);
    return !m_terminateAsked;
}

void HandlerProcess::terminate()
{
    std::lock_guard lock(m_mutex);
    m_terminateAsked = true;
    if (m_pid > 0)
        ::kill(-m_pid, SIGKILL);
}

void HandlerProcess::reap()
{
    pid_t pid;
    {
        std::lock_guard lock(m_mutex);
        pid = m_pid;
    }
    if (pid <= 0)
        return;
    // Wait without reaping, so that the pid stays ours while terminate() may still use it.
    siginfo_t info{};
    while (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    std::lock_guard lock(m_mutex);
    reapNow(pid);
    m_pid = 0;
}

} // namespace Dbscout
