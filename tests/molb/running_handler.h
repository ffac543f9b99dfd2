#pragma once
// A molb-handler the test does not wait for: its output and standard error stay on pipes that
// the test reads or drops, and it can be killed at any moment. Still running when the object
// goes, it is killed; in any case it is reaped.

#include "molb_harness.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace MolbTest {

class RunningHandler final
{
public:
    // Starts the handler for url with nothing on its input, with the test's environment, in
    // which environment's NAME=VALUE entries replace or add variables.
    explicit RunningHandler(const std::string& url,
                            const std::vector<std::string>& environment = {});
    RunningHandler(const RunningHandler&) = delete;
    RunningHandler& operator=(const RunningHandler&) = delete;
    ~RunningHandler();

    // Reads its standard error up to the first line break (included), or to its end.
    std::string errorLine();
    // Reads up to count bytes of its output; fewer only at its end.
    std::string output(size_t count = std::string::npos);
    // Closes the reading end of its output: whoever read the answer went away.
    void dropOutput();
    void kill();
    // The exit status once it ended (-1 for a signal); nothing when it still runs after limit.
    std::optional<int> waitExit(std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    pid_t m_pid = -1;
    int m_output = -1;
    int m_error = -1;
    std::optional<int> m_status;
};

// The handler for url with environment changed as above, to its end: its output, standard
// error and exit status.
ProcessResult runHandlerWith(const std::string& url, const std::vector<std::string>& environment);

} // namespace MolbTest
