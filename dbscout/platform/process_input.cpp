#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace Dbscout {

bool writeHandlerInput(int stdinWrite, const char* data, size_t length)
{
    sigset_t pipeOnly, previous, pending;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;

    size_t written = 0;
    bool broken = false;
    while (written < length) {
        const ssize_t count = ::write(stdinWrite, data + written, length - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            broken = count < 0 && errno == EPIPE;
            break;
        }
        written += size_t(count);
    }

    // A write to a dead reader raised SIGPIPE on this thread; take it before unblocking.
    if (broken && !pendingBefore) {
        const timespec zero{};
        while (sigtimedwait(&pipeOnly, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return written == length;
}

} // namespace Dbscout
