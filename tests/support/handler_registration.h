#pragma once
// Registers the test handler program as a scheme's handler in the current settings store (a
// TestEnv's), the way an installation registers the real one.

#include <string>

namespace DbscoutTest {

// The test handler's path.
std::string testHandlerPath();

// Writes "<program>" "%1" as the default value of HKEY_CLASSES_ROOT\<scheme>\shell\<verb>\command.
// Returns false when the store refused.
bool registerHandler(const std::string& scheme, const std::string& verb,
                     const std::string& program);

// The same for the test handler.
bool registerTestHandler(const std::string& scheme = "molb", const std::string& verb = "dir");

} // namespace DbscoutTest
