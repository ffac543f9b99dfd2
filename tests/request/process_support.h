#pragma once
// What the request tests inspect about the test process itself.

#include <string>
#include <sys/types.h>
#include <vector>

namespace DbscoutTest {

// Processes whose parent is this process, zombies included.
std::vector<pid_t> childProcesses();

// Number of descriptors this process holds open.
int openDescriptorCount();

// The whole content of a file, empty when it cannot be read.
std::string fileContent(const std::string& path);

// Polls until the file exists; false when it did not appear within the limit, which only guards
// against a hang (it measures nothing).
bool waitForFile(const std::string& path, int limitMs = 20000);

// The bytes the test handler writes for testmode=bytes:N.
std::string handlerPattern(size_t length);

} // namespace DbscoutTest
