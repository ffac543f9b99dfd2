#pragma once
// Handler processes: start a handler program with its own pipes and read its whole output.
// Both run on a request job's worker thread; several jobs may spawn at the same moment.

#include <string>
#include <sys/types.h>

namespace Dbscout {

// A handle that is absent.
constexpr int kNoHandle = -1;

// Starts program with argv = { program, the argument text split at blanks and tabs }, standard
// error on /dev/null and pipe ends that no other child inherits. On success returns the child's
// pid (> 0) and sets stdinWrite and stdoutRead to the component's ends. Returns 0 when the pipes
// could not be made (the outputs untouched), and -1 when the program could not be started.
pid_t SpawnHandler(const std::string& program, const std::string& arguments, int& stdinWrite,
                   int& stdoutRead);

// Reads stdoutRead to its end in blocks of 1 MiB. Returns a malloc'ed buffer holding everything
// read, followed by a NUL byte (also when the writer died half-way), or null when memory ran out.
// The caller frees it with free().
char* ReadAllOutput(int stdoutRead);

} // namespace Dbscout
