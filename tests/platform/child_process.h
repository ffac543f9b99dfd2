#pragma once
// Real child processes for the store's tests: the registry writer helper and dbscout-reg.

#include <string>
#include <sys/types.h>
#include <vector>

namespace DbscoutTest {

struct ChildResult
{
    int exitCode = -1; // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Runs program with args, feeds input (small) to its standard input and waits for it.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = std::string());

// A running child whose standard output the test reads line by line; killed and reaped at the
// end when still running.
class Child final
{
public:
    Child(const std::string& program, const std::vector<std::string>& args);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    bool readLine(std::string& line); // without its newline; false at the end of the output
    void kill();
    int wait(); // the exit code, or -1 when the child was killed by a signal

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
};

} // namespace DbscoutTest
