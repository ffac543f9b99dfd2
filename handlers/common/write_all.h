#pragma once
// Answers leave a handler through a pipe or socket whose reader may go away at any time.

#include <cstddef>
#include <string>

namespace Dbscout::Handlers {

// Writes all of data to fd, going on after partial writes; false when the reader is gone. A
// socket whose reader went away raises no SIGPIPE.
bool writeAll(int fd, const char* data, size_t length);
bool writeAll(int fd, const std::string& text);

} // namespace Dbscout::Handlers
