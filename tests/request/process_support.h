#pragma once
// What the request tests inspect about the test process itself, and the event loop they need.

#include <string>
#include <sys/types.h>
#include <vector>

namespace DbscoutTest {

std::vector<pid_t> childProcesses(); // processes whose parent is this one, zombies included
int openDescriptorCount();
std::string fileContent(const std::string& path); // empty when it cannot be read
// Polls until the file exists; the limit only guards against a hang.
bool waitForFile(const std::string& path, int limitMs = 20000);
std::string handlerPattern(size_t length); // what the test handler writes for testmode=bytes:N
// The event loop jobs post to: one QCoreApplication named program, made at the first call.
void ensureCoreApplication(const char* program);

} // namespace DbscoutTest
