#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace Dbscout {

namespace {

constexpr int kPipeBlock = 0x100000; // the block size of ReadAllOutput

void closeIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = kNoHandle;
}

// A pipe whose ends no child inherits and which never sit on 0, 1 or 2: the child's dup2 onto
// its standard handles must not overwrite an end it still has to copy (a host may run with
// its own standard handles closed).
bool makePipe(int ends[2])
{
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    for (int i = 0; i < 2; ++i) {
        if (ends[i] > 2)
            continue;
        const int moved = ::fcntl(ends[i], F_DUPFD_CLOEXEC, 3);
        ::close(ends[i]);
        ends[i] = moved;
    }
    if (ends[0] >= 0 && ends[1] >= 0)
        return true;
    closeIfOpen(ends[0]);
    closeIfOpen(ends[1]);
    return false;
}

// Starts the child with its ends on standard input and output, and nothing else open but
// standard error on /dev/null. The argument text is the one argument after the program, byte
// for byte: a URL's runs of blanks and its tabs (in a comment, a subset name, a password) reach
// the handler as they were.
int spawnChild(pid_t& pid, const std::string& program, const std::string& arguments, int childStdin,
               int childStdout)
{
    char* argv[] = {const_cast<char*>(program.c_str()),
                    arguments.empty() ? nullptr : const_cast<char*>(arguments.c_str()), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, childStdin, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childStdout, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Descriptors the host left inheritable are not the handler's business either.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // A fresh signal mask and a default SIGPIPE: the child must not inherit what the worker
    // thread or the host blocked or ignored.
    sigset_t none, pipeOnly;
    sigemptyset(&none);
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipeOnly);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                              POSIX_SPAWN_SETPGROUP);

    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

} // namespace

pid_t SpawnHandler(const std::string& program, const std::string& arguments, int& stdinWrite,
                   int& stdoutRead)
{
    int input[2] = {kNoHandle, kNoHandle};
    int output[2] = {kNoHandle, kNoHandle};
    if (!makePipe(input))
        return 0;
    if (!makePipe(output)) {
        closeIfOpen(input[0]);
        closeIfOpen(input[1]);
        return 0;
    }

    // Room for a whole read block in the output pipe: a large answer then takes a few reads
    // (and buffer growths) instead of one per 64 KiB. Where the system refuses, the default
    // size only costs speed.
    ::fcntl(output[0], F_SETPIPE_SZ, kPipeBlock);

    pid_t pid = 0;
    const bool started =
        !program.empty() && spawnChild(pid, program, arguments, input[0], output[1]) == 0;
    // The child's ends are closed here at once, so the output ends when the child exits.
    closeIfOpen(input[0]);
    closeIfOpen(output[1]);
    if (!started) {
        closeIfOpen(input[1]);
        closeIfOpen(output[0]);
        return -1;
    }
    stdinWrite = input[1];
    stdoutRead = output[0];
    return pid;
}

} // namespace Dbscout
