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

// Runs program with args (argv[0] is added), feeds input to its standard input and waits for
// it, collecting both outputs.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = std::string());

// A running child whose standard output the test reads line by line.
class Child final
{
public:
    Child(const std::string& program, const std::vector<std::string>& args);
    ~Child(); // kills and reaps a child still running
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    // The next line of output without its newline; false at the end of the output.
    bool readLine(std::string& line);
    void kill();
    // The exit code, or -1 when the child was killed by a signal.
    int wait();

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
};

} // namespace DbscoutTest
