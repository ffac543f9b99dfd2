#pragma once
// Handler processes: start a handler program with its own pipes and read its whole output.
// Both run on a request job's worker thread; several jobs may spawn at the same moment.

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace Dbscout {

// A handle that is absent.
constexpr int kNoHandle = -1;

// Starts program with argv = { program, the argument text unchanged } (no argument after the
// program when the text is empty), standard error on /dev/null and pipe ends that no other child
// inherits. The child leads a process group of its own, so that ending it also ends what it
// started. On success returns the child's pid (> 0) and sets stdinWrite and stdoutRead to the
// component's ends. Returns 0 when the pipes could not be made (the outputs untouched), and -1 when
// the program could not be started.
pid_t SpawnHandler(const std::string& program, const std::string& arguments, int& stdinWrite,
                   int& stdoutRead);

// Writes length bytes to stdinWrite, going on after partial writes and interruptions, and stops
// at the first error. A reader that has gone away gives EPIPE and never a SIGPIPE: the signal is
// blocked on the calling thread for the call and a pending one consumed, so the process-wide
// handlers stay as the host set them. Returns true when every byte was written.
bool writeHandlerInput(int stdinWrite, const char* data, size_t length);

// The process of one handler, shared by a request job's worker thread (which reaps it) and the
// user-interface thread (which may end it at any moment). The pid stays reserved until the
// reap, so terminate() can never hit another process that was given the same pid.
class HandlerProcess final
{
public:
    HandlerProcess() = default;
    HandlerProcess(const HandlerProcess&) = delete;
    HandlerProcess& operator=(const HandlerProcess&) = delete;
    ~HandlerProcess(); // kills and reaps a handler that nobody reaped

    // Takes over a child started by SpawnHandler. Returns false when terminate() had already
    // been asked for; the child is then killed at once (and still needs reap()).
    bool adopt(pid_t pid);
    // Kills the handler's process group with SIGKILL unless it has been reaped. Never waits.
    void terminate();
    // Waits until the handler has exited, then reaps it. Worker thread only.
    void reap();

private:
    std::mutex m_mutex;
    pid_t m_pid = 0;
    bool m_terminateAsked = false;
};

// A buffer from malloc, freed with free(): the answer text grows by realloc as it is read.
struct FreeBuffer
{
    void operator()(char* buffer) const noexcept { std::free(buffer); }
};
using OutputBuffer = std::unique_ptr<char[], FreeBuffer>;

// Reads stdoutRead to its end in blocks of 1 MiB. Returns a buffer holding everything read,
// followed by a NUL byte (also when the writer died half-way), or null when memory ran out.
OutputBuffer ReadAllOutput(int stdoutRead);

} // namespace Dbscout
