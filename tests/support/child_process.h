#pragma once
// Real child processes for the tests: a program started on real pipes, read and written as the
// test needs, and always reaped. Every test that runs a program of ours goes through here.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace DbscoutTest {

struct ProcessResult
{
    std::string output;
    std::string errors;
    int exitCode = -1; // -1 when the process did not exit normally
};

// A child on pipes (its input on one only when asked for, else /dev/null), with the test's
// environment changed by NAME=VALUE entries; killed if still running, and reaped, with the object.
class Child
{
public:
    Child(const std::string& program, const std::vector<std::string>& arguments,
          const std::vector<std::string>& environment = {}, bool withInput = false);
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    bool write(const std::string& bytes, size_t count = std::string::npos); // false once refused
    void closeInput() { closeFd(0); }
    // Up to the first line break (included), or the end.
    std::string outputLine() { return read(1, std::string::npos, true); }
    std::string errorLine() { return read(2, std::string::npos, true); }
    std::string errors() { return read(2, std::string::npos); }
    // Fewer bytes than count only at its end.
    std::string output(size_t count = std::string::npos) { return read(1, count); }
    void dropOutput() { closeFd(1); } // its reader went away
    void kill();
    // The exit status (-1 for a signal); nothing if it still runs after limit (none: no limit).
    std::optional<int> waitExit(std::optional<std::chrono::milliseconds> limit = std::nullopt);

private:
    std::string read(int which, size_t count, bool toLineBreak = false);
    void closeFd(int which);

    pid_t m_pid = -1;
    int m_fds[3] = {-1, -1, -1};
    std::optional<int> m_status;
};

// Runs program to its end, its input written from a thread of its own.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input = {},
                         const std::vector<std::string>& environment = {});

} // namespace DbscoutTest
